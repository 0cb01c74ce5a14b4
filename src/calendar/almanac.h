// The day-of-year almanac: a birth flower and a flower word for every day,
// and the two representative flowers of each month.
#ifndef MIROKATA_CALENDAR_ALMANAC_H_
#define MIROKATA_CALENDAR_ALMANAC_H_

#include <optional>
#include <string_view>

namespace mirokata {

// The day key of a month and day: 101 for 1 January ... 1231 for
// 31 December, 229 for 29 February. The year plays no part.
constexpr int DayKeyOf(int month, int day) { return month * 100 + day; }

// Empty for a key that is none of the 366 days, so that the caller keeps
// whatever text it showed. The results point to static text.
std::optional<std::string_view> BirthFlowerOf(int day_key);
std::optional<std::string_view> FlowerWordOf(int day_key);

// "１月の誕生花 シンビジューム／スイセン" ...; empty outside 1-12.
std::optional<std::string_view> MonthFlowersOf(int month);

}  // namespace mirokata

#endif  // MIROKATA_CALENDAR_ALMANAC_H_
