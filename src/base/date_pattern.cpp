#include "base/date_pattern.h"

#include <cstdio>
#include <cstring>

namespace mirokata {
namespace {

std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

bool StartsWith(std::string_view text, size_t at, std::string_view token) {
  return text.substr(at, token.size()) == token;
}

}  // namespace

int CenturyRule(int yy, int current_year) {
  const int low = current_year - 69;
  const int offset = ((yy - low) % 100 + 100) % 100;
  return low + offset;
}

DateTimeFields FieldsOf(const LocalTime& t) {
  return {t.year, t.month, t.day, t.weekday, t.hour, t.minute, t.second};
}

std::string FormatDatePattern(std::string_view pattern, const DateTimeFields& f,
                              const WeekdayNames& ddd_names,
                              const WeekdayNames& dddd_names) {
  const int weekday = f.weekday >= 1 && f.weekday <= 7 ? f.weekday : 1;
  std::string out;
  size_t i = 0;
  while (i < pattern.size()) {
    if (pattern[i] == '"') {
      const size_t end = pattern.find('"', i + 1);
      const size_t stop = end == std::string_view::npos ? pattern.size() : end;
      out.append(pattern.substr(i + 1, stop - i - 1));
      i = stop == pattern.size() ? stop : stop + 1;
    } else if (StartsWith(pattern, i, "yyyy")) {
      char year[16];
      std::snprintf(year, sizeof year, "%04d", f.year);
      out += year;
      i += 4;
    } else if (StartsWith(pattern, i, "yy")) {
      out += TwoDigits(((f.year % 100) + 100) % 100);
      i += 2;
    } else if (StartsWith(pattern, i, "dddd")) {
      out += dddd_names[weekday - 1];
      i += 4;
    } else if (StartsWith(pattern, i, "ddd")) {
      out += ddd_names[weekday - 1];
      i += 3;
    } else if (StartsWith(pattern, i, "aaaa")) {
      out += JapaneseLongWeekdayNames()[weekday - 1];
      i += 4;
    } else if (StartsWith(pattern, i, "aaa")) {
      out += JapaneseShortWeekdayNames()[weekday - 1];
      i += 3;
    } else if (StartsWith(pattern, i, "mm")) {
      out += TwoDigits(f.month);
      i += 2;
    } else if (StartsWith(pattern, i, "dd")) {
      out += TwoDigits(f.day);
      i += 2;
    } else if (StartsWith(pattern, i, "hh")) {
      out += TwoDigits(f.hour);
      i += 2;
    } else if (StartsWith(pattern, i, "nn")) {
      out += TwoDigits(f.minute);
      i += 2;
    } else if (StartsWith(pattern, i, "ss")) {
      out += TwoDigits(f.second);
      i += 2;
    } else if (const char* one = std::strchr("mdhns", pattern[i]);
               one != nullptr && pattern[i] != '\0') {
      // A single letter: the number without a leading zero.
      const int values[] = {f.month, f.day, f.hour, f.minute, f.second};
      out += std::to_string(values[one - "mdhns"]);
      ++i;
    } else {
      out += pattern[i++];
    }
  }
  return out;
}

}  // namespace mirokata
