// The one matching rule: which existing entries apply on a day (schedules
// and birthdays) and which popups fire at a minute of a day, with the
// working-day moves of the shift codes.
#ifndef MIROKATA_SCHEDULE_ENTRY_MATCH_H_
#define MIROKATA_SCHEDULE_ENTRY_MATCH_H_

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/gregorian.h"
#include "schedule/entry_files.h"
#include "schedule/entry_name.h"

namespace mirokata {

// The public-holiday test the working days are built on. The program
// passes IsPublicHoliday over its settings file; tests pass a fixed set.
using HolidayTest = std::function<bool(int year, int month, int day)>;

// Dates the matcher works on; walks stop at either end.
inline constexpr CivilDate kFirstSupportedDate{1, 1, 1};
inline constexpr CivilDate kLastSupportedDate{9999, 12, 31};
// No working-day walk goes further than this many days from its start.
inline constexpr int kMaxWalkDays = 366;

class EntryMatcher {
 public:
  // folder must outlive the matcher.
  EntryMatcher(EntryFolder* folder, HolidayTest is_holiday);

  // Birthday and schedule names that apply on the date, in matching order,
  // as spelled on disk. Empty for a date that does not exist or lies
  // outside the supported range.
  std::vector<std::string> ScheduleNamesForDay(const CivilDate& date);

  // Popup names that fire at hhnn (hour * 100 + minute) on the date.
  std::vector<std::string> PopupNamesForMinute(const CivilDate& date, int hhnn);

 private:
  EntryFolder* folder_;
  HolidayTest is_holiday_;
};

// The age that goes with a birthday name on a date: year - birth year.
std::optional<int> BirthdayAge(std::string_view name, const CivilDate& date);

// The date of a one-day schedule or popup, its year read by CenturyRule;
// nullopt for other kinds and for a date that does not exist in that year.
std::optional<CivilDate> OneDayEntryDate(const EntryFields& fields,
                                         int current_year);

// Week of the month (1-5) and whether the day lies in its month's last
// week (the same weekday seven days later is in another month).
int WeekOfMonth(int day);
bool IsInLastWeek(const CivilDate& date);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_ENTRY_MATCH_H_
