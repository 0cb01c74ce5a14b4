// Short weekday names, [0] Sunday ... [6] Saturday: the "ddd" of the date
// patterns (the desktop's locale) and the "aaa" (日 ... 土).
#ifndef MIROKATA_BASE_WEEKDAY_NAMES_H_
#define MIROKATA_BASE_WEEKDAY_NAMES_H_

#include <array>
#include <string>

namespace mirokata {

using WeekdayNames = std::array<std::string, 7>;

// 日 ... 土, whatever the locale.
const WeekdayNames& JapaneseShortWeekdayNames();
// "Sun" ... "Sat": a desktop without a locale.
const WeekdayNames& CShortWeekdayNames();
// As the desktop's locale writes them (木 on a Japanese desktop, "Thu" on an
// English one).
WeekdayNames LocaleShortWeekdayNames();
// The same for a named locale ("ja_JP", "en_US", "C").
WeekdayNames LocaleShortWeekdayNames(const std::string& locale_name);

}  // namespace mirokata

#endif  // MIROKATA_BASE_WEEKDAY_NAMES_H_
