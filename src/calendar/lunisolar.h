// The lunisolar (old Japanese) calendar and its rokuyo day names, from
// compact series for the sun's and the moon's longitude.
//
// Instants are local day counts: LocalDayCount of the civil date plus the
// fraction of the Japan Standard Time day. The series are in dynamical time;
// the conversion from a local day count adds the clock correction delta T.
#ifndef MIROKATA_CALENDAR_LUNISOLAR_H_
#define MIROKATA_CALENDAR_LUNISOLAR_H_

#include <cstdint>
#include <string_view>

namespace mirokata {

struct LunarDate {
  int month = 0;      // 1-12; 0 when the date could not be computed
  bool leap = false;  // a leap month carries the number of the month before
  int day = 0;        // 1-30
  bool valid() const { return month >= 1 && month <= 12 && day >= 1; }
  bool operator==(const LunarDate&) const = default;
};

// A solar term: the instant (local day count) and the sun's longitude then.
struct SolarTerm {
  long double instant = 0;
  long double longitude = 0;
  bool converged = true;  // false when the search gave up
};

// Nine hours of Japan Standard Time, in days.
inline constexpr long double kJstOffsetDays = 0.375L;

// The integer local day count of a civil date: DayNumber - 1, so
// 1 January 2000 is 2451544. Callers pass existing dates.
int32_t LocalDayCount(int year, int month, int day);

// Degrees into 0..360; a negative multiple of 360 gives 360, not 0.
long double NormalizeAngle(long double degrees);

// The clock correction TT - UT in seconds for a decimal year
// (Espenak-Meeus polynomials).
long double DeltaTSeconds(long double decimal_year);

// Ecliptic longitude of the sun and of the moon, degrees, at time argument
// t: Julian centuries of dynamical time from 2000 January 1, 12:00.
long double SunLongitude(long double t);
long double MoonLongitude(long double t);

// The last instant at or before tm when the sun's longitude was a multiple
// of step (90 or 30 degrees), with that multiple.
SolarTerm SolarTermBefore(long double tm, int step);

// The instant of the last new moon before tm.
long double NewMoonBefore(long double tm);

// The lunisolar date of the local day Int(tm). An invalid LunarDate when the
// series do not settle (far outside the supported centuries).
LunarDate LunarDateOf(long double tm);

// "先勝", "友引", "先負", "仏滅", "大安", "赤口", or "？？" when the date
// cannot be computed. The result points to static text.
std::string_view RokuyoOf(long double tm);
std::string_view RokuyoOf(const LunarDate& date);

}  // namespace mirokata

#endif  // MIROKATA_CALENDAR_LUNISOLAR_H_
