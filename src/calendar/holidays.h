// Public holidays: the user's list in the settings file, the moved-to-Monday
// rules, the equinox days and substitute days, or (setting CalendarEx /
// HolidayLaw, on by default) the holidays by the law in force on each date
// plus the user's own additions.
//
// Everything is read from the settings file at every call, so a change made
// anywhere shows at the next use.
#ifndef MIROKATA_CALENDAR_HOLIDAYS_H_
#define MIROKATA_CALENDAR_HOLIDAYS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "calendar/gregorian.h"

namespace mirokata {

class SettingsFile;

// Settings names.
inline constexpr char kHolidaySection[] = "Horiday";  // sic: the file's name
inline constexpr char kHolidaySetKey[] = "Set";
inline constexpr char kCalendarExSection[] = "CalendarEx";
inline constexpr char kHappyMondayKey[] = "Happy_Monday";
inline constexpr char kHolidayLawKey[] = "HolidayLaw";

struct DefaultHoliday {
  const char* key;   // "mm/dd"
  const char* name;  // display name with its brackets
};
// The eleven entries written at the first start, in file order.
extern const DefaultHoliday kDefaultHolidays[11];

// At start-up, before a month is first shown: when Horiday/Set reads 0,
// writes Set = 1 and the default list. Returns false when a write failed.
// Until the list has been written, the holiday functions below read the
// default list as if it had been.
bool EnsureDefaultHolidays(SettingsFile& settings);

// True when CalendarEx/HolidayLaw is on (the default).
bool HolidayLawInEffect(SettingsFile& settings);

// The display names of the date, in order (possibly empty). A date that does
// not exist has none.
std::vector<std::string> HolidayNamesOf(SettingsFile& settings, int year,
                                        int month, int day);
std::vector<std::string> HolidayNamesOf(SettingsFile& settings,
                                        const CivilDate& date);

// The one holiday test of every working-day rule: HolidayNamesOf is not
// empty.
bool IsPublicHoliday(SettingsFile& settings, int year, int month, int day);
bool IsPublicHoliday(SettingsFile& settings, const CivilDate& date);

// The month grid's holiday items ("m,d", no leading zeros) for the shown
// month, in day order.
std::vector<std::string> HolidaysOfMonth(SettingsFile& settings, int year,
                                         int month);

// Day classification flags of the month grid.
enum DayFlag : uint16_t {
  kDaySunday = 1,
  kDaySaturday = 2,
  kDayListed = 4,
  kDaySpecial = 8,
  kDaySubstitute = 16,
  kDayEquinox = 32,
};
using DayFlags = uint16_t;

// The grid's own lists. Items are "month,day[,anything]".
struct GridDayLists {
  std::vector<std::string> type_of_day;  // fill from HolidaysOfMonth
  std::vector<std::string> special_day;  // days with entries or birthdays
  bool auto_equinox = true;
};

// The flags of one day of the shown month. With the holiday law in effect
// the grid derives no substitute, equinox or 4 May marks of its own: Listed
// then comes only from type_of_day, which HolidaysOfMonth fills with every
// holiday. Throws EJuliusError for 5-14 October 1582.
DayFlags ClassifyDay(SettingsFile& settings, const GridDayLists& lists,
                     int year, int month, int day);

}  // namespace mirokata

#endif  // MIROKATA_CALENDAR_HOLIDAYS_H_
