// The day calculator's arithmetic: the time between two date-times, or a
// date-time and a span, on the calendar of the month grid (Julian up to
// 4 October 1582, Gregorian after), in whole seconds.
#ifndef MIROKATA_TOOLS_DAY_CALCULATOR_H_
#define MIROKATA_TOOLS_DAY_CALCULATOR_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/date_pattern.h"
#include "calendar/gregorian.h"

namespace mirokata {

// Seconds from the start of the day numbering to the date-time (its
// weekday is ignored); the date must be valid.
std::int64_t SecondsOf(const DateTimeFields& time);
// The date-time of a count of seconds; empty outside the years 1-9999.
std::optional<DateTimeFields> DateTimeAt(std::int64_t seconds);

// "###,###,##0": 1501 is "1,501".
std::string GroupedNumber(std::int64_t n);

// The lines of the result box. `ok` is false when the result is not a date
// of the years 1-9999; the lines so far stay.
struct CalculationResult {
  std::vector<std::string> lines;
  bool ok = true;
};

// The time between two date-times, either way round.
CalculationResult PeriodBetween(const DateTimeFields& a,
                                const DateTimeFields& b);

struct Span {
  std::int64_t days = 0;   // 0-9,999,999
  std::int64_t hours = 0;  // 0-99,999 each
  std::int64_t minutes = 0;
  std::int64_t seconds = 0;
};

// The date-time `span` after (or before) `start`.
CalculationResult SpanFrom(const DateTimeFields& start, const Span& span,
                           bool after);

// The date jump's texts: "(日)".."(土)" and "N日前", "N日後" or "本日".
std::string WeekdayCaption(const CivilDate& date);
std::string DistanceCaption(const CivilDate& date, const CivilDate& today);

}  // namespace mirokata

#endif  // MIROKATA_TOOLS_DAY_CALCULATOR_H_
