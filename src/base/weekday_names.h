// Weekday names, [0] Sunday ... [6] Saturday: the "ddd" and "dddd" of the
// date patterns (the desktop's locale) and the "aaa" and "aaaa" (日 ... 土,
// 日曜日 ... 土曜日).
#ifndef MIROKATA_BASE_WEEKDAY_NAMES_H_
#define MIROKATA_BASE_WEEKDAY_NAMES_H_

#include <array>
#include <string>

namespace mirokata {

using WeekdayNames = std::array<std::string, 7>;

// 日 ... 土, whatever the locale.
const WeekdayNames& JapaneseShortWeekdayNames();
// 日曜日 ... 土曜日, whatever the locale.
const WeekdayNames& JapaneseLongWeekdayNames();
// "Sun" ... "Sat" and "Sunday" ... "Saturday": a desktop without a locale.
const WeekdayNames& CShortWeekdayNames();
const WeekdayNames& CLongWeekdayNames();
// As the desktop's locale writes them (木 on a Japanese desktop, "Thu" on an
// English one).
WeekdayNames LocaleShortWeekdayNames();
// The same for a named locale ("ja_JP", "en_US", "C").
WeekdayNames LocaleShortWeekdayNames(const std::string& locale_name);
// 木曜日 or "Thursday".
WeekdayNames LocaleLongWeekdayNames();
WeekdayNames LocaleLongWeekdayNames(const std::string& locale_name);

}  // namespace mirokata

#endif  // MIROKATA_BASE_WEEKDAY_NAMES_H_
