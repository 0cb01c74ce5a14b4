// Clock and uptime from POSIX: the time-zone database through localtime_r,
// uptime from CLOCK_BOOTTIME so that suspended time counts.
#include <time.h>

#include <memory>

#include "platform/linux_platform.h"

namespace mirokata {
namespace {

class SystemClock : public Clock {
 public:
  LocalTime Now() const override {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    LocalTime local = At(now.tv_sec);
    local.millisecond = int(now.tv_nsec / 1000000);
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

std::unique_ptr<Clock> MakeSystemClock() {
  return std::make_unique<SystemClock>();
}

std::unique_ptr<Uptime> MakeBootUptime() {
  return std::make_unique<BootUptime>();
}

}  // namespace mirokata
