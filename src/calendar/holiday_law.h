// Japanese public holidays as the Public Holidays Act and its amendments
// have them, date by date: the holidays of each year of validity, the
// one-off ceremony days, substitute holidays and citizens' holidays.
// Pure functions; nothing here reads the settings file.
#ifndef MIROKATA_CALENDAR_HOLIDAY_LAW_H_
#define MIROKATA_CALENDAR_HOLIDAY_LAW_H_

#include <string>
#include <vector>

namespace mirokata {

// The law's holiday name of the date, with its brackets ("【元日】"), or an
// empty string. No date has more than one. Dates that do not exist have
// none.
std::string LawHolidayNameOf(int year, int month, int day);

// The holiday proper (a national holiday or a one-off ceremony day), without
// substitute and citizens' holidays; nullptr when there is none.
const char* NationalHolidayNameOf(int year, int month, int day);

}  // namespace mirokata

#endif  // MIROKATA_CALENDAR_HOLIDAY_LAW_H_
