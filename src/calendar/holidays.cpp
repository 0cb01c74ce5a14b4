#include "calendar/holidays.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "base/settings_file.h"
#include "calendar/holiday_law.h"

namespace mirokata {

const DefaultHoliday kDefaultHolidays[11] = {
    {"01/01", "【元旦】"},       {"02/11", "【建国記念の日】"},
    {"04/29", "【みどりの日】"}, {"05/03", "【憲法記念日】"},
    {"05/04", "【国民の休日】"}, {"05/05", "【こどもの日】"},
    {"07/20", "【海の日】"},     {"09/15", "【敬老の日】"},
    {"11/03", "【文化の日】"},   {"11/23", "【勤労感謝の日】"},
    {"12/23", "【天皇誕生日】"},
};

namespace {

const char kSubstituteName[] = "【振替休日】";

std::string MonthDayKey(int month, int day) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d/%02d", month, day);
  return buf;
}

const char* DefaultNameOf(std::string_view key) {
  for (const DefaultHoliday& h : kDefaultHolidays) {
    if (key == h.key) return h.name;
  }
  return nullptr;
}

// One look at the holiday settings for a run of lookups.
class HolidayList {
 public:
  explicit HolidayList(SettingsFile& file) : settings_(file.Open()) {
    defaults_pending_ =
        settings_.ReadInteger(kHolidaySection, kHolidaySetKey, 0) == 0;
    law_ = settings_.ReadBool(kCalendarExSection, kHolidayLawKey, true);
    happy_monday_ =
        settings_.ReadBool(kCalendarExSection, kHappyMondayKey, true);
  }

  bool law() const { return law_; }
  bool happy_monday() const { return happy_monday_; }

  // L(k): the list's name under "mm/dd", empty when none. Until the default
  // list is first written it reads as written.
  std::string Name(int month, int day) const {
    const std::string key = MonthDayKey(month, day);
    if (defaults_pending_) {
      if (const char* name = DefaultNameOf(key)) return name;
    }
    return settings_.ReadString(kHolidaySection, key, "");
  }

 private:
  Settings settings_;
  bool defaults_pending_ = false;
  bool law_ = true;
  bool happy_monday_ = true;
};

bool IsEquinoxDay(int year, int month, int day) {
  return (month == 3 && day == VernalEquinoxDay(year)) ||
         (month == 9 && day == AutumnalEquinoxDay(year));
}

// Steps 2 and 3 of the list rules: the listed and moved-to-Monday names.
void AddListedNames(const HolidayList& list, int y, int m, int d,
                    std::vector<std::string>* names) {
  const bool monday = WeekdayOf(DayNumber(y, m, d)) == kMonday;
  if (!list.happy_monday()) {
    std::string name = list.Name(m, d);
    if (!name.empty()) names->push_back(std::move(name));
    return;
  }
  const bool moved_day = (m == 1 && d == 15) || (m == 10 && d == 10) ||
                         (m == 7 && d == 20) || (m == 9 && d == 15);
  if (!moved_day) {
    std::string name = list.Name(m, d);
    if (!name.empty()) names->push_back(std::move(name));
  }
  const bool second_week = d >= 8 && d <= 14;
  const bool third_week = d >= 15 && d <= 21;
  if (m == 1 && monday && second_week) names->push_back("【成人の日】");
  if (m == 10 && monday && second_week) names->push_back("【体育の日】");
  if (y < 2003) {
    if ((m == 7 && d == 20) || (m == 9 && d == 15)) {
      std::string name = list.Name(m, d);
      if (!name.empty()) names->push_back(std::move(name));
    }
  } else {
    if (m == 7 && monday && third_week) names->push_back("【海の日】");
    if (m == 9 && monday && third_week) names->push_back("【敬老の日】");
  }
}

std::vector<std::string> ListRuleNames(const HolidayList& list, int y, int m,
                                       int d) {
  std::vector<std::string> names;
  if (m == 3 && d == VernalEquinoxDay(y)) names.push_back("【春分の日】");
  if (m == 9 && d == AutumnalEquinoxDay(y)) names.push_back("【秋分の日】");
  AddListedNames(list, y, m, d, &names);
  const int32_t n = DayNumber(y, m, d);
  if (WeekdayOf(n) == kMonday) {
    const CivilDate prev = CivilDateOf(n - 1);
    if (!list.Name(prev.month, prev.day).empty()) {
      names.push_back(kSubstituteName);
    }
    if (IsEquinoxDay(prev.year, prev.month, prev.day)) {
      names.push_back(kSubstituteName);
    }
  }
  return names;
}

std::vector<std::string> LawRuleNames(const HolidayList& list, int y, int m,
                                      int d) {
  std::vector<std::string> names;
  std::string law_name = LawHolidayNameOf(y, m, d);
  if (!law_name.empty()) names.push_back(std::move(law_name));
  // The user's own days; the default entries are what the law now decides.
  std::string own = list.Name(m, d);
  if (own.empty()) return names;
  const char* default_name = DefaultNameOf(MonthDayKey(m, d));
  if (default_name && own == default_name) return names;
  if (std::find(names.begin(), names.end(), own) == names.end()) {
    names.push_back(std::move(own));
  }
  return names;
}

std::vector<std::string> NamesOf(const HolidayList& list, int y, int m, int d) {
  if (!IsValidDate(y, m, d)) return {};
  return list.law() ? LawRuleNames(list, y, m, d)
                    : ListRuleNames(list, y, m, d);
}

// "m,d[,...]" of a grid item; false when the item does not start that way.
bool ParseItem(std::string_view item, int* month, int* day) {
  int values[2] = {0, 0};
  size_t pos = 0;
  for (int i = 0; i < 2; ++i) {
    while (pos < item.size() && item[pos] == ' ') ++pos;
    size_t start = pos;
    long value = 0;
    while (pos < item.size() && item[pos] >= '0' && item[pos] <= '9') {
      value = value * 10 + (item[pos] - '0');
      if (value > 100000) return false;
      ++pos;
    }
    if (pos == start) return false;
    while (pos < item.size() && item[pos] == ' ') ++pos;
    values[i] = static_cast<int>(value);
    if (i == 0) {
      if (pos >= item.size() || item[pos] != ',') return false;
      ++pos;
    } else if (pos < item.size() && item[pos] != ',') {
      return false;
    }
  }
  *month = values[0];
  *day = values[1];
  return true;
}

bool ListHas(const std::vector<std::string>& items, int month, int day) {
  for (const std::string& item : items) {
    int m = 0, d = 0;
    if (ParseItem(item, &m, &d) && m == month && d == day) return true;
  }
  return false;
}

}  // namespace

bool EnsureDefaultHolidays(SettingsFile& settings) {
  Settings s = settings.Open();
  if (s.ReadInteger(kHolidaySection, kHolidaySetKey, 0) != 0) return true;
  // One batch with the mark: a first start that is interrupted leaves
  // neither the mark nor half a list, and simply tries again.
  return s.Batch([](SettingsBatch& b) {
    for (const DefaultHoliday& h : kDefaultHolidays) {
      b.WriteString(kHolidaySection, h.key, h.name);
    }
    b.WriteInteger(kHolidaySection, kHolidaySetKey, 1);
  });
}

bool HolidayLawInEffect(SettingsFile& settings) {
  return settings.ReadBool(kCalendarExSection, kHolidayLawKey, true);
}

std::vector<std::string> HolidayNamesOf(SettingsFile& settings, int year,
                                        int month, int day) {
  if (!IsValidDate(year, month, day)) return {};
  HolidayList list(settings);
  return NamesOf(list, year, month, day);
}

std::vector<std::string> HolidayNamesOf(SettingsFile& settings,
                                        const CivilDate& date) {
  return HolidayNamesOf(settings, date.year, date.month, date.day);
}

bool IsPublicHoliday(SettingsFile& settings, int year, int month, int day) {
  return !HolidayNamesOf(settings, year, month, day).empty();
}

bool IsPublicHoliday(SettingsFile& settings, const CivilDate& date) {
  return IsPublicHoliday(settings, date.year, date.month, date.day);
}

std::vector<std::string> HolidaysOfMonth(SettingsFile& settings, int year,
                                         int month) {
  std::vector<std::string> items;
  if (month < 1 || month > 12) return items;
  HolidayList list(settings);
  auto item = [month](int day) {
    return std::to_string(month) + "," + std::to_string(day);
  };
  const int days = DaysInMonth(year, month);
  if (list.law()) {
    for (int d = 1; d <= days; ++d) {
      if (IsValidDate(year, month, d) &&
          !NamesOf(list, year, month, d).empty()) {
        items.push_back(item(d));
      }
    }
    return items;
  }
  if (month == 3) items.push_back(item(VernalEquinoxDay(year)));
  if (month == 9) items.push_back(item(AutumnalEquinoxDay(year)));
  for (int d = 1; d <= days; ++d) {
    if (!IsValidDate(year, month, d)) continue;
    std::vector<std::string> names;
    AddListedNames(list, year, month, d, &names);
    if (!names.empty()) items.push_back(item(d));
  }
  return items;
}

DayFlags ClassifyDay(SettingsFile& settings, const GridDayLists& lists,
                     int year, int month, int day) {
  const int32_t n = DayNumber(year, month, day);
  const int w = WeekdayOf(n);
  DayFlags flags = 0;
  if (w == kSunday) flags |= kDaySunday;
  if (w == kSaturday) flags |= kDaySaturday;
  if (ListHas(lists.special_day, month, day)) flags |= kDaySpecial;
  if (ListHas(lists.type_of_day, month, day)) flags |= kDayListed;
  if (HolidayLawInEffect(settings)) return flags;
  if (lists.auto_equinox &&
      (n == VernalEquinoxNumber(year) || n == AutumnalEquinoxNumber(year))) {
    flags |= kDayEquinox;
  }
  if (w == kMonday) {
    const CivilDate prev = CivilDateOf(n - 1);
    if (ListHas(lists.type_of_day, prev.month, prev.day)) {
      flags |= kDaySubstitute;
      // The citizens' holiday of 4 May gives way to the substitute for 3 May.
      if (month == 5 && day == 4) flags &= ~kDayListed;
    }
  }
  return flags;
}

}  // namespace mirokata
