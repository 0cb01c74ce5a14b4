// The lines that describe one day: the rokuyo, the holiday names, every
// birthday and schedule entry that applies. The day panel's DayInfo and the
// schedule list's day blocks are both built from them.
#ifndef MIROKATA_SCHEDULE_DAY_INFO_H_
#define MIROKATA_SCHEDULE_DAY_INFO_H_

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/weekday_names.h"
#include "calendar/gregorian.h"
#include "schedule/entry_match.h"

namespace mirokata {

class EntryFolder;
class SettingsFile;

// IsPublicHoliday over the settings file, remembered for the length of one
// operation (the settings cannot change in between).
HolidayTest CachedHolidayTest(SettingsFile& settings);

// The birthday header "【A歳の誕生日】yyyy/mm/dd (ddd)" of a birthday name
// shown on a date; empty when the name's year positions are no number.
std::string BirthdayHeader(
    std::string_view name, const CivilDate& shown,
    const WeekdayNames& weekdays = JapaneseShortWeekdayNames());

// Entry texts as the lines show them (none: the file could not be read),
// kept for the length of one operation over a pinned folder: a list of many
// days reads each weekly or yearly entry once, not on every day it applies.
using EntryTextMemo =
    std::unordered_map<std::string, std::optional<std::string>>;

// Where the fifth week's weekly names "_???____" go against "~???____":
// the matcher gives the "~" group first, which the schedule list keeps and
// the day panel turns round.
enum class FifthWeekOrder { kTildeFirst, kUnderscoreFirst };

// The lines of a date, in order: the rokuyo in 【】 when `qreki`, the
// holiday names, then each birthday (header, then text) and schedule entry
// text in matching order (as ReadEntryTextForDisplay gives it: a huge file
// only in part). Each item may hold line breaks of its own.
// holiday_names: HolidayNamesOf(date). folder may be null. `is_holiday`
// answers for the other days the working-day walks visit (default: a
// CachedHolidayTest of its own). `texts`, when given, holds the texts read
// so far and takes the new ones.
std::vector<std::string> BuildDayInfo(
    SettingsFile& settings, EntryFolder* folder, const CivilDate& date,
    bool qreki, const std::vector<std::string>& holiday_names,
    FifthWeekOrder order,
    const WeekdayNames& weekdays = JapaneseShortWeekdayNames(),
    HolidayTest is_holiday = nullptr, EntryTextMemo* texts = nullptr);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_DAY_INFO_H_
