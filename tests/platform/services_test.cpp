// Clock, uptime, the single-instance lock and the doubles that carry logic.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/linux_platform.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_messages.h"

namespace mirokata {
namespace {

class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/mirokata-platform-XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

TEST(SingleInstance, SecondLockFailsUntilTheFirstIsGone) {
  TempDir dir;
  auto first = MakeSingleInstance("Mirokata", dir.path());
  auto second = MakeSingleInstance("Mirokata", dir.path());
  ASSERT_TRUE(first->TryAcquire());
  EXPECT_TRUE(first->TryAcquire());  // holding it already
  EXPECT_FALSE(second->TryAcquire());
  EXPECT_FALSE(second->TryAcquire());
  first.reset();  // the holder ends
  EXPECT_TRUE(second->TryAcquire());
  // Another name is another lock.
  EXPECT_TRUE(MakeSingleInstance("Other", dir.path())->TryAcquire());
}

TEST(SingleInstance, LockOfAKilledHolderIsTakenOver) {
  TempDir dir;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto lock = MakeSingleInstance("Mirokata", dir.path());
    // Dies holding the lock, as a crash would.
    _exit(lock->TryAcquire() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  ASSERT_TRUE(std::filesystem::exists(dir.path() + "/Mirokata.lock"));
  EXPECT_TRUE(MakeSingleInstance("Mirokata", dir.path())->TryAcquire());
}

TEST(SingleInstance, AnUnwritableFolderDoesNotPassForAnotherCopy) {
  TempDir dir;
  const std::string locked = dir.path() + "/locked";
  std::filesystem::create_directory(locked);
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_exec);
  EXPECT_TRUE(MakeSingleInstance("Mirokata", locked)->TryAcquire());
  EXPECT_TRUE(MakeSingleInstance("Mirokata", "/no/such/folder")->TryAcquire());
}

TEST(SingleInstance, FallsBackWithoutARuntimeFolder) {
  const char* old = getenv("XDG_RUNTIME_DIR");
  const std::string saved = old ? old : "";
  setenv("XDG_RUNTIME_DIR", "/nonexistent/runtime", 1);
  auto lock = MakeSingleInstance("MirokataTestFallback");
  EXPECT_TRUE(lock->TryAcquire());
  lock->Release();
  if (old) {
    setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  } else {
    unsetenv("XDG_RUNTIME_DIR");
  }
}

// Runs with TZ set to a zone, restoring the old one afterwards.
class ZoneScope {
 public:
  explicit ZoneScope(const char* zone) {
    const char* old = getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ZoneScope() {
    if (had_) {
      setenv("TZ", old_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool had_ = false;
  std::string old_;
};

TEST(SystemClock, UsesTheZoneDatabaseAtEachInstant) {
  auto clock = MakeSystemClock();
  struct Case {
    const char* zone;
    std::int64_t unix_seconds;
    LocalTime expected;  // y m d h min s ms wd offset
  };
  const Case cases[] = {
      // 2026-07-01 00:00:00 UTC
      {"Asia/Tokyo", 1782864000, {2026, 7, 1, 9, 0, 0, 0, 4, 9 * 3600}},
      {"America/New_York",
       1782864000,
       {2026, 6, 30, 20, 0, 0, 0, 3, -4 * 3600}},
      // 2026-01-15 12:00:00 UTC, winter time
      {"America/New_York", 1768478400, {2026, 1, 15, 7, 0, 0, 0, 5, -5 * 3600}},
      // 2024-02-29 23:30:00 UTC
      {"UTC", 1709249400, {2024, 2, 29, 23, 30, 0, 0, 5, 0}},
  };
  for (const Case& c : cases) {
    ZoneScope zone(c.zone);
    const LocalTime t = clock->At(c.unix_seconds);
    EXPECT_EQ(t.year, c.expected.year) << c.zone;
    EXPECT_EQ(t.month, c.expected.month) << c.zone;
    EXPECT_EQ(t.day, c.expected.day) << c.zone;
    EXPECT_EQ(t.hour, c.expected.hour) << c.zone;
    EXPECT_EQ(t.minute, c.expected.minute) << c.zone;
    EXPECT_EQ(t.weekday, c.expected.weekday) << c.zone;
    EXPECT_EQ(t.utc_offset_seconds, c.expected.utc_offset_seconds) << c.zone;
    EXPECT_EQ(t.unix_seconds, c.unix_seconds);
  }
  const std::int64_t before = time(nullptr);
  const LocalTime now = clock->Now();
  EXPECT_GE(now.unix_seconds, before);
  EXPECT_LE(now.unix_seconds, before + 5);
  EXPECT_GE(now.millisecond, 0);
  EXPECT_LT(now.millisecond, 1000);
}

TEST(SystemClock, PicksUpAChangedZoneWithinAMinute) {
  ZoneScope restore("JST-9");
  std::int64_t now_ms = 1782864000'000;  // 2026-07-01 00:00:00 UTC
  auto clock = MakeSystemClock([&] { return now_ms; });
  EXPECT_EQ(clock->Now().hour, 9);
  // The user moves to another zone; nobody tells this process.
  setenv("TZ", "UTC0", 1);
  now_ms += 61'000;
  const LocalTime t = clock->Now();
  EXPECT_EQ(t.utc_offset_seconds, 0);
  EXPECT_EQ(t.hour, 0);
  EXPECT_EQ(t.minute, 1);
  EXPECT_EQ(t.second, 1);
}

TEST(BootUptime, CountsMillisecondsForward) {
  auto uptime = MakeBootUptime();
  const std::int64_t a = uptime->Milliseconds();
  usleep(20 * 1000);
  const std::int64_t b = uptime->Milliseconds();
  EXPECT_GT(a, 0);
  EXPECT_GE(b - a, 20);
  EXPECT_EQ(uptime->Seconds(), uptime->Milliseconds() / 1000);
}

TEST(FakeClock, CivilTimeFollowsTheInstant) {
  FakeClock clock;
  LocalTime t = clock.Now();
  EXPECT_EQ(t.year, 2026);
  EXPECT_EQ(t.weekday, 5);  // 1 January 2026 is a Thursday
  EXPECT_EQ(t.utc_offset_seconds, 9 * 3600);

  clock.Set(2024, 2, 28, 23, 59, 59);
  clock.Advance(1);
  t = clock.Now();
  EXPECT_EQ(t.month, 2);
  EXPECT_EQ(t.day, 29);
  EXPECT_EQ(t.hour, 0);
  clock.Advance(24 * 3600);
  EXPECT_EQ(clock.Now().month, 3);
  EXPECT_EQ(clock.Now().day, 1);

  clock.Set(1999, 12, 31, 23, 59, 30);
  clock.AdvanceMs(30500);
  t = clock.Now();
  EXPECT_EQ(t.year, 2000);
  EXPECT_EQ(t.second, 0);
  EXPECT_EQ(t.millisecond, 500);
  EXPECT_EQ(t.weekday, 7);  // 1 January 2000 was a Saturday

  // The same instant read in another zone, and agreement with the system.
  const std::int64_t instant = t.unix_seconds;
  clock.SetUtcOffset(0);
  EXPECT_EQ(clock.Now().unix_seconds, instant);
  EXPECT_EQ(clock.Now().hour, 15);
  EXPECT_EQ(clock.Now().day, 31);
  ZoneScope zone("UTC");
  auto system = MakeSystemClock();
  for (std::int64_t s : {std::int64_t(-86400 * 400), std::int64_t(0),
                         std::int64_t(951782400), std::int64_t(4102444799)}) {
    const LocalTime a = system->At(s), b = clock.At(s);
    EXPECT_EQ(
        std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second, a.weekday),
        std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second, b.weekday))
        << s;
  }
}

TEST(FakeMessages, UnscriptedBoxesGetTheirDefaultButton) {
  struct Case {
    MessageButtons buttons;
    MessageAnswer asked_default;
    MessageAnswer answer;
  };
  const Case cases[] = {
      {MessageButtons::kOk, MessageAnswer::kYes, MessageAnswer::kOk},
      {MessageButtons::kYesNo, MessageAnswer::kNo, MessageAnswer::kNo},
      {MessageButtons::kYesNoCancel, MessageAnswer::kCancel,
       MessageAnswer::kCancel},
      {MessageButtons::kOkCancel, MessageAnswer::kYes, MessageAnswer::kOk},
      {MessageButtons::kOkCancel, MessageAnswer::kCancel,
       MessageAnswer::kCancel},
  };
  for (const Case& c : cases) {
    FakeMessages messages;
    MessageRequest request(MessageKind::kQuestion, "q", c.buttons);
    request.default_answer = c.asked_default;
    EXPECT_EQ(messages.Show(request), c.answer);
    std::optional<MessageAnswer> later;
    messages.Ask(request, [&](MessageAnswer a) { later = a; });
    messages.AnswerPending();
    EXPECT_EQ(later, c.answer);
  }
}

TEST(FakeMessages, AnswersFromTheScriptAndRecordsBeeps) {
  FakeMessages messages;
  messages.QueueAnswer(MessageAnswer::kNo);
  EXPECT_FALSE(messages.AskYesNo("削除しますか？"));
  EXPECT_TRUE(messages.AskYesNo("削除しますか？"));  // default answer: Yes
  messages.Warning("ヘルプファイルが正しくインストールされていません。");
  MessageAnswer later = MessageAnswer::kOk;
  messages.QueueAnswer(MessageAnswer::kNo);
  messages.Ask({MessageKind::kQuestion, "q", MessageButtons::kYesNo},
               [&](MessageAnswer a) { later = a; });
  EXPECT_EQ(later, MessageAnswer::kOk);  // not before it is answered
  EXPECT_EQ(messages.AnswerPending(), 1);
  EXPECT_EQ(later, MessageAnswer::kNo);
  ASSERT_EQ(messages.shown().size(), 4u);
  EXPECT_TRUE(messages.shown()[0].modal);
  EXPECT_FALSE(messages.shown()[3].modal);
  EXPECT_EQ(messages.beeps(),
            (std::vector<MessageKind>{
                MessageKind::kQuestion, MessageKind::kQuestion,
                MessageKind::kWarning, MessageKind::kQuestion}));
}

}  // namespace
}  // namespace mirokata
