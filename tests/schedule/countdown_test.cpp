// The countdown's seconds under ticks that come on time, late, or after a
// suspend, with pauses: no second is shown twice, none is skipped unless a
// tick itself came that late, each notice comes once, and the end comes at
// the deadline.
#include "schedule/countdown.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/testing/fake_clock.h"

namespace mirokata {
namespace {

struct Trace {
  std::vector<std::int64_t> shown;  // R of each running tick
  std::int64_t half_at = -1, eighty_at = -1;
  int half_count = 0, eighty_count = 0;
  std::int64_t ended_at_ms = -1;  // uptime of the end
};

// Drives a countdown of `total` seconds from uptime 0 as the window's
// timer would: each tick comes when armed plus `late(n)` milliseconds;
// `before(n)` may pause, resume or suspend before tick n.
Trace Drive(
    std::int64_t total, const std::function<std::int64_t(int)>& late,
    const std::function<void(int, Countdown&, FakeUptime&)>& before = nullptr) {
  FakeUptime uptime;
  uptime.Set(0);
  Countdown countdown(&uptime);
  countdown.Start(total);
  Trace run;
  for (int n = 0; countdown.running() && n < 100000; ++n) {
    const std::int64_t wait =
        countdown.paused() ? 1000 : countdown.MsUntilNextSecond();
    uptime.Advance(wait + late(n));
    if (before) before(n, countdown, uptime);
    const Countdown::Step step = countdown.Tick();
    if (countdown.paused()) continue;
    run.shown.push_back(step.remaining);
    if (step.half_notice) {
      ++run.half_count;
      run.half_at = step.remaining;
    }
    if (step.eighty_notice) {
      ++run.eighty_count;
      run.eighty_at = step.remaining;
    }
    if (step.ended) run.ended_at_ms = uptime.Milliseconds();
  }
  return run;
}

// Every second from T-1 down to 0 once, except where `gaps` allow a jump.
void ExpectEverySecond(const Trace& run, std::int64_t total, int gaps = 0) {
  ASSERT_FALSE(run.shown.empty());
  EXPECT_EQ(run.shown.back(), 0);
  int jumps = 0;
  for (size_t i = 1; i < run.shown.size(); ++i) {
    ASSERT_LT(run.shown[i], run.shown[i - 1]) << "a second repeats at " << i;
    if (run.shown[i] != run.shown[i - 1] - 1) ++jumps;
  }
  EXPECT_EQ(jumps, gaps);
  if (gaps == 0) {
    EXPECT_EQ(run.shown.front(), total - 1);
  }
}

TEST(CountdownTest, TicksOnTimeLateOrAfterASuspend) {
  const std::int64_t t = 600;  // ten minutes
  auto none = [](int) { return std::int64_t{0}; };

  Trace punctual = Drive(t, none);
  ExpectEverySecond(punctual, t);
  EXPECT_EQ(punctual.ended_at_ms, t * 1000);
  EXPECT_EQ(punctual.half_at, 300);
  EXPECT_EQ(punctual.eighty_at, 120);
  EXPECT_EQ(punctual.half_count, 1);
  EXPECT_EQ(punctual.eighty_count, 1);

  Trace late = Drive(t, [](int) { return std::int64_t{400}; });
  ExpectEverySecond(late, t);
  EXPECT_EQ(late.ended_at_ms, t * 1000 + 400);
  EXPECT_EQ(late.half_at, 300);
  EXPECT_EQ(late.eighty_at, 120);

  // One tick five seconds late: one jump, nothing shown twice.
  Trace once = Drive(t, [](int n) { return n == 250 ? 5000 : 0; });
  ExpectEverySecond(once, t, 1);
  EXPECT_EQ(once.ended_at_ms, t * 1000);
  EXPECT_EQ(once.half_count, 1);
  EXPECT_EQ(once.eighty_count, 1);

  // A two-hour suspend in a three-hour countdown counts as time gone.
  Trace suspended =
      Drive(3 * 3600, [](int n) { return n == 600 ? 7200000 : 0; });
  ExpectEverySecond(suspended, 3 * 3600, 1);
  EXPECT_EQ(suspended.ended_at_ms, 3 * 3600 * 1000);
  EXPECT_EQ(suspended.half_count, 1);

  // A suspend past the end: the first tick after it ends the countdown.
  Trace past = Drive(t, [](int n) { return n == 100 ? 7200000 : 0; });
  EXPECT_EQ(past.shown.back(), 0);
  EXPECT_EQ(past.shown.size(), 101u);
  EXPECT_EQ(past.half_count, 1);
  EXPECT_EQ(past.eighty_count, 1);
}

TEST(CountdownTest, APauseFreezesTheRemainingTimeEvenAcrossASuspend) {
  const std::int64_t t = 600;
  auto none = [](int) { return std::int64_t{0}; };
  // Paused at tick 100 for 30 one-second paused ticks.
  Trace paused = Drive(t, none, [](int n, Countdown& c, FakeUptime&) {
    if (n == 100) c.Pause();
    if (n == 130) c.Resume();
  });
  ExpectEverySecond(paused, t);
  EXPECT_EQ(paused.ended_at_ms, (t + 30) * 1000);

  // Paused, then the machine sleeps for two hours before the resume.
  Trace slept = Drive(t, none, [](int n, Countdown& c, FakeUptime& u) {
    if (n == 100) c.Pause();
    if (n == 102) u.Advance(7200000);
    if (n == 103) c.Resume();
  });
  ExpectEverySecond(slept, t);
  EXPECT_EQ(slept.ended_at_ms, (t + 3) * 1000 + 7200000);
}

TEST(CountdownTest, ALongDurationCountsBeyondSixteenBits) {
  Trace day = Drive(23 * 3600 + 59 * 60, [](int) { return std::int64_t{0}; });
  ExpectEverySecond(day, 23 * 3600 + 59 * 60);
  EXPECT_EQ(day.half_at, (23 * 3600 + 59 * 60) / 2);
}

}  // namespace
}  // namespace mirokata
