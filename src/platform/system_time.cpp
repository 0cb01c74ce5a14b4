// Clock and uptime from POSIX: the time-zone database through localtime_r,
// uptime from CLOCK_BOOTTIME so that suspended time counts.
#include <time.h>

#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <utility>

#include "platform/linux_platform.h"

namespace mirokata {
namespace {

std::int64_t RealTimeMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return std::int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Floor division, so that instants before 1970 fall in the right second.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - (a % b < 0 ? 1 : 0);
}

class SystemClock : public Clock {
 public:
  explicit SystemClock(std::function<std::int64_t()> unix_milliseconds)
      : unix_milliseconds_(std::move(unix_milliseconds)) {}

  LocalTime Now() const override {
    const std::int64_t ms = unix_milliseconds_();
    const std::int64_t seconds = FloorDiv(ms, 1000);
    ReloadZoneOncePerMinute(seconds);
    LocalTime local = At(seconds);
    local.millisecond = int(ms - seconds * 1000);
    return local;
  }

  LocalTime At(std::int64_t unix_seconds) const override {
    const time_t t = static_cast<time_t>(unix_seconds);
    tm parts{};
    LocalTime local;
    local.unix_seconds = unix_seconds;
    if (localtime_r(&t, &parts) == nullptr) return local;
    local.year = parts.tm_year + 1900;
    local.month = parts.tm_mon + 1;
    local.day = parts.tm_mday;
    local.hour = parts.tm_hour;
    local.minute = parts.tm_min;
    local.second = parts.tm_sec > 59 ? 59 : parts.tm_sec;
    local.weekday = parts.tm_wday + 1;
    local.utc_offset_seconds = int(parts.tm_gmtoff);
    return local;
  }

 private:
  // localtime_r reads TZ and /etc/localtime only the first time; tzset()
  // reads them again (the file only when it changed), so a new time zone
  // shows within a minute without a restart.
  void ReloadZoneOncePerMinute(std::int64_t unix_seconds) const {
    const std::int64_t minute = FloorDiv(unix_seconds, 60);
    if (zone_minute_.exchange(minute) != minute) tzset();
  }

  std::function<std::int64_t()> unix_milliseconds_;
  mutable std::atomic<std::int64_t> zone_minute_{
      std::numeric_limits<std::int64_t>::min()};
};

class BootUptime : public Uptime {
 public:
  std::int64_t Milliseconds() const override {
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0 &&
        clock_gettime(CLOCK_MONOTONIC, &now) != 0) {
      return 0;
    }
    return std::int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
  }
};

}  // namespace

std::unique_ptr<Clock> MakeSystemClock(
    std::function<std::int64_t()> unix_milliseconds) {
  if (!unix_milliseconds) unix_milliseconds = RealTimeMilliseconds;
  return std::make_unique<SystemClock>(std::move(unix_milliseconds));
}

std::unique_ptr<Uptime> MakeBootUptime() {
  return std::make_unique<BootUptime>();
}

}  // namespace mirokata
