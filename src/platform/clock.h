// Local wall-clock time as the time-zone database gives it.
#ifndef MIROKATA_PLATFORM_CLOCK_H_
#define MIROKATA_PLATFORM_CLOCK_H_

#include <cstdint>

namespace mirokata {

// One instant as civil local time plus the UTC offset in force at it.
struct LocalTime {
  int year = 1970;
  int month = 1;   // 1-12
  int day = 1;     // 1-31
  int hour = 0;    // 0-23
  int minute = 0;  // 0-59
  int second = 0;  // 0-59 (a leap second reads as 59)
  int millisecond = 0;
  int weekday = 5;                // 1 = Sunday ... 7 = Saturday
  int utc_offset_seconds = 0;     // local = UTC + offset (east positive)
  std::int64_t unix_seconds = 0;  // the same instant, seconds since 1970 UTC
};

// Source of the current local time; tests substitute a settable fake.
class Clock {
 public:
  virtual ~Clock() = default;
  // The current instant in local time.
  virtual LocalTime Now() const = 0;
  // Any instant (seconds since 1970 UTC) in local time.
  virtual LocalTime At(std::int64_t unix_seconds) const = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_CLOCK_H_
