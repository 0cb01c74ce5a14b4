#include "schedule/day_info.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <unordered_map>
#include <utility>

#include "calendar/holidays.h"
#include "calendar/lunisolar.h"
#include "schedule/entry_files.h"
#include "schedule/entry_name.h"
#include "schedule/entry_text.h"

namespace mirokata {
namespace {

std::string TwoDigits(int n) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

// Entry texts keep their own line breaks as "\n".
std::string NormalizeBreaks(std::string text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out.push_back('\n');
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

bool IsDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(),
                                   [](char c) { return c >= '0' && c <= '9'; });
}

// Weekly names of the fifth week come as "~???____" then "_???____" from
// the matcher; this lists the "_" group first. Only those names move,
// inside the places they already hold.
void UnderscoreWeekFirst(std::vector<std::string>& names) {
  std::vector<size_t> places;
  std::vector<std::string> group;
  for (size_t i = 0; i < names.size(); ++i) {
    if (ClassifyEntryName(names[i]) != EntryClass::kWeeklySchedule) continue;
    const std::string upper = UpperAscii(names[i].substr(0, 8));
    if (upper == "________" || upper == "~~~~~___") continue;
    if (upper.size() < 8 || upper.compare(4, 4, "____") != 0) continue;
    places.push_back(i);
    group.push_back(names[i]);
  }
  std::stable_partition(group.begin(), group.end(),
                        [](const std::string& n) { return n[0] == '_'; });
  for (size_t k = 0; k < places.size(); ++k) names[places[k]] = group[k];
}

}  // namespace

HolidayTest CachedHolidayTest(SettingsFile& settings) {
  auto cache = std::make_shared<std::unordered_map<int32_t, bool>>();
  return [&settings, cache](int year, int month, int day) {
    const int32_t key = (year * 13 + month) * 32 + day;
    auto it = cache->find(key);
    if (it != cache->end()) return it->second;
    const bool holiday = IsPublicHoliday(settings, year, month, day);
    cache->emplace(key, holiday);
    return holiday;
  };
}

std::string BirthdayHeader(std::string_view name, const CivilDate& shown,
                           const WeekdayNames& weekdays) {
  if (name.size() < 13 || name[8] != '.') return "";
  const std::string_view year_text = name.substr(9, 4);
  if (!IsDigits(year_text)) return "";
  const int birth_year = std::stoi(std::string(year_text));
  std::string header = "【" + std::to_string(shown.year - birth_year) +
                       "歳の誕生日】" + std::string(year_text) + "/" +
                       TwoDigits(shown.month) + "/" + TwoDigits(shown.day);
  // The birth date itself may not exist (29 February of a common year) or
  // lie in the dropped days of 1582; it then goes without a weekday.
  if (IsValidDate(birth_year, shown.month, shown.day)) {
    header += " (";
    header +=
        weekdays[WeekdayOf(DayNumber(birth_year, shown.month, shown.day)) - 1];
    header += ")";
  }
  return header;
}

std::vector<std::string> BuildDayInfo(
    SettingsFile& settings, EntryFolder* folder, const CivilDate& date,
    bool qreki, const std::vector<std::string>& holiday_names,
    FifthWeekOrder order, const WeekdayNames& weekdays, HolidayTest is_holiday,
    EntryTextMemo* texts) {
  std::vector<std::string> lines;
  const bool exists = IsValidDate(date.year, date.month, date.day);
  if (qreki && exists) {
    lines.push_back("【" +
                    std::string(RokuyoOf(static_cast<long double>(
                        LocalDayCount(date.year, date.month, date.day)))) +
                    "】");
  }
  lines.insert(lines.end(), holiday_names.begin(), holiday_names.end());
  if (folder == nullptr || !exists) return lines;
  const FolderPin pin(folder);

  auto read_text = [&](const std::string& name) -> std::optional<std::string> {
    std::string text;
    if (ReadEntryTextForDisplay(*folder, name, &text) != ReadResult::kOk) {
      return std::nullopt;
    }
    return NormalizeBreaks(std::move(text));
  };
  auto add_text = [&](const std::string& name) {
    if (texts == nullptr) {
      if (std::optional<std::string> text = read_text(name)) {
        lines.push_back(std::move(*text));
      }
      return;
    }
    auto [it, fresh] = texts->try_emplace(name);
    if (fresh) it->second = read_text(name);
    if (it->second) lines.push_back(*it->second);
  };

  // Birthdays straight from the folder, so that a file whose year is no
  // number still shows its text (without the age line).
  std::vector<std::string> born;
  folder->Snapshot()->Match(BirthdaysOfDayPattern(date.month, date.day), &born);
  for (const std::string& name : born) {
    std::string header = BirthdayHeader(name, date, weekdays);
    if (!header.empty()) lines.push_back(std::move(header));
    add_text(name);
  }

  const bool holiday = !holiday_names.empty();
  HolidayTest cached =
      is_holiday ? std::move(is_holiday) : CachedHolidayTest(settings);
  EntryMatcher matcher(folder, [&](int y, int m, int d) {
    if (y == date.year && m == date.month && d == date.day) return holiday;
    return cached(y, m, d);
  });
  std::vector<std::string> names = matcher.ScheduleNamesForDay(date);
  std::erase_if(names, [](const std::string& n) {
    return ClassifyEntryName(n) == EntryClass::kBirthday;
  });
  if (date.day >= 29 && order == FifthWeekOrder::kUnderscoreFirst) {
    UnderscoreWeekFirst(names);
  }
  for (const std::string& name : names) add_text(name);
  return lines;
}

}  // namespace mirokata
