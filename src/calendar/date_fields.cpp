#include "calendar/date_fields.h"

#include <algorithm>
#include <charconv>

namespace mirokata {

DateTimeFields FieldsOfDate(const CivilDate& date, int hour, int minute) {
  DateTimeFields f;
  f.year = date.year;
  f.month = date.month;
  f.day = date.day;
  f.weekday = WeekdayOf(DayNumber(date));
  f.hour = hour;
  f.minute = minute;
  return f;
}

std::string SlashDateText(const CivilDate& date) {
  DateTimeFields f;
  f.year = date.year;
  f.month = date.month;
  f.day = date.day;
  return FormatDatePattern("yyyy/mm/dd", f);
}

std::optional<CivilDate> ParseSlashDate(std::string_view text) {
  int parts[3] = {};
  for (int i = 0; i < 3; ++i) {
    const size_t slash = i < 2 ? text.find('/') : text.size();
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view part = text.substr(0, slash);
    const bool digits = !part.empty() && part.size() <= 4 &&
                        std::all_of(part.begin(), part.end(), [](char c) {
                          return c >= '0' && c <= '9';
                        });
    if (!digits) return std::nullopt;
    std::from_chars(part.data(), part.data() + part.size(), parts[i]);
    text.remove_prefix(i < 2 ? slash + 1 : slash);
  }
  if (parts[0] < 1 || !IsValidDate(parts[0], parts[1], parts[2])) {
    return std::nullopt;
  }
  return CivilDate{parts[0], parts[1], parts[2]};
}

}  // namespace mirokata
