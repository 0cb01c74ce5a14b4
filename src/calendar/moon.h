// The moon's position, phase and age, and the texts of the moon panel.
//
// Instants are date-time values in Universal Time: days since
// 30 December 1899, 0:00 (the fraction is the time of day).
#ifndef MIROKATA_CALENDAR_MOON_H_
#define MIROKATA_CALENDAR_MOON_H_

#include <cstdint>
#include <string>

namespace mirokata {

// Mean length of a lunation in days.
inline constexpr long double kSynodicMonth = 29.530589L;

// The date-time value of 0:00 of the day with this day number
// (DayNumber(1899, 12, 30) is 0).
long double DateTimeOfDayNumber(int32_t day_number);

// Julian Date of t; 0 for instants before 15 October 1582.
long double JulianDateOf(long double t);

struct SunPlace {
  long double longitude = 0;    // apparent, degrees 0..360
  long double distance_km = 0;  // R
};

struct MoonPlace {
  long double longitude = 0;    // degrees 0..360
  long double latitude = 0;     // degrees
  long double distance_km = 0;  // Delta
};

SunPlace SunPosition(long double t);
MoonPlace MoonPosition(long double t);

// Phase angle in degrees, -180..180, negative while the moon wanes
// (0 at full moon, +-180 at new moon).
long double PhaseAngle(long double t);

// (1 + cos i) / 2: 0 at new moon, 1 at full moon.
long double IlluminatedFraction(long double t);

// Days since the last new moon before t (0 up to the length of the current
// lunation, which can be a little more than 29.53 days).
long double MoonAge(long double t);

// The moon panel's value labels for instant t.
struct MoonPanelTexts {
  std::string julian_date;  // "2451545.00000", right-aligned in 12
  std::string phase;        // "50% (0%=New,100%=Full)"
  std::string age;          // "7 days, 9 hours, 36 minutes."
};
MoonPanelTexts MoonPanelTextsOf(long double t);

// The single labels, for callers that already hold the values.
std::string JulianDateText(long double julian_date);
std::string PhaseText(long double illuminated_fraction);
std::string AgeText(long double age_days);

}  // namespace mirokata

#endif  // MIROKATA_CALENDAR_MOON_H_
