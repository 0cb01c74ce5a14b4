// Settable clock and uptime for tests.
#ifndef MIROKATA_PLATFORM_TESTING_FAKE_CLOCK_H_
#define MIROKATA_PLATFORM_TESTING_FAKE_CLOCK_H_

#include <cstdint>

#include "platform/clock.h"
#include "platform/uptime.h"

namespace mirokata {

// Stands still until told to move. Starts at 2026-01-01 00:00:00 +09:00.
class FakeClock : public Clock {
 public:
  FakeClock();
  // Sets local civil time with the offset in force (JST by default).
  void Set(int year, int month, int day, int hour = 0, int minute = 0,
           int second = 0, int utc_offset_seconds = 9 * 3600);
  void SetUnixSeconds(std::int64_t unix_seconds);
  // Changes the zone from now on (as a DST switch or a moved machine does);
  // the instant stays, the local reading changes.
  void SetUtcOffset(int utc_offset_seconds);
  void Advance(std::int64_t seconds) { AdvanceMs(seconds * 1000); }
  void AdvanceMs(std::int64_t milliseconds);

  LocalTime Now() const override;
  LocalTime At(std::int64_t unix_seconds) const override;

 private:
  std::int64_t unix_ms_ = 0;
  int utc_offset_seconds_ = 9 * 3600;
};

class FakeUptime : public Uptime {
 public:
  void Set(std::int64_t milliseconds) { ms_ = milliseconds; }
  void Advance(std::int64_t milliseconds) { ms_ += milliseconds; }
  std::int64_t Milliseconds() const override { return ms_; }

 private:
  std::int64_t ms_ = 60 * 60 * 1000;
};

// Local civil time of an instant at a fixed offset (proleptic Gregorian).
LocalTime CivilFromUnix(std::int64_t unix_ms, int utc_offset_seconds);

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_TESTING_FAKE_CLOCK_H_
