// Entry names: every schedule, popup, elapsed-time popup and birthday is one
// file in the data folder whose 8.2/8.3/8.4 name says when it applies.
//
// Stem positions 1-8, a dot, an extension of 2 to 4 characters:
//   ____mmdd.yy    one-day schedule     hhnnmmdd.yy   one-day popup
//   CCCCmmdd.__    yearly schedule      hhnnmmdd.cc   yearly popup
//   CCCC__dd.__    monthly schedule     hhnn__dd.cc   monthly popup
//   FFFFF___.DOW   weekly schedule      hhnn____.DOW  weekly popup, every week
//   BORNmmdd.yyyy  birthday             hhnn__MM.DOW  weekly popup, mask MM
//   Wsssssss.__    elapsed-time popup   hhnn____.__   daily popup
// CCCC / cc are the schedule / popup shift codes, FFFFF the week flags.
// Parsing ignores letter case (files copied from elsewhere keep theirs);
// building always writes the canonical capitals.
#ifndef MIROKATA_SCHEDULE_ENTRY_NAME_H_
#define MIROKATA_SCHEDULE_ENTRY_NAME_H_

#include <optional>
#include <string>
#include <string_view>

#include "base/date_pattern.h"
#include "calendar/gregorian.h"

namespace mirokata {

enum class EntryKind {
  kOneDaySchedule,
  kYearlySchedule,
  kMonthlySchedule,
  kWeeklySchedule,
  kOneDayPopup,
  kYearlyPopup,
  kMonthlyPopup,
  kWeeklyPopup,  // every week (weeks == kEveryWeek) or masked weeks
  kDailyPopup,
  kElapsedPopup,
  kBirthday,
};

// How a yearly or monthly entry moves off a non-working day.
enum class ShiftCode {
  kNone,
  kPreviousSundayHoliday,  // "~___" / "-_"
  kPreviousSaturday,       // "~_~~" / "-~"
  kNextSundayHoliday,      // "_~__" / "~_"
  kNextSaturday,           // "_~~~" / "~~"
};

inline constexpr ShiftCode kAllShiftCodes[] = {
    ShiftCode::kNone, ShiftCode::kPreviousSundayHoliday,
    ShiftCode::kPreviousSaturday, ShiftCode::kNextSundayHoliday,
    ShiftCode::kNextSaturday};

// The four-character schedule form, the two-character popup form and the
// text the editors append to a description ("" for kNone).
std::string_view ScheduleShiftText(ShiftCode code);
std::string_view PopupShiftText(ShiftCode code);
std::string_view ShiftDescription(ShiftCode code);
bool ShiftMovesToNext(ShiftCode code);
bool ShiftMovesToPrevious(ShiftCode code);
// True when Saturdays are non-working days for the code.
bool ShiftSkipsSaturday(ShiftCode code);

// Week bits shared by WeekFlags (weekly schedules) and WeekMask (weekly
// popups): 1, 2, 4, 8, 16 for weeks 1 to 5 of the month, 32 for the last
// week. kEveryWeek is the "every week" form of both kinds.
inline constexpr int kWeek1 = 1;
inline constexpr int kWeek5 = 16;
inline constexpr int kLastWeek = 32;
inline constexpr int kEveryWeek = 31;

// The fields of one entry name. Which members count depends on kind:
//   hhnn     all popups but elapsed (hour * 100 + minute)
//   month    one-day, yearly, birthday
//   day      one-day, yearly, monthly, birthday
//   year     one-day: the two-digit year 0-99; birthday: the birth year
//   shift    yearly and monthly
//   weeks    weekly (see the week bits above; a popup mask is kept as read)
//   weekday  weekly, 1 = Sunday ... 7 = Saturday
//   seconds  elapsed-time popup, 0 to 9999999
struct EntryFields {
  EntryKind kind = EntryKind::kOneDaySchedule;
  ShiftCode shift = ShiftCode::kNone;
  int hhnn = 0;
  int month = 0;
  int day = 0;
  int year = 0;
  int weeks = 0;
  int weekday = 0;
  int seconds = 0;

  bool operator==(const EntryFields&) const = default;
};

// The date fields of a kind filled from a date (month, day, the two-digit
// or, for a birthday, the full year, the weekday) and the time; the caller
// adds the shift code or week set.
EntryFields EntryFieldsForDate(EntryKind kind, const CivilDate& date,
                               int hhnn = 0);

// The canonical name, or "" when the fields make no valid name (a field out
// of range, a date no year has, a week set the kind cannot write).
std::string BuildEntryName(const EntryFields& fields);

// The file pattern of every birthday on month/day, whatever its year:
// "BORN0229.*".
std::string BirthdaysOfDayPattern(int month, int day);

// Reads a name of any of the forms above, ignoring letter case. nullopt for
// anything else: wrong shape, non-digit fields, an impossible time or date
// (30 February, 31 April; 29 February of a common birth year), an unknown
// shift code or weekday. Never throws.
std::optional<EntryFields> ParseEntryName(std::string_view name);

// The coarse classification the schedule manager sorts by, in this order:
// "BORN" -> birthday; "W" -> elapsed; "_"/"~" with a three-character
// extension -> weekly schedule; a schedule shift code -> schedule; any other
// name -> popup. Works on any text, including names ParseEntryName rejects.
enum class EntryClass {
  kBirthday,
  kElapsedPopup,
  kWeeklySchedule,
  kSchedule,
  kPopup,
};
EntryClass ClassifyEntryName(std::string_view name);
// Popups (elapsed ones included) have a PopupOptions section.
bool IsPopupClass(EntryClass c);

// "W" + uptime rounded down to 10 seconds, "%.7d", ".__"; "" once the
// uptime no longer fits seven digits.
std::string ElapsedNameForUptime(long long uptime_seconds);

// Weekday codes as written in names: 1 -> "SUN" ... 7 -> "SAT".
std::string_view WeekdayCode(int weekday);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_ENTRY_NAME_H_
