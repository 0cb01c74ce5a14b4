// The main tick driven by a fake clock and uptime over a real data folder
// and settings file.
#include "schedule/reminder_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/settings_file.h"
#include "calendar/holidays.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_desktop_windows.h"
#include "platform/testing/fake_shell.h"
#include "platform/testing/fake_sound.h"
#include "schedule/entry_match.h"
#include "schedule/entry_text.h"
#include "support/fake_command_host.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

struct RecordedPopup {
  std::vector<std::string> paths;
  std::string text;
  std::string delete_path;
  bool finished = false;
  PopupFinish finish;
};

class RecordingFactory : public PopupFactory {
 public:
  class Sink : public PopupSink {
   public:
    Sink(RecordingFactory* owner, size_t index)
        : owner_(owner), index_(index) {}
    ~Sink() override {
      if (!popup().finished) ++owner_->discarded;
    }
    void AppendEntry(const std::string& path,
                     const std::string& text) override {
      popup().paths.push_back(path);
      if (!popup().text.empty()) popup().text += "\n";
      popup().text += text;
    }
    void EnableDelete(const std::string& path) override {
      popup().delete_path = path;
    }
    void Finish(const PopupFinish& finish) override {
      popup().finished = true;
      popup().finish = finish;
    }

   private:
    RecordedPopup& popup() { return owner_->popups[index_]; }
    RecordingFactory* owner_;
    size_t index_;
  };

  std::unique_ptr<PopupSink> CreatePopup() override {
    if (on_create) on_create();
    popups.emplace_back();
    return std::make_unique<Sink>(this, popups.size() - 1);
  }

  std::vector<RecordedPopup> popups;
  int discarded = 0;
  std::function<void()> on_create;
};

class RecordingDisplays : public ReminderDisplays {
 public:
  void Show(const MainDisplayState& state) override { states.push_back(state); }
  bool MoonPanelShown() const override { return moon_shown; }
  std::vector<MainDisplayState> states;
  bool moon_shown = true;
};

class ReminderEngineTest : public ::testing::Test {
 protected:
  ReminderEngineTest() : settings_(home_ / "mirokata.ini") {
    data_ = home_ / "data";
    std::filesystem::create_directory(data_);
    settings_.WriteString("Calendar", "Directory", data_);
    EnsureDefaultHolidays(settings_);
  }

  std::unique_ptr<ReminderEngine> MakeEngine() {
    Services services;
    services.settings = &settings_;
    services.clock = &clock_;
    services.uptime = &uptime_;
    services.sound = &sound_;
    services.shell = &shell_;
    services.desktop = &desktop_;
    ReminderParts parts;
    parts.popups = &popups_;
    parts.displays = &displays_;
    parts.events = &events_;
    parts.commands = &commands_;
    parts.memory_text = [](int) { return std::string("1024K(50%)"); };
    // A Japanese desktop's names, as the running program passes them.
    parts.short_weekday_names = JapaneseShortWeekdayNames();
    return std::make_unique<ReminderEngine>(services, parts);
  }

  // An entry with plain text and, optionally, options.
  void AddEntry(const std::string& name, const std::string& text,
                const PopupOptions* options = nullptr) {
    ASSERT_TRUE(folder().WriteContent(name, text));
    if (options)
      WritePopupOptions(settings_, folder().FullPath(name), *options);
  }
  EntryFolder& folder() {
    if (!folder_) folder_ = std::make_unique<EntryFolder>(data_);
    return *folder_;
  }
  std::string Path(const std::string& name) { return folder().FullPath(name); }

  // Ticks once a second for so many seconds, moving clock and uptime.
  void RunFor(ReminderEngine& engine, int seconds) {
    for (int i = 0; i < seconds; ++i) {
      clock_.Advance(1);
      uptime_.Advance(1000);
      engine.Tick();
    }
  }

  TempFolder home_;
  std::string data_;
  SettingsFile settings_;
  FakeClock clock_;
  FakeUptime uptime_;
  FakeSound sound_;
  FakeShell shell_;
  FakeDesktopWindows desktop_;
  RecordingFactory popups_;
  RecordingDisplays displays_;
  TickEvents events_;
  FakeCommandHost commands_;
  std::unique_ptr<EntryFolder> folder_;
};

TEST_F(ReminderEngineTest, BeforeMinutesFireEarlyAlsoAcrossMidnight) {
  settings_.WriteInteger("Calendar", "before", 10);
  AddEntry("0800____.__", "daily eight");
  AddEntry("00050102.26", "five past midnight");  // 2 January 2026
  clock_.Set(2026, 1, 1, 7, 49, 30);
  auto engine = MakeEngine();
  engine->Tick();
  RunFor(*engine, 29);
  EXPECT_TRUE(popups_.popups.empty());
  RunFor(*engine, 1);  // 07:50:00
  ASSERT_EQ(popups_.popups.size(), 1u);
  EXPECT_EQ(popups_.popups[0].text, "daily eight");
  EXPECT_EQ(popups_.popups[0].finish.title, "26/01/01 (木) 08:00");
  EXPECT_EQ(popups_.popups[0].delete_path, "");

  clock_.Set(2026, 1, 1, 23, 54, 59);
  engine->Tick();
  RunFor(*engine, 1);  // 23:55:00 on the 1st is 00:05 on the 2nd
  ASSERT_EQ(popups_.popups.size(), 2u);
  const RecordedPopup& late = popups_.popups[1];
  EXPECT_EQ(late.text, "five past midnight");
  EXPECT_EQ(late.finish.title, "26/01/02 (金) 00:05");
  EXPECT_EQ(late.finish.weekday, 6);
  EXPECT_EQ(late.delete_path, Path("00050102.26"));
  EXPECT_EQ(popups_.discarded, 0);
}

// A reminder is a few lines: of a file of megabytes only the start is read
// (the tick must not stall on it), the file itself stays as it is.
TEST_F(ReminderEngineTest, AHugeEntryShowsOnlyItsStart) {
  std::string huge;
  while (huge.size() < 3 * 1024 * 1024) huge += "line of a huge entry\r\n";
  AddEntry("0901____.__", huge);
  clock_.Set(2026, 3, 2, 9, 0, 59);
  auto engine = MakeEngine();
  engine->Tick();
  RunFor(*engine, 1);
  ASSERT_EQ(popups_.popups.size(), 1u);
  const std::string& text = popups_.popups[0].text;
  EXPECT_LE(text.size(), kEntryDisplayBytes + 32);
  EXPECT_TRUE(text.starts_with("line of a huge entry\r\n"));
  EXPECT_TRUE(text.ends_with(std::string("entry\r\n") + kEntryCutNote));
  EXPECT_EQ(std::filesystem::file_size(Path("0901____.__")), huge.size());
}

TEST_F(ReminderEngineTest, TheStartUpMinuteDoesNotFire) {
  AddEntry("0900____.__", "nine");
  AddEntry("0901____.__", "nine o one");
  clock_.Set(2026, 3, 2, 9, 0, 30);
  auto engine = MakeEngine();
  engine->Tick();
  RunFor(*engine, 29);
  EXPECT_TRUE(popups_.popups.empty());
  RunFor(*engine, 1);
  ASSERT_EQ(popups_.popups.size(), 1u);
  EXPECT_EQ(popups_.popups[0].text, "nine o one");
  // The same minute never fires twice.
  RunFor(*engine, 59);
  EXPECT_EQ(popups_.popups.size(), 1u);
}

// A machine asleep from 08:59 to 11:00 (or a tick stalled that long) shows
// the reminders it slept through, oldest first, in one window.
TEST_F(ReminderEngineTest, MinutesSleptThroughFireInOneWindow) {
  AddEntry("0900____.__", "nine");
  AddEntry("0930____.__", "nine thirty");
  AddEntry("1000____.__", "ten");
  AddEntry("1100____.__", "eleven");
  struct Case {
    int late_minutes;  // -1: the default
    int wake_hour, wake_minute;
    std::string text;
    std::string title;
  } cases[] = {
      {-1, 11, 0,
       "【26/03/02 (月) 09:00】\nnine\n【26/03/02 (月) 09:30】\nnine thirty\n"
       "【26/03/02 (月) 10:00】\nten\n【26/03/02 (月) 11:00】\neleven",
       "26/03/02 (月) 09:00"},
      // Only as far back as the setting says; one minute needs no heading.
      {30, 10, 15, "ten", "26/03/02 (月) 10:00"},
      {0, 10, 15, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.late_minutes);
    popups_.popups.clear();
    settings_.WriteInteger(
        "Calendar", "LateMinutes",
        c.late_minutes < 0 ? kDefaultLateMinutes : c.late_minutes);
    clock_.Set(2026, 3, 2, 8, 59, 30);
    auto engine = MakeEngine();
    engine->Tick();
    RunFor(*engine, 20);
    clock_.Set(2026, 3, 2, c.wake_hour, c.wake_minute, 10);
    uptime_.Advance(2 * 3600 * 1000);
    engine->Tick();
    if (c.text.empty()) {
      EXPECT_TRUE(popups_.popups.empty());
      continue;
    }
    ASSERT_EQ(popups_.popups.size(), 1u);
    EXPECT_EQ(popups_.popups[0].text, c.text);
    EXPECT_EQ(popups_.popups[0].finish.title, c.title);
    EXPECT_TRUE(popups_.popups[0].finished);
    // Nothing fires twice afterwards.
    RunFor(*engine, 120);
    EXPECT_EQ(popups_.popups.size(), 1u);
  }
}

TEST_F(ReminderEngineTest, AClockSetBackFiresNothingTwice) {
  AddEntry("0905____.__", "five past");
  AddEntry("0910____.__", "ten past");
  clock_.Set(2026, 3, 2, 9, 0, 30);
  auto engine = MakeEngine();
  engine->Tick();
  RunFor(*engine, 6 * 60);  // 09:06:30
  ASSERT_EQ(popups_.popups.size(), 1u);
  clock_.Set(2026, 3, 2, 8, 56, 30);
  RunFor(*engine, 12 * 60);  // 09:08:30 by the new clock
  EXPECT_EQ(popups_.popups.size(), 1u);
  RunFor(*engine, 2 * 60);
  ASSERT_EQ(popups_.popups.size(), 2u);
  EXPECT_EQ(popups_.popups[1].text, "ten past");
  // A clock corrected by days goes on from its new time.
  clock_.Set(2026, 2, 20, 9, 9, 30);
  RunFor(*engine, 60);
  ASSERT_EQ(popups_.popups.size(), 3u);
  EXPECT_EQ(popups_.popups[2].finish.title, "26/02/20 (金) 09:10");
}

// The minute processed last is written at a clean exit and once an hour;
// the next start catches up from it, at most LateMinutes back.
TEST_F(ReminderEngineTest, ARestartCatchesUpFromTheLastRun) {
  AddEntry("0903____.__", "three past");
  AddEntry("0906____.__", "six past");
  AddEntry("2130____.__", "evening");
  clock_.Set(2026, 3, 2, 9, 0, 30);
  {
    auto engine = MakeEngine();
    engine->Tick();
    RunFor(*engine, 40);  // 09:01:10
    engine->SaveLastMinute();
  }
  EXPECT_FALSE(settings_.ReadString("Calendar", "LastMinute", "").empty());
  // Five minutes later: 09:02 to 09:06, the start-up minute included.
  clock_.Set(2026, 3, 2, 9, 6, 20);
  {
    auto engine = MakeEngine();
    engine->Tick();
    ASSERT_EQ(popups_.popups.size(), 1u);
    EXPECT_EQ(popups_.popups[0].text,
              "【26/03/02 (月) 09:03】\nthree past\n"
              "【26/03/02 (月) 09:06】\nsix past");
    // Running for an hour writes the place down without an exit.
    clock_.Set(2026, 3, 2, 10, 7, 0);
    engine->Tick();
  }
  // Two days later with no clean exit: only the last 720 minutes, so the
  // evening of the 3rd but not that of the 2nd.
  clock_.Set(2026, 3, 4, 9, 4, 30);
  popups_.popups.clear();
  {
    auto engine = MakeEngine();
    engine->Tick();
    ASSERT_EQ(popups_.popups.size(), 1u);
    EXPECT_EQ(popups_.popups[0].text,
              "【26/03/03 (火) 21:30】\nevening\n"
              "【26/03/04 (水) 09:03】\nthree past");
    EXPECT_EQ(popups_.popups[0].finish.title, "26/03/03 (火) 21:30");
  }
}

TEST_F(ReminderEngineTest, PopupsOfOneMinuteShareAWindowWithTheLastOptions) {
  const std::string sound_a = home_ / "a.wav", sound_b = home_ / "b.wav";
  home_.Touch("a.wav");
  home_.Touch("b.wav");
  PopupOptions a, b;
  a.file = sound_a;
  a.closetime = 30;
  a.execute = "/usr/bin/first?one";
  b.file = sound_b;
  b.closetime = 5;
  b.execute = "/usr/bin/second";
  AddEntry("1200____.__", "daily noon", &a);
  AddEntry("1200____.WED", "wednesday noon",
           &b);  // 4 March 2026 is a Wednesday
  clock_.Set(2026, 3, 4, 11, 59, 59);
  auto engine = MakeEngine();
  engine->Tick();
  RunFor(*engine, 1);

  EntryMatcher matcher(&folder(), [](int, int, int) { return false; });
  const std::vector<std::string> order =
      matcher.PopupNamesForMinute({2026, 3, 4}, 1200);
  ASSERT_EQ(order.size(), 2u);
  ASSERT_EQ(popups_.popups.size(), 1u);
  const RecordedPopup& popup = popups_.popups[0];
  EXPECT_EQ(popup.paths,
            (std::vector<std::string>{Path(order[0]), Path(order[1])}));
  const PopupOptions& last = order[1] == "1200____.WED" ? b : a;
  EXPECT_EQ(popup.finish.entry_path, Path(order[1]));
  EXPECT_EQ(popup.finish.close_countdown, last.closetime);
  EXPECT_EQ(sound_.files(), std::vector<std::string>{*last.file});
  // Both entries ran their programs, in their order.
  ASSERT_EQ(shell_.calls().size(), 2u);
  EXPECT_EQ(shell_.calls()[0].target,
            order[0] == "1200____.WED" ? "/usr/bin/second" : "/usr/bin/first");
  EXPECT_EQ(shell_.calls()[0].working_folder, "/usr/bin/");
}

TEST_F(ReminderEngineTest, ElapsedTitleShowsNowInTheColourOfTheReminderDay) {
  // Friday 23:55 with ten minutes ahead: the reminder time is Saturday.
  settings_.WriteInteger("Calendar", "before", 10);
  AddEntry("W0000600.__", "elapsed");
  uptime_.Set(595 * 1000 + 400);
  clock_.Set(2026, 5, 1, 23, 55, 1);
  auto engine = MakeEngine();
  engine->Tick();
  RunFor(*engine, 6);
  ASSERT_EQ(popups_.popups.size(), 1u);
  EXPECT_EQ(popups_.popups[0].finish.title, "26/05/01 (金) 23:55");
  EXPECT_EQ(popups_.popups[0].finish.weekday, 7);
}

TEST_F(ReminderEngineTest, ElapsedPopupFiresOnceInItsTenSecondStep) {
  struct Case {
    std::int64_t start_seconds;
    std::string name;
    int fires;
  } cases[] = {
      {595, "W0000600.__", 1},
      {603, "W0000600.__", 0},               // started inside the step
      {30LL * 86400 - 5, "W2592000.__", 1},  // 30 days up
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + " from " + std::to_string(c.start_seconds));
    std::filesystem::remove_all(data_);
    std::filesystem::create_directory(data_);
    folder_.reset();
    popups_.popups.clear();
    AddEntry(c.name, "elapsed");
    uptime_.Set(c.start_seconds * 1000 + 400);
    clock_.Set(2026, 5, 1, 10, 0, 1);
    auto engine = MakeEngine();
    engine->Tick();
    RunFor(*engine, 30);
    ASSERT_EQ(int(popups_.popups.size()), c.fires);
    if (c.fires) {
      // The title of an elapsed popup is the time it fired.
      EXPECT_EQ(popups_.popups[0].finish.title.substr(0, 17),
                "26/05/01 (金) 10");
      EXPECT_EQ(popups_.popups[0].delete_path, "");
    }
  }
}

TEST_F(ReminderEngineTest,
       BirthdayGreetsOncePerDayAndAgainAfterTheClockWentBack) {
  AddEntry("BORN0102.1990", "friend");
  int greetings = 0;
  commands_.SetCommand(Command::kBirthdayGreeting, [&] { ++greetings; });
  clock_.Set(2026, 1, 2, 8, 0, 0);
  const std::string jan2 = std::to_string(SettingsDayCount({2026, 1, 2}));
  {
    auto engine = MakeEngine();
    engine->Tick();
    RunFor(*engine, 3);
    EXPECT_EQ(greetings, 1);
    EXPECT_EQ(settings_.ReadString("Pop_Born", "Day", ""), jan2);
  }
  {  // a restart the same day
    auto engine = MakeEngine();
    engine->Tick();
    EXPECT_EQ(greetings, 1);
  }
  {  // the clock set back to the 1st, then the 2nd comes again
    clock_.Set(2026, 1, 1, 23, 59, 58);
    auto engine = MakeEngine();
    engine->Tick();
    EXPECT_EQ(settings_.ReadString("Pop_Born", "Day", ""),
              std::to_string(SettingsDayCount({2025, 12, 31})));
    EXPECT_EQ(greetings, 1);  // no birthday on the 1st
    RunFor(*engine, 3);
    EXPECT_EQ(greetings, 2);
    EXPECT_EQ(settings_.ReadString("Pop_Born", "Day", ""), jan2);
  }
  settings_.WriteBool("Form", "BirthPop", false);
  settings_.WriteString("Pop_Born", "Day", "0");
  auto engine = MakeEngine();
  engine->Tick();
  EXPECT_EQ(greetings, 2);
}

TEST_F(ReminderEngineTest, CloseTimeZeroStillPlaysStartsAndMails) {
  home_.Touch("bell.wav");
  settings_.WriteBool("smtp", "smtp_check", true);
  PopupOptions o;
  o.closetime = 0;
  o.file = home_ / "bell.wav";
  o.smtp = true;
  o.execute = "/opt/tool/run?--now \"two words\"";
  AddEntry("1530____.__", "quiet");
  WritePopupOptions(settings_, Path("1530____.__"), o);
  std::vector<std::string> mails;
  events_.OnPopupFinished([&](const PopupFinished& popup) {
    if (popup.send_mail) mails.push_back(popup.entry_path);
  });
  clock_.Set(2026, 6, 1, 15, 29, 59);
  auto engine = MakeEngine();
  engine->Tick();
  RunFor(*engine, 1);
  ASSERT_EQ(popups_.popups.size(), 1u);
  EXPECT_EQ(popups_.popups[0].finish.close_countdown, 0);
  EXPECT_EQ(sound_.files(), std::vector<std::string>{home_ / "bell.wav"});
  EXPECT_EQ(mails, std::vector<std::string>{Path("1530____.__")});
  ASSERT_EQ(shell_.calls().size(), 1u);
  EXPECT_EQ(shell_.calls()[0].target, "/opt/tool/run");
  EXPECT_EQ(shell_.calls()[0].parameters, "--now \"two words\"");
  EXPECT_EQ(shell_.calls()[0].working_folder, "/opt/tool/");
}

TEST_F(ReminderEngineTest, OneMailCarriesEveryTextOfTheWindow) {
  settings_.WriteBool("smtp", "smtp_check", true);
  PopupOptions mail;
  mail.smtp = true;
  AddEntry("1200____.__", "daily noon", &mail);
  AddEntry("1200____.WED", "wednesday noon", &mail);
  std::vector<PopupFinished> finished;
  events_.OnPopupFinished(
      [&](const PopupFinished& popup) { finished.push_back(popup); });
  clock_.Set(2026, 3, 4, 11, 59, 59);
  auto engine = MakeEngine();
  engine->Tick();
  RunFor(*engine, 1);
  ASSERT_EQ(finished.size(), 1u);
  EXPECT_TRUE(finished[0].send_mail);
  std::vector<std::string> texts = finished[0].texts;
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(texts, (std::vector<std::string>{"daily noon", "wednesday noon"}));
}

TEST_F(ReminderEngineTest, MailCountdownChecksAtTheFirstMinuteChange) {
  settings_.WriteBool("pop", "check", true);
  int checks = 0;
  ReminderEngine* engine_ptr = nullptr;
  commands_.SetCommand(Command::kMailCheck, [&] {
    ++checks;
    engine_ptr->SetMailCountdown(60);
  });
  clock_.Set(2026, 2, 3, 10, 0, 30);
  auto engine = MakeEngine();
  engine_ptr = engine.get();
  engine->Tick();
  RunFor(*engine, 29);
  EXPECT_EQ(checks, 0);
  RunFor(*engine, 1);  // 10:01
  EXPECT_EQ(checks, 1);
  RunFor(*engine, 59 * 60);  // 11:00
  EXPECT_EQ(checks, 1);
  EXPECT_EQ(engine->mail_countdown(), 1);
  RunFor(*engine, 60);  // 11:01
  EXPECT_EQ(checks, 2);
}

TEST_F(ReminderEngineTest, ATickNeverRunsInsideAnother) {
  AddEntry("0700____.__", "one");
  AddEntry("0700____.SUN", "two");  // 1 March 2026 is a Sunday
  AddEntry("0701____.__", "three");
  clock_.Set(2026, 3, 1, 6, 59, 59);
  auto engine = MakeEngine();
  engine->Tick();
  const size_t refreshed = displays_.states.size();
  bool pumped = false;
  popups_.on_create = [&] {
    if (pumped) return;
    pumped = true;
    // As if a hook pumped the timer at 07:01:00, when "three" is due: run
    // inside this tick, it would build a second window meanwhile.
    clock_.Advance(60);
    engine->Tick();
  };
  clock_.Advance(1);
  engine->Tick();
  ASSERT_TRUE(pumped);
  ASSERT_EQ(popups_.popups.size(), 1u);
  EXPECT_EQ(
      popups_.popups[0].paths,
      (std::vector<std::string>{Path("0700____.__"), Path("0700____.SUN")}));
  EXPECT_TRUE(popups_.popups[0].finished);
  EXPECT_EQ(displays_.states.size(), refreshed + 1);
  // The dropped tick loses nothing: the next one fires its minute.
  clock_.Advance(1);
  engine->Tick();
  ASSERT_EQ(popups_.popups.size(), 2u);
  EXPECT_EQ(popups_.popups[1].paths,
            std::vector<std::string>{Path("0701____.__")});
  EXPECT_TRUE(popups_.popups[1].finished);
}

TEST_F(ReminderEngineTest,
       DisplaysShowDateClockMemoryAndTheMoonInUniversalTime) {
  settings_.WriteBool("Form", "AnalogClock", true);
  // 1 January 2000, 12:00 UT, seen from Tokyo and from New York.
  for (int offset : {9 * 3600, -5 * 3600}) {
    displays_.states.clear();
    clock_.SetUnixSeconds(946728000);
    clock_.SetUtcOffset(offset);
    auto engine = MakeEngine();
    engine->Tick();
    ASSERT_EQ(displays_.states.size(), 1u);
    const MainDisplayState& s = displays_.states[0];
    EXPECT_EQ(s.date_text, "2000/01/01(土)");
    EXPECT_EQ(s.clock_text, offset > 0 ? "21:00:00" : "07:00:00");
    EXPECT_EQ(s.hour, offset > 0 ? 21 : 7);
    EXPECT_EQ(s.memory_text, "1024K(50%)");
    EXPECT_TRUE(s.analog_clock);
    EXPECT_TRUE(s.moon);
    EXPECT_EQ(s.moon_texts.julian_date, "2451545.00000");
  }
  displays_.moon_shown = false;
  displays_.states.clear();
  auto engine = MakeEngine();
  engine->Tick();
  EXPECT_FALSE(displays_.states.at(0).moon);
}

TEST_F(ReminderEngineTest,
       AutomaticDiaryOpensAtItsClockMinuteNotTheAdvancedOne) {
  settings_.WriteInteger("Calendar", "before", 10);
  settings_.WriteBool("Nikki", "Auto", true);
  settings_.WriteInteger("Nikki", "Auto_H", 7);
  settings_.WriteInteger("Nikki", "Auto_M", 30);
  home_.Touch("chime.wav");
  settings_.WriteString("Calendar", "file", home_ / "chime.wav");
  int opened = 0;
  commands_.SetCommand(Command::kDiaryList, [&] { ++opened; });
  clock_.Set(2026, 7, 1, 7, 19, 30);
  auto engine = MakeEngine();
  engine->Tick();
  RunFor(*engine, 10 * 60);  // to 07:29:30
  EXPECT_EQ(opened, 0);
  RunFor(*engine, 30);  // 07:30:00
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(sound_.files(), std::vector<std::string>{home_ / "chime.wav"});
  RunFor(*engine, 120);
  EXPECT_EQ(opened, 1);
}

TEST_F(ReminderEngineTest, AnEntryGoneBeforeLoadingLeavesAnEmptyWindow) {
  AddEntry("1000____.__", "soon gone");
  clock_.Set(2026, 4, 1, 9, 59, 59);
  auto engine = MakeEngine();
  engine->Tick();
  popups_.on_create = [&] { std::filesystem::remove(data_ + "/1000____.__"); };
  RunFor(*engine, 1);
  ASSERT_EQ(popups_.popups.size(), 1u);
  EXPECT_TRUE(popups_.popups[0].paths.empty());
  EXPECT_TRUE(popups_.popups[0].finished);
}

}  // namespace
}  // namespace mirokata
