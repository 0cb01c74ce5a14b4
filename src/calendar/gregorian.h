// Calendar arithmetic: day numbers across the 1582 switch, leap years,
// month lengths, weekdays and the two equinox computations.
#ifndef MIROKATA_CALENDAR_GREGORIAN_H_
#define MIROKATA_CALENDAR_GREGORIAN_H_

#include <cstdint>
#include <stdexcept>

namespace mirokata {

// Raised by DayNumber for the ten dates dropped in October 1582.
class EJuliusError : public std::runtime_error {
 public:
  EJuliusError();
};

// "1582/10/5-10/14は存在しません。"
extern const char kJuliusErrorMessage[];

// Weekday codes, as used everywhere in the program.
enum Weekday : int {
  kSunday = 1,
  kMonday = 2,
  kTuesday = 3,
  kWednesday = 4,
  kThursday = 5,
  kFriday = 6,
  kSaturday = 7,
};

struct CivilDate {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;    // 1-31
  bool operator==(const CivilDate&) const = default;
};

// Chronological Julian Day Number (1 January 2000 is 2451545). Julian
// calendar up to 4 October 1582, Gregorian (with the 4000-year rule) from
// 15 October 1582. Throws EJuliusError for 5-14 October 1582. Month and day
// are not validated.
int32_t DayNumber(int year, int month, int day);
int32_t DayNumber(const CivilDate& date);

// The civil date of a day number; the inverse of DayNumber.
CivilDate CivilDateOf(int32_t day_number);

// 1 = Sunday ... 7 = Saturday.
int WeekdayOf(int32_t day_number);

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// True for an existing date: month 1-12, day within the month, and not in
// the October 1582 gap.
bool IsValidDate(int year, int month, int day);

// Year, month and day made a real date: the day is lowered until it is one
// (31 April is 30 April; a day in the ten days dropped in October 1582
// becomes 4 October). Year and month are taken as they are (1-9999, 1-12).
CivilDate ValidDate(int year, int month, int day);

// The grid's equinox marking: day numbers of the local (JST) equinox days.
int32_t VernalEquinoxNumber(int year);
int32_t AutumnalEquinoxNumber(int year);

// The sun's longitude in degrees (0 <= x < 360) at 0:00 JST of the date.
// Exact for 1 March 1900 to 28 February 2100.
long double SunLongitudeAtMidnight(int year, int month, int day);

// The day of the month on which the equinox falls in Japan Standard Time,
// by the midnight longitude test: 19 to 22 (March) and 22 to 24
// (September).
int VernalEquinoxDay(int year);
int AutumnalEquinoxDay(int year);

}  // namespace mirokata

#endif  // MIROKATA_CALENDAR_GREGORIAN_H_
