// The fixed date patterns of file names and texts: yyyy, yy, mm, dd, hh,
// nn (minutes), ss; m, d, h, n, s (the same without a leading zero); ddd
// and dddd (the locale's short and long weekday names), aaa and aaaa (日 ...
// 土, 日曜日 ... 土曜日); literal text in double quotes. Any other character
// stands for itself.
#ifndef MIROKATA_BASE_DATE_PATTERN_H_
#define MIROKATA_BASE_DATE_PATTERN_H_

#include <string>
#include <string_view>

#include "base/weekday_names.h"
#include "platform/clock.h"

namespace mirokata {

struct DateTimeFields {
  int year = 2000;
  int month = 1;
  int day = 1;
  int weekday = 1;  // 1 = Sunday ... 7 = Saturday
  int hour = 0;
  int minute = 0;
  int second = 0;
};

DateTimeFields FieldsOf(const LocalTime& time);

// A two-digit year read back as a full year: the year in
// current_year - 69 ... current_year + 30 that ends in yy.
int CenturyRule(int yy, int current_year);

std::string FormatDatePattern(
    std::string_view pattern, const DateTimeFields& fields,
    const WeekdayNames& ddd_names = CShortWeekdayNames(),
    const WeekdayNames& dddd_names = CLongWeekdayNames());
inline std::string FormatDatePattern(
    std::string_view pattern, const LocalTime& time,
    const WeekdayNames& ddd_names = CShortWeekdayNames(),
    const WeekdayNames& dddd_names = CLongWeekdayNames()) {
  return FormatDatePattern(pattern, FieldsOf(time), ddd_names, dddd_names);
}

}  // namespace mirokata

#endif  // MIROKATA_BASE_DATE_PATTERN_H_
