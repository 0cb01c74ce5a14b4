#include "calendar/lunisolar.h"

#include <array>
#include <cmath>
#include <initializer_list>
#include <optional>

#include "calendar/gregorian.h"

namespace mirokata {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kOneSecond = 1.0L / 86400.0L;

// A search that has not settled after this many steps never will; it is
// far more than the handful that real dates need.
constexpr int kMaxTermSteps = 300;

struct Term {
  long double a;
  long double b;
  long double c;
};

// Periodic terms of the sun's longitude, summed in this order.
constexpr std::array<Term, 14> kSunTerms = {{
    {0.0004L, 31557, 161},
    {0.0004L, 29930, 48},
    {0.0005L, 2281, 221},
    {0.0005L, 155, 118},
    {0.0006L, 33718, 316},
    {0.0007L, 9038, 64},
    {0.0007L, 3035, 110},
    {0.0007L, 65929, 45},
    {0.0013L, 22519, 352},
    {0.0015L, 45038, 254},
    {0.0018L, 445267, 208},
    {0.0018L, 19, 159},
    {0.0020L, 32964, 158},
    {0.0200L, 71998.1L, 265.1L},
}};

// Periodic terms of the moon's longitude, summed in this order.
constexpr std::array<Term, 61> kMoonTerms = {{
    {0.0003L, 2322131, 191},
    {0.0003L, 4067, 70},
    {0.0003L, 549197, 220},
    {0.0003L, 1808933, 58},
    {0.0003L, 349472, 337},
    {0.0003L, 381404, 354},
    {0.0003L, 958465, 340},
    {0.0004L, 12006, 187},
    {0.0004L, 39871, 223},
    {0.0005L, 509131, 242},
    {0.0005L, 1745069, 24},
    {0.0005L, 1908795, 90},
    {0.0006L, 2258267, 156},
    {0.0006L, 111869, 38},
    {0.0007L, 27864, 127},
    {0.0007L, 485333, 186},
    {0.0007L, 405201, 50},
    {0.0007L, 790672, 114},
    {0.0008L, 1403732, 98},
    {0.0009L, 858602, 129},
    {0.0011L, 1920802, 186},
    {0.0012L, 1267871, 249},
    {0.0016L, 1856938, 152},
    {0.0018L, 401329, 274},
    {0.0021L, 341337, 16},
    {0.0021L, 71998, 85},
    {0.0021L, 990397, 357},
    {0.0022L, 818536, 151},
    {0.0023L, 922466, 163},
    {0.0024L, 99863, 122},
    {0.0026L, 1379739, 17},
    {0.0027L, 918399, 182},
    {0.0028L, 1934, 145},
    {0.0037L, 541062, 259},
    {0.0038L, 1781068, 21},
    {0.0040L, 133, 29},
    {0.0040L, 1844932, 56},
    {0.0040L, 1331734, 283},
    {0.0050L, 481266, 205},
    {0.0052L, 31932, 107},
    {0.0068L, 926533, 323},
    {0.0079L, 449334, 188},
    {0.0085L, 826671, 111},
    {0.0100L, 1431597, 315},
    {0.0107L, 1303870, 246},
    {0.0110L, 489205, 142},
    {0.0125L, 1443603, 52},
    {0.0154L, 75870, 41},
    {0.0304L, 513197.9L, 222.5L},
    {0.0347L, 445267.1L, 27.9L},
    {0.0409L, 441199.8L, 47.4L},
    {0.0458L, 854535.2L, 148.2L},
    {0.0533L, 1367733.1L, 280.7L},
    {0.0571L, 377336.3L, 13.2L},
    {0.0588L, 63863.5L, 124.2L},
    {0.1144L, 966404, 276.5L},
    {0.1851L, 35999.05L, 87.53L},
    {0.2136L, 954397.74L, 179.93L},
    {0.6583L, 890534.22L, 145.7L},
    {1.2740L, 413335.35L, 10.74L},
    {6.2888L, 477198.868L, 44.963L},
}};

constexpr std::array<std::string_view, 6> kRokuyo = {"先勝", "友引", "先負",
                                                     "仏滅", "大安", "赤口"};
constexpr std::string_view kUnknownRokuyo = "？？";

// The angle is reduced and converted in extended precision; the cosine of
// a value below 360 degrees needs no more than double precision, which the
// 40-bit results are far inside, and is many times faster.
long double CosDeg(long double x) {
  return std::cos(static_cast<double>(x * kPi / 180.0L));
}

// Int(x) of the formulas: truncation toward zero, kept as a real.
long double Int(long double x) { return std::trunc(x); }

// The time argument of a local day count split as tm1 (whole days) and
// tm2 (fraction of the day, already moved to Universal Time). The series
// run on dynamical time, so delta T is added.
long double TimeArgument(long double tm1, long double tm2) {
  const long double decimal_year =
      2000.0L + (tm1 + tm2 - 2451544.5L) / 365.2425L;
  const long double tt = tm2 + DeltaTSeconds(decimal_year) * kOneSecond;
  return (tt + 0.5L) / 36525.0L + (tm1 - 2451545.0L) / 36525.0L;
}

long double Polynomial(long double x, std::initializer_list<long double> c) {
  long double sum = 0;
  for (auto it = std::rbegin(c); it != std::rend(c); ++it) sum = sum * x + *it;
  return sum;
}

// The shared loop of the solar-term search: walks (tm1, tm2) to the instant
// at which the sun's longitude is target. Empty when it does not settle.
std::optional<long double> SeekSunLongitude(long double tm1, long double tm2,
                                            long double target) {
  long double d1 = 0;
  long double d2 = 1;
  int steps = 0;
  while (std::fabs(d1 + d2) > kOneSecond) {
    if (++steps > kMaxTermSteps) return std::nullopt;
    long double delta = SunLongitude(TimeArgument(tm1, tm2)) - target;
    if (delta > 180) {
      delta -= 360;
    } else if (delta < -180) {
      delta += 360;
    }
    const long double days = delta * 365.2L / 360.0L;
    d1 = Int(days);
    d2 = days - d1;
    tm1 -= d1;
    tm2 -= d2;
    if (tm2 < 0) {
      tm2 += 1;
      tm1 -= 1;
    }
  }
  if (!std::isfinite(tm1 + tm2)) return std::nullopt;
  return tm2 + tm1 + kJstOffsetDays;
}

// The new-moon search, with its restart after 15 steps; empty when it gives
// up after 31.
std::optional<long double> SeekNewMoon(long double tm) {
  long double tm1 = Int(tm);
  long double tm2 = tm - tm1 - kJstOffsetDays;
  long double d1 = 0;
  long double d2 = 1;
  for (int lc = 1; std::fabs(d1 + d2) > kOneSecond; ++lc) {
    const long double t = TimeArgument(tm1, tm2);
    const long double s = SunLongitude(t);
    const long double m = MoonLongitude(t);
    long double delta = m - s;
    if (lc == 1 && delta < 0) {
      delta = NormalizeAngle(delta);
    } else if (s >= 0 && s <= 20 && m >= 300) {
      delta = 360 - NormalizeAngle(delta);
    } else if (std::fabs(delta) > 40) {
      delta = NormalizeAngle(delta);
    }
    const long double days = delta * 29.530589L / 360.0L;
    d1 = Int(days);
    d2 = days - d1;
    tm1 -= d1;
    tm2 -= d2;
    if (tm2 < 0) {
      tm2 += 1;
      tm1 -= 1;
    }
    if (std::fabs(d1 + d2) > kOneSecond) {
      if (lc == 15) {
        tm1 = Int(tm - 26);
        tm2 = 0;
      } else if (lc > 30) {
        return std::nullopt;
      }
    }
  }
  if (!std::isfinite(tm1 + tm2)) return std::nullopt;
  return tm2 + tm1 + kJstOffsetDays;
}

// ---------------------------------------------------------------------------
// The month table of one lunisolar year: from the month that holds a winter
// solstice up to (not including) the month that holds the next one. That
// month is always the 11th. A year of 13 months has one leap month, the
// first after the 11th that holds no principal term (a multiple of 30
// degrees of the sun); in a year of 12 months a month without a principal
// term is an ordinary month. This is the rule the calendar publishers
// settled on for 2033, where reading each quarter on its own would give two
// leap months and no 11th month.

struct LunarYear {
  long double first_day = 0;  // first day of the 11th month
  long double end_day = 0;    // first day of the next year's 11th month
  int count = 0;              // 12 or 13
  std::array<long double, 13> start{};
  std::array<int, 13> number{};
  std::array<bool, 13> leap{};
};

constexpr long double kTropicalYear = 365.2422L;

// The local day of an instant.
long double Day(long double tm) { return std::floor(tm); }

// The new moon that begins the month holding local day `day`.
std::optional<long double> NewMoonOfMonth(long double day) {
  const auto moon = SeekNewMoon(day + 1);
  if (!moon || Day(*moon) > day) return std::nullopt;
  return moon;
}

std::optional<long double> NextNewMoon(long double moon) {
  auto next = SeekNewMoon(moon + 30);
  if (next && std::fabs(Day(moon) - Day(*next)) <= 26) {
    next = SeekNewMoon(moon + 35);
  }
  if (!next || Day(*next) - Day(moon) < 29 || Day(*next) - Day(moon) > 30) {
    return std::nullopt;
  }
  return next;
}

std::optional<long double> SolsticeNear(long double tm) {
  const long double tm1 = Day(tm);
  return SeekSunLongitude(tm1, tm - tm1 - kJstOffsetDays, 270);
}

// Builds the year whose months run from the month of the solstice ws to the
// month of the next solstice.
std::optional<LunarYear> BuildYear(long double ws, long double next_ws) {
  LunarYear year;
  auto moon = NewMoonOfMonth(Day(ws));
  const auto end = NewMoonOfMonth(Day(next_ws));
  if (!moon || !end) return std::nullopt;
  year.first_day = Day(*moon);
  year.end_day = Day(*end);

  while (Day(*moon) < year.end_day) {
    if (year.count == 13) return std::nullopt;
    year.start[year.count++] = Day(*moon);
    moon = NextNewMoon(*moon);
    if (!moon) return std::nullopt;
  }
  if (Day(*moon) != year.end_day || year.count < 12) return std::nullopt;

  int leap_index = -1;
  if (year.count == 13) {
    // The eleven principal terms between the two solstices.
    std::array<long double, 11> term_day{};
    long double guess = ws;
    for (int k = 0; k < 11; ++k) {
      guess += 30.4L;
      const long double tm1 = Day(guess);
      const auto at = SeekSunLongitude(tm1, guess - tm1 - kJstOffsetDays,
                                       NormalizeAngle(300 + 30 * k));
      if (!at) return std::nullopt;
      guess = *at;
      term_day[k] = Day(*at);
    }
    for (int j = 1; j < 13 && leap_index < 0; ++j) {
      const long double from = year.start[j];
      const long double to = j + 1 < 13 ? year.start[j + 1] : year.end_day;
      bool has_term = false;
      for (long double d : term_day)
        has_term = has_term || (d >= from && d < to);
      if (!has_term) leap_index = j;
    }
    if (leap_index < 0) return std::nullopt;
  }

  int number = 11;
  for (int j = 0; j < year.count; ++j) {
    if (j > 0 && j != leap_index) number = number % 12 + 1;
    year.number[j] = number;
    year.leap[j] = (j == leap_index);
  }
  return year;
}

std::optional<LunarYear> YearOfDay(long double day) {
  // The solstice at or before the day, from the sun's longitude now.
  const long double lambda = SunLongitude(TimeArgument(day, -kJstOffsetDays));
  long double guess = day - NormalizeAngle(lambda - 270) * kTropicalYear / 360;
  auto ws = SolsticeNear(guess);
  if (!ws) return std::nullopt;
  if (Day(*ws) > day) {
    ws = SolsticeNear(*ws - kTropicalYear);
    if (!ws) return std::nullopt;
  }
  auto next_ws = SolsticeNear(*ws + kTropicalYear);
  if (!next_ws) return std::nullopt;
  auto year = BuildYear(*ws, *next_ws);
  // Between a December new moon and the solstice after it the day already
  // belongs to the next year.
  if (year && day >= year->end_day) {
    const auto after = SolsticeNear(*next_ws + kTropicalYear);
    if (!after) return std::nullopt;
    year = BuildYear(*next_ws, *after);
  }
  if (!year || day < year->first_day || day >= year->end_day) {
    return std::nullopt;
  }
  return year;
}

}  // namespace

int32_t LocalDayCount(int year, int month, int day) {
  return DayNumber(year, month, day) - 1;
}

long double NormalizeAngle(long double degrees) {
  if (degrees >= 0) return degrees - 360 * Int(degrees / 360);
  long double y = -degrees;
  y -= 360 * Int(y / 360);
  return 360 - y;
}

long double DeltaTSeconds(long double y) {
  if (!std::isfinite(y)) return 0;
  if (y < -500 || y >= 2150) {
    const long double u = (y - 1820) / 100;
    return -20 + 32 * u * u;
  }
  if (y < 500) {
    return Polynomial(y / 100, {10583.6L, -1014.41L, 33.78311L, -5.952053L,
                                -0.1798452L, 0.022174192L, 0.0090316521L});
  }
  if (y < 1600) {
    return Polynomial((y - 1000) / 100,
                      {1574.2L, -556.01L, 71.23472L, 0.319781L, -0.8503463L,
                       -0.005050998L, 0.0083572073L});
  }
  if (y < 1700) {
    return Polynomial(y - 1600, {120, -0.9808L, -0.01532L, 1.0L / 7129});
  }
  if (y < 1800) {
    return Polynomial(
        y - 1700, {8.83L, 0.1603L, -0.0059285L, 0.00013336L, -1.0L / 1174000});
  }
  if (y < 1860) {
    return Polynomial(y - 1800,
                      {13.72L, -0.332447L, 0.0068612L, 0.0041116L, -0.00037436L,
                       0.0000121272L, -0.0000001699L, 0.000000000875L});
  }
  if (y < 1900) {
    return Polynomial(y - 1860, {7.62L, 0.5737L, -0.251754L, 0.01680668L,
                                 -0.0004473624L, 1.0L / 233174});
  }
  if (y < 1920) {
    return Polynomial(y - 1900,
                      {-2.79L, 1.494119L, -0.0598939L, 0.0061966L, -0.000197L});
  }
  if (y < 1941) {
    return Polynomial(y - 1920, {21.20L, 0.84493L, -0.076100L, 0.0020936L});
  }
  if (y < 1961) {
    return Polynomial(y - 1950, {29.07L, 0.407L, -1.0L / 233, 1.0L / 2547});
  }
  if (y < 1986) {
    return Polynomial(y - 1975, {45.45L, 1.067L, -1.0L / 260, -1.0L / 718});
  }
  if (y < 2005) {
    return Polynomial(y - 2000, {63.86L, 0.3345L, -0.060374L, 0.0017275L,
                                 0.000651814L, 0.00002373599L});
  }
  if (y < 2050) return Polynomial(y - 2000, {62.92L, 0.32217L, 0.005589L});
  const long double u = (y - 1820) / 100;
  return -20 + 32 * u * u - 0.5628L * (2150 - y);
}

long double SunLongitude(long double t) {
  long double th = 0;
  for (const Term& term : kSunTerms) {
    th += term.a * CosDeg(NormalizeAngle(term.b * t + term.c));
  }
  const long double g = NormalizeAngle(35999.05L * t + 267.52L);
  th -= 0.0048L * t * CosDeg(g);
  th += 1.9147L * CosDeg(g);
  const long double m =
      NormalizeAngle(NormalizeAngle(36000.7695L * t) + 280.4659L);
  return NormalizeAngle(th + m);
}

long double MoonLongitude(long double t) {
  long double th = 0;
  for (const Term& term : kMoonTerms) {
    th += term.a * CosDeg(NormalizeAngle(term.b * t + term.c));
  }
  const long double m =
      NormalizeAngle(NormalizeAngle(481267.8809L * t) + 218.3162L);
  return NormalizeAngle(th + m);
}

SolarTerm SolarTermBefore(long double tm, int step) {
  const long double tm1 = Int(tm);
  const long double tm2 = tm - tm1 - kJstOffsetDays;
  const long double lambda = SunLongitude(TimeArgument(tm1, tm2));
  SolarTerm term;
  term.longitude = step * Int(lambda / step);
  const auto at = SeekSunLongitude(tm1, tm2, term.longitude);
  term.converged = at.has_value();
  term.instant = at.value_or(tm);
  return term;
}

long double NewMoonBefore(long double tm) {
  // Giving up leaves the start instant, moved by the nine hours.
  return SeekNewMoon(tm).value_or(tm + kJstOffsetDays);
}

LunarDate LunarDateOf(long double tm) {
  if (!std::isfinite(tm)) return {};
  const long double day = std::floor(tm);
  // Days in order hit the same year again and again.
  thread_local std::optional<LunarYear> cached;
  if (!cached || day < cached->first_day || day >= cached->end_day) {
    cached = YearOfDay(day);
    if (!cached) return {};
  }
  const LunarYear& year = *cached;
  int j = year.count - 1;
  while (j > 0 && year.start[j] > day) --j;
  LunarDate date;
  date.month = year.number[j];
  date.leap = year.leap[j];
  date.day = static_cast<int>(day - year.start[j]) + 1;
  return date;
}

std::string_view RokuyoOf(const LunarDate& date) {
  if (!date.valid() || date.day > 30) return kUnknownRokuyo;
  const int x = date.month + date.day - 2;
  return kRokuyo[x % 6];
}

std::string_view RokuyoOf(long double tm) { return RokuyoOf(LunarDateOf(tm)); }

}  // namespace mirokata
