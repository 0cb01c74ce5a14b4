#include "mainwin/day_panel.h"

#include "base/settings_file.h"
#include "calendar/holidays.h"
#include "mainwin/month_grid.h"
#include "mainwin/month_grid_recolour.h"
#include "platform/clock.h"
#include "schedule/entry_files.h"

namespace mirokata {
namespace {

constexpr char kSetupSection[] = "Setup";
constexpr char kFormSection[] = "Form";

}  // namespace

DayAction ReadDoubleClickAction(SettingsFile& settings) {
  const int v = settings.ReadInteger(kSetupSection, kDoubleClickKey, 0);
  return v >= 0 && v <= 4 ? static_cast<DayAction>(v) : DayAction::kNothing;
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
                                FifthWeekOrder::kUnderscoreFirst, weekdays_);
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
