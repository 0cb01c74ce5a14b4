#include "calendar/gregorian.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace mirokata {

const char kJuliusErrorMessage[] = "1582/10/5-10/14は存在しません。";

EJuliusError::EJuliusError() : std::runtime_error(kJuliusErrorMessage) {}

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// Degrees to radians exactly as the old formulas did: x * (1/180) * pi.
long double SinDeg(long double x) {
  return std::sin(x * (1.0L / 180.0L) * kPi);
}

// Truncation toward zero, as the formulas are written (C++ integer division
// truncates the same way).
int64_t JulianCount(int64_t y, int64_t m, int64_t d) {
  int64_t c = 0;
  if (m > 2) {
    const int64_t l = ((y + 4712) % 4 == 0) ? 1 : 0;
    // Trunc(0.4 * m + 1.2) in exact arithmetic.
    c = l - (2 * m + 6) / 5 - 1;
  }
  return (1461 * (y + 4715)) / 4 + 31 * (m - 1) + d + c - 1096;
}

bool IsJulianDate(int y, int m, int d) {
  return y <= 1581 || (y == 1582 && (m <= 9 || (m == 10 && d <= 4)));
}

bool IsGregorianDate(int y, int m, int d) {
  return y >= 1583 || (y == 1582 && (m >= 11 || (m == 10 && d >= 15)));
}

}  // namespace

int32_t DayNumber(int year, int month, int day) {
  const bool julian = IsJulianDate(year, month, day);
  if (!julian && !IsGregorianDate(year, month, day)) throw EJuliusError();
  const int64_t j = JulianCount(year, month, day);
  if (julian) return static_cast<int32_t>(j);
  const int64_t y = year;
  int64_t g = 0;
  if (month > 2) {
    g = (y % 400 == 0 ? 1 : 0) - (y % 100 == 0 ? 1 : 0) -
        (y % 4000 == 0 ? 1 : 0);
  }
  const int64_t centuries = (y - 1501) / 100;
  return static_cast<int32_t>(j - 10 + g - (centuries * 3) / 4 -
                              (y - 1) / 4000);
}

int32_t DayNumber(const CivilDate& date) {
  return DayNumber(date.year, date.month, date.day);
}

CivilDate CivilDateOf(int32_t day_number) {
  // Estimate the year from the mean year length, then settle it against
  // DayNumber itself so that the two can never disagree.
  int year = static_cast<int>(std::floor(
                 (static_cast<double>(day_number) - 1721424.0) / 365.2425)) +
             1;
  while (DayNumber(year, 1, 1) > day_number) --year;
  while (DayNumber(year + 1, 1, 1) <= day_number) ++year;
  if (year == 1582) {
    int month = 12;
    // The first of a month is never in the October gap.
    while (month > 1 && DayNumber(year, month, 1) > day_number) --month;
    int day = 1 + (day_number - DayNumber(year, month, 1));
    if (month == 10 && day > 4) day += 10;
    return CivilDate{year, month, day};
  }
  int rest = day_number - DayNumber(year, 1, 1);
  int month = 1;
  while (rest >= DaysInMonth(year, month)) rest -= DaysInMonth(year, month++);
  return CivilDate{year, month, rest + 1};
}

int WeekdayOf(int32_t day_number) {
  int r = static_cast<int>((static_cast<int64_t>(day_number) + 1) % 7);
  if (r < 0) r += 7;
  return r + 1;
}

bool IsLeapYear(int year) {
  if (year < 1582) {
    int r = (year + 4712) % 4;
    return r == 0;
  }
  if (year % 4000 == 0) return false;
  if (year % 400 == 0) return true;
  if (year % 100 == 0) return false;
  return year % 4 == 0;
}

int DaysInMonth(int year, int month) {
  static const int kLengths[12] = {31, 28, 31, 30, 31, 30,
                                   31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kLengths[month - 1] + ((month == 2 && IsLeapYear(year)) ? 1 : 0);
}

bool IsValidDate(int year, int month, int day) {
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
    return false;
  }
  return !(year == 1582 && month == 10 && day >= 5 && day <= 14);
}

CivilDate ValidDate(int year, int month, int day) {
  while (day > 1 && !IsValidDate(year, month, day)) --day;
  return {year, month, std::max(day, 1)};
}

int32_t VernalEquinoxNumber(int year) {
  const long double b = year - 2000;
  const double s = static_cast<double>(
      0.002L * (SinDeg(321.0L - 30.37L * b) + SinDeg(249.0L + 0.19L * b) +
                SinDeg(202.0L - 132.57L * b) + SinDeg(84.0L - 90.37L * b)) -
      0.00004871850323926L * b + 0.001L * SinDeg(132.0L - 134.81L * b) +
      0.005L * SinDeg(239.0L - 19.34L * b));
  const double bracket = static_cast<double>(0.0000001L * b * b - s);
  return static_cast<int32_t>(std::trunc(b * 365.24229L + 2451624.683L +
                                         static_cast<long double>(bracket)));
}

int32_t AutumnalEquinoxNumber(int year) {
  const long double b = year - 2000;
  const double s = static_cast<double>(
      0.002L * (SinDeg(485.0L - 30.37L * b) + SinDeg(249.0L + 0.19L * b) +
                SinDeg(268.2L - 132.57L * b) + SinDeg(309.2L - 90.37L * b)) +
      0.00004871850323926L * b + 0.001L * SinDeg(244.6L - 134.81L * b) +
      0.005L * SinDeg(248.6L - 19.34L * b));
  const double bracket = static_cast<double>(0.0000001L * b * b - s);
  return static_cast<int32_t>(std::trunc(b * 365.24206L + 2451811.096L +
                                         static_cast<long double>(bracket)));
}

long double SunLongitudeAtMidnight(int year, int month, int day) {
  struct Row {
    long double a, b, c;
  };
  static const Row kRows[] = {
      {0.0200L, 353.06L, 719.981L}, {-0.0048L, 248.64L, -19.341L},
      {0.0020L, 285.0L, 329.64L},   {0.0018L, 334.2L, -4452.67L},
      {0.0018L, 293.7L, -0.2L},     {0.0015L, 242.4L, 450.37L},
      {0.0013L, 211.1L, 225.18L},   {0.0008L, 208.0L, 659.29L},
      {0.0007L, 53.5L, 90.38L},     {0.0007L, 12.1L, -30.35L},
      {0.0006L, 239.1L, 337.18L},   {0.0005L, 10.1L, -1.5L},
      {0.0005L, 99.1L, -22.81L},    {0.0004L, 264.8L, 315.56L},
      {0.0004L, 233.8L, 299.3L},    {-0.0004L, 198.1L, 720.02L},
      {0.0003L, 349.6L, 1079.97L},  {0.0003L, 241.2L, -44.43L},
  };
  const long double yy = year - 1900;
  const long double quarter = yy / 4.0L;
  const long double frac = quarter - std::trunc(quarter);
  const long double l = std::trunc(1.0L - frac);
  const long double p = std::trunc((month + 7) * 0.1L);
  const long double q = std::trunc((month + 4.4L) * 0.44L);
  const long double d = std::trunc(365.25L * yy) + 31.0L * month + day +
                        l * (p - 1.0L) - p * q - 27424.0L;
  const long double t = (d - 0.375L) * 0.0027378507871321013L;
  long double lambda =
      279.0358L + 360.00769L * t +
      (1.9159L - 0.00005L * t) * SinDeg(356.531L + 359.991L * t);
  for (const Row& row : kRows) lambda += row.a * SinDeg(row.b + row.c * t);
  lambda = std::fmod(lambda, 360.0L);
  if (lambda < 0) lambda += 360.0L;
  if (lambda >= 360.0L) lambda -= 360.0L;
  return lambda;
}

namespace {

// Equinox days are asked for every cell, holiday test and reminder walk, and
// depend on the year alone: remember them for the years in common use.
constexpr int kCacheFirstYear = 1800;
constexpr int kCacheYears = 600;
std::atomic<signed char> vernal_cache[kCacheYears];
std::atomic<signed char> autumnal_cache[kCacheYears];

template <typename Compute>
int Cached(std::atomic<signed char>* cache, int year, Compute compute) {
  const int index = year - kCacheFirstYear;
  if (index < 0 || index >= kCacheYears) return compute();
  int day = cache[index].load(std::memory_order_relaxed);
  if (day == 0) {
    day = compute();
    cache[index].store(static_cast<signed char>(day),
                       std::memory_order_relaxed);
  }
  return day;
}

}  // namespace

int VernalEquinoxDay(int year) {
  return Cached(vernal_cache, year, [year] {
    // The equinox day is the last day whose midnight finds the sun short of
    // 0 degrees (still in the upper half of the circle).
    int day = 19;
    while (day < 22 && SunLongitudeAtMidnight(year, 3, day + 1) >= 180.0L) {
      ++day;
    }
    return day;
  });
}

int AutumnalEquinoxDay(int year) {
  return Cached(autumnal_cache, year, [year] {
    // The last day whose midnight finds the sun short of 180 degrees.
    int day = 22;
    while (day < 24 && SunLongitudeAtMidnight(year, 9, day + 1) <= 180.0L) {
      ++day;
    }
    return day;
  });
}

}  // namespace mirokata
