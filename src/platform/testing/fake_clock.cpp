#include "platform/testing/fake_clock.h"

namespace mirokata {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

LocalTime CivilFromUnix(std::int64_t unix_ms, int utc_offset_seconds) {
  LocalTime t;
  t.unix_seconds = FloorDiv(unix_ms, 1000);
  t.millisecond = int(unix_ms - t.unix_seconds * 1000);
  t.utc_offset_seconds = utc_offset_seconds;
  const std::int64_t local = t.unix_seconds + utc_offset_seconds;
  std::int64_t days = FloorDiv(local, 86400);
  const std::int64_t secs = local - days * 86400;
  t.hour = int(secs / 3600);
  t.minute = int(secs / 60 % 60);
  t.second = int(secs % 60);
  t.weekday = int((days % 7 + 7 + 4) % 7) + 1;  // 1970-01-01 was a Thursday
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe =
      (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  t.day = int(doy - (153 * mp + 2) / 5 + 1);
  t.month = int(mp < 10 ? mp + 3 : mp - 9);
  t.year = int(yoe + era * 400 + (t.month <= 2));
  return t;
}

FakeClock::FakeClock() { Set(2026, 1, 1); }

void FakeClock::Set(int year, int month, int day, int hour, int minute,
                    int second, int utc_offset_seconds) {
  utc_offset_seconds_ = utc_offset_seconds;
  const std::int64_t local = DaysFromCivil(year, month, day) * 86400 +
                             hour * 3600 + minute * 60 + second;
  unix_ms_ = (local - utc_offset_seconds) * 1000;
}

void FakeClock::SetUnixSeconds(std::int64_t unix_seconds) {
  unix_ms_ = unix_seconds * 1000;
}

void FakeClock::SetUtcOffset(int utc_offset_seconds) {
  utc_offset_seconds_ = utc_offset_seconds;
}

void FakeClock::AdvanceMs(std::int64_t milliseconds) {
  unix_ms_ += milliseconds;
}

LocalTime FakeClock::Now() const {
  return CivilFromUnix(unix_ms_, utc_offset_seconds_);
}

LocalTime FakeClock::At(std::int64_t unix_seconds) const {
  return CivilFromUnix(unix_seconds * 1000, utc_offset_seconds_);
}

}  // namespace mirokata
