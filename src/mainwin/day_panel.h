// The day panel's change handler: whenever the grid's selected day changes
// it re-colours a newly shown month, sets the captions and their colours
// and, with CalendarEx/PopView on, assembles the day's DayInfo lines (the
// rokuyo, the holiday names, every birthday and schedule entry) for the
// day pop-view. No widgets: the main window shows what this returns.
#ifndef MIROKATA_MAINWIN_DAY_PANEL_H_
#define MIROKATA_MAINWIN_DAY_PANEL_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/weekday_names.h"
#include "calendar/gregorian.h"
#include "platform/color/color_value.h"
#include "schedule/day_info.h"
#include "schedule/todo_colors.h"

namespace mirokata {

class Clock;
class DataFolderEntries;
class EntryFolder;
class MonthGridModel;
class SettingsFile;

// Settings of the day panel.
inline constexpr char kPopViewKey[] = "PopView";       // section CalendarEx
inline constexpr char kQrekiKey[] = "Qreki";           // section Form
inline constexpr char kDoubleClickKey[] = "Cal_DBLC";  // section Setup

// What a double click on a day opens (Setup/Cal_DBLC).
enum class DayAction {
  kPopupEditor = 0,
  kScheduleEditor = 1,
  kScheduleManager = 2,
  kDateJump = 3,
  kDiaryList = 4,
  kNothing = 5,
};
DayAction ReadDoubleClickAction(SettingsFile& settings);

// Everything one change shows.
struct DayPanelState {
  CivilDate date;
  int days_from_today = 0;
  bool today_button_enabled = false;
  std::string year_caption;
  std::string month_caption;
  ColorValue month_caption_text = kClWindow;
  ColorValue month_caption_back = kClBlack;
  bool holiday = false;
  bool recoloured = false;  // the month changed and the grid was re-coloured
  // With PopView on: the DayInfo and its colours.
  bool info_built = false;
  std::vector<std::string> info_lines;
  DayInfoColors info_colors;
  // A click asked for the pop-view and this change is the one to open it.
  bool open_pop_view = false;
};

class DayPanel {
 public:
  // All references must outlive the panel.
  DayPanel(SettingsFile& settings, const Clock& clock,
           DataFolderEntries& entries);

  // The grid's change event.
  DayPanelState Change(MonthGridModel& grid);
  // The grid's click event: asks for the pop-view when PopView is on.
  void Click();
  // The grid's double click: what to open for the selected day.
  DayAction DoubleClick() const;

  // The ddd of the birthday headers (default: the Japanese names).
  void SetShortWeekdayNames(WeekdayNames names) {
    weekdays_ = std::move(names);
  }

  // Forces the next change to re-colour (the window became active).
  void ForgetShownMonth() { shown_month_ = 0; }
  CivilDate Today() const;

 private:
  SettingsFile& settings_;
  const Clock& clock_;
  DataFolderEntries& entries_;
  WeekdayNames weekdays_ = JapaneseShortWeekdayNames();
  int shown_month_ = 0;  // year * 100 + month
  int pop_request_ = 0;  // 1 asked by a click, 2 shown for it
};

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_DAY_PANEL_H_
