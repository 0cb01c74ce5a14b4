#include "mainwin/day_panel.h"

#include <algorithm>
#include <cstdio>

#include "base/settings_file.h"
#include "calendar/holidays.h"
#include "calendar/lunisolar.h"
#include "mainwin/month_grid.h"
#include "mainwin/month_grid_recolour.h"
#include "platform/clock.h"
#include "schedule/entry_files.h"
#include "schedule/entry_match.h"
#include "schedule/entry_name.h"
#include "schedule/entry_text.h"

namespace mirokata {
namespace {

constexpr char kSetupSection[] = "Setup";
constexpr char kFormSection[] = "Form";

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
// the matcher; the panel lists the "_" group first. Only those names move,
// inside the places they already hold.
void OrderFifthWeek(std::vector<std::string>& names) {
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

DayAction ReadDoubleClickAction(SettingsFile& settings) {
  const int v = settings.ReadInteger(kSetupSection, kDoubleClickKey, 0);
  return v >= 0 && v <= 4 ? static_cast<DayAction>(v) : DayAction::kNothing;
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
    const WeekdayNames& weekdays) {
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

  auto add_text = [&](const std::string& name) {
    std::string text;
    if (ReadEntryTextForDisplay(*folder, name, &text) != ReadResult::kOk) {
      return;
    }
    lines.push_back(NormalizeBreaks(std::move(text)));
  };

  // Birthdays straight from the folder, so that a file whose year is no
  // number still shows its text (without the age line).
  std::vector<std::string> born;
  folder->Snapshot()->Match(
      "BORN" + TwoDigits(date.month) + TwoDigits(date.day) + ".*", &born);
  for (const std::string& name : born) {
    std::string header = BirthdayHeader(name, date, weekdays);
    if (!header.empty()) lines.push_back(std::move(header));
    add_text(name);
  }

  const bool holiday = !holiday_names.empty();
  HolidayTest cached = CachedHolidayTest(settings);
  EntryMatcher matcher(folder, [&](int y, int m, int d) {
    if (y == date.year && m == date.month && d == date.day) return holiday;
    return cached(y, m, d);
  });
  std::vector<std::string> names = matcher.ScheduleNamesForDay(date);
  std::erase_if(names, [](const std::string& n) {
    return ClassifyEntryName(n) == EntryClass::kBirthday;
  });
  if (date.day >= 29) OrderFifthWeek(names);
  for (const std::string& name : names) add_text(name);
  return lines;
}

DayPanel::DayPanel(SettingsFile& settings, const Clock& clock,
                   DataFolderEntries& entries)
    : settings_(settings), clock_(clock), entries_(entries) {}

CivilDate DayPanel::Today() const {
  const LocalTime now = clock_.Now();
  return {now.year, now.month, now.day};
}

DayPanelState DayPanel::Change(MonthGridModel& grid) {
  DayPanelState v;
  EntryFolder* folder = entries_.Current();
  // The re-colouring and the day's lines share one look at the folder.
  const FolderPin pin(folder);
  // 1. A newly shown month is re-coloured first.
  const int shown = grid.year() * 100 + grid.month();
  if (shown != shown_month_) {
    shown_month_ = shown;
    RecolourMonth(settings_, folder, grid);
    v.recoloured = true;
  }

  // 2-3. Back-to-today button and the captions.
  v.date = {grid.year(), grid.month(), grid.day()};
  const CivilDate today = Today();
  int32_t n = 0;
  int32_t t = 0;
  try {
    n = DayNumber(v.date);
    t = DayNumber(today);
  } catch (const EJuliusError&) {
    n = t = 0;
  }
  v.days_from_today = n - t;
  v.today_button_enabled = !(v.date == today);
  v.year_caption = std::to_string(v.date.year);
  v.month_caption = std::to_string(v.date.month);
  v.month_caption_text = kClWindow;
  const int weekday = grid.day_of_week();
  v.month_caption_back = grid.Color(weekday == kSunday     ? kSundayColor
                                    : weekday == kSaturday ? kSaturdayColor
                                                           : kWeekdayColor);

  // 4-8. Holiday names and the caption's colour.
  const std::vector<std::string> holiday_names =
      HolidayNamesOf(settings_, v.date);
  v.holiday = !holiday_names.empty();
  if (v.holiday) v.month_caption_back = grid.Color(kHolidayColor);
  if (grid.IsSpecialDay(v.date.month, v.date.day)) {
    v.month_caption_back = grid.Color(kSpecialDayColor);
  }

  // 5, 6, 9. The DayInfo.
  Settings s = settings_.Open();
  const bool pop_view = s.ReadBool(kCalendarExSection, kPopViewKey, false);
  const bool qreki = s.ReadBool(kFormSection, kQrekiKey, false);
  if (pop_view) {
    v.info_built = true;
    v.info_colors = ReadDayInfoColors(settings_, v.days_from_today);
    v.info_lines = BuildDayInfo(settings_, folder, v.date, qreki, holiday_names,
                                weekdays_);
  }

  // 10. The pop-view a click asked for.
  if (pop_request_ == 1) {
    pop_request_ = 2;
    v.open_pop_view = v.info_built;
  }
  return v;
}

void DayPanel::Click() {
  if (settings_.ReadBool(kCalendarExSection, kPopViewKey, false)) {
    pop_request_ = 1;
  }
}

DayAction DayPanel::DoubleClick() const {
  return ReadDoubleClickAction(settings_);
}

}  // namespace mirokata
