#include "tools/day_calculator.h"

#include <algorithm>
#include <cstdlib>

namespace mirokata {
namespace {

constexpr std::int64_t kDay = 86400;
constexpr char kRule[] = "==================================";
constexpr const char* kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

std::string Formatted(const DateTimeFields& t, const char* tail = "") {
  return FormatDatePattern("yyyy/mm/dd (aaa) hh:nn:ss", t) + tail;
}

// Parts whose value is 0 are left out: "2時間 " for exactly two hours.
std::string Parts(
    std::initializer_list<std::pair<std::int64_t, const char*>> parts) {
  std::string text;
  for (const auto& [value, unit] : parts) {
    if (value != 0) text += GroupedNumber(value) + unit;
  }
  return text;
}

}  // namespace

std::int64_t SecondsOf(const DateTimeFields& t) {
  return std::int64_t{DayNumber(t.year, t.month, t.day)} * kDay +
         std::int64_t{t.hour} * 3600 + std::int64_t{t.minute} * 60 + t.second;
}

std::optional<DateTimeFields> DateTimeAt(std::int64_t seconds) {
  const std::int64_t day = FloorDiv(seconds, kDay);
  // Well outside the day numbers of the years 1-9999 (1,721,424 to
  // 5,373,484): no need to convert.
  if (day < 1'000'000 || day > 6'000'000) return std::nullopt;
  const CivilDate date = CivilDateOf(static_cast<std::int32_t>(day));
  if (date.year < 1 || date.year > 9999) return std::nullopt;
  const std::int64_t rest = seconds - day * kDay;
  DateTimeFields t;
  t.year = date.year;
  t.month = date.month;
  t.day = date.day;
  t.weekday = WeekdayOf(static_cast<std::int32_t>(day));
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest % 3600 / 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

std::string GroupedNumber(std::int64_t n) {
  const std::uint64_t magnitude =
      n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
  const std::string digits = std::to_string(magnitude);
  std::string text = n < 0 ? "-" : "";
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

CalculationResult PeriodBetween(const DateTimeFields& a,
                                const DateTimeFields& b) {
  std::int64_t t1 = SecondsOf(a), t2 = SecondsOf(b);
  if (t2 < t1) std::swap(t1, t2);
  CalculationResult result;
  const std::optional<DateTimeFields> from = DateTimeAt(t1),
                                      to = DateTimeAt(t2);
  if (!from || !to) {
    result.ok = false;
    return result;
  }
  const std::int64_t n = t2 - t1;
  result.lines.push_back(Formatted(*from, " から"));
  result.lines.push_back(Formatted(*to, " 迄の時間"));
  result.lines.push_back(kRule);
  const std::int64_t seconds = n % 60, minutes = n / 60 % 60,
                     hours = n / 3600 % 24;
  if (n >= kDay) {
    result.lines.push_back(Parts({{n / kDay, "日 "},
                                  {hours, "時間 "},
                                  {minutes, "分 "},
                                  {seconds, "秒"}}));
  }
  if (n >= 3600) {
    result.lines.push_back(
        Parts({{n / 3600, "時間 "}, {minutes, "分 "}, {seconds, "秒"}}));
  }
  if (n >= 60)
    result.lines.push_back(Parts({{n / 60, "分 "}, {seconds, "秒"}}));
  result.lines.push_back(GroupedNumber(n) + "秒");
  return result;
}

CalculationResult SpanFrom(const DateTimeFields& start, const Span& span,
                           bool after) {
  CalculationResult result;
  const std::int64_t s = SecondsOf(start);
  const std::int64_t g =
      span.days * kDay + span.hours * 3600 + span.minutes * 60 + span.seconds;
  const std::optional<DateTimeFields> from = DateTimeAt(s);
  if (!from) {
    result.ok = false;
    return result;
  }
  result.lines.push_back(Formatted(*from, " から"));
  result.lines.push_back(
      GroupedNumber(span.days) + "日 " + GroupedNumber(span.hours) + "時間 " +
      GroupedNumber(span.minutes) + "分 " + GroupedNumber(span.seconds) + "秒" +
      (after ? "後の日時" : "前の日時"));
  result.lines.push_back(kRule);
  const std::optional<DateTimeFields> to = DateTimeAt(after ? s + g : s - g);
  if (!to) {
    result.ok = false;
    return result;
  }
  result.lines.push_back(Formatted(*to));
  return result;
}

std::string WeekdayCaption(const CivilDate& date) {
  return std::string("(") + kWeekdays[WeekdayOf(DayNumber(date)) - 1] + ")";
}

std::string DistanceCaption(const CivilDate& date, const CivilDate& today) {
  const std::int32_t n = DayNumber(date) - DayNumber(today);
  if (n == 0) return "本日";
  return std::to_string(std::abs(n)) + (n < 0 ? "日前" : "日後");
}

}  // namespace mirokata
