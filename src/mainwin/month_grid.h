// The month grid's model: which day each cell holds, which cell is
// selected, the setter rules and the colour of each day. No widgets; the
// CalendarGrid widget draws what this says.
//
// Cell (column c, row r): c = 0 is Sunday, r = 0 the header row. For r >= 1
// let x = c + 7r - f - 5 with f the weekday code of the 1st: x <= 0 is the
// previous month's day x + L (value day + 100), x beyond the month's length
// the next month's day x - length (value day + 200), else the day x itself.
#ifndef MIROKATA_MAINWIN_MONTH_GRID_H_
#define MIROKATA_MAINWIN_MONTH_GRID_H_

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "calendar/holidays.h"
#include "platform/color/color_value.h"

namespace mirokata {

class SettingsFile;

inline constexpr int kGridColumns = 7;
inline constexpr int kGridRows = 7;  // header + six weeks

// The six colours, one indexed array.
enum GridColor : int {
  kWeekdayColor = 0,
  kSundayColor = 1,
  kSaturdayColor = 2,
  kHolidayColor = 3,
  kSpecialDayColor = 4,
  kNeighborDayColor = 5,
};
inline constexpr int kGridColorCount = 6;
using GridColors = std::array<ColorValue, kGridColorCount>;

// The component's own defaults and the main window's design-time colours.
inline constexpr GridColors kComponentGridColors = {
    kClBlack, kClMaroon, kClNavy, kClMaroon, kClRed, kClGray};
inline constexpr GridColors kMainWindowGridColors = {
    kClGray, kClRed, kClFuchsia, kClRed, kClBlue, kClSilver};

// Settings keys of the colours (section CalendarEx), by index.
const char* GridColorKey(int index);

// Reads CalendarEx/<colour keys> over the main window's design-time colours.
GridColors ReadGridColors(SettingsFile& settings);

// The value of a day cell (row >= 1); see the header comment.
int CellValue(int year, int month, int first_weekday, int column, int row);

struct GridCell {
  int column = 0;
  int row = 0;
  bool operator==(const GridCell&) const = default;
};

// The cell of a day of the shown month: column (f + day + 5) mod 7, row
// (f + day - 2) div 7 + 1.
GridCell CellOfDay(int first_weekday, int day);

// Only days of the shown month can be selected.
constexpr bool IsSelectableValue(int value) {
  return value >= 1 && value <= 100;
}

// The day number a value shows (neighbour values lose their 100 / 200).
constexpr int ShownDayOfValue(int value) { return value % 100; }

class MonthGridModel {
 public:
  // Starts on the given date; an impossible one falls back to 1 January
  // 2000.
  MonthGridModel(int year, int month, int day);

  int year() const { return year_; }
  int month() const { return month_; }
  int day() const { return day_; }
  // Weekday code (1 = Sunday) of the selected day and of the 1st.
  int day_of_week() const;
  int first_weekday() const { return first_weekday_; }
  int days_in_month() const;

  // Setting Year or Month keeps the day when the new month has it and
  // lowers it to the month's last day otherwise; both raise the change.
  // Years outside 1-9999 and months outside 1-12 are ignored.
  void SetYear(int year);
  void SetMonth(int month);
  // Accepts 1 to the month's length, else ignored; raises the change.
  void SetDay(int day);
  // Year, month and day in one step, one change. False (and nothing
  // changes) for a date that does not exist.
  bool SetDate(int year, int month, int day);

  // Raised after every accepted setter call.
  void set_on_change(std::function<void()> on_change) {
    on_change_ = std::move(on_change);
  }

  int ValueAt(int column, int row) const;
  // The number a cell shows: empty for neighbours when they are hidden.
  std::string TextAt(int column, int row) const;
  bool CanSelect(int column, int row) const;
  GridCell SelectedCell() const { return CellOfDay(first_weekday_, day_); }
  // A click or a key moved the current cell: a day of the shown month
  // becomes the selected day (and raises the change); any other cell
  // changes nothing. True when the day was taken.
  bool SelectCell(int column, int row);

  // The colours, by index. Out-of-range indexes read black and write
  // nothing.
  ColorValue Color(int index) const;
  void SetColor(int index, ColorValue value);
  const GridColors& colors() const { return colors_; }
  void SetColors(const GridColors& colors) { colors_ = colors; }

  bool auto_equinox() const { return lists_.auto_equinox; }
  void set_auto_equinox(bool on) { lists_.auto_equinox = on; }
  bool show_neighbor() const { return show_neighbor_; }
  void set_show_neighbor(bool on) { show_neighbor_ = on; }

  // TypeOfDayList and SpecialDayList.
  const GridDayLists& lists() const { return lists_; }
  const std::vector<std::string>& type_of_day_list() const {
    return lists_.type_of_day;
  }
  const std::vector<std::string>& special_day_list() const {
    return lists_.special_day;
  }
  void SetLists(std::vector<std::string> type_of_day,
                std::vector<std::string> special_day);
  // True when an item of SpecialDayList names the month and day.
  bool IsSpecialDay(int month, int day) const;

  // The colour index of a cell: -1 for the header (drawn black),
  // kNeighborDayColor for neighbours, else by the day's flags.
  int ColorIndexAt(SettingsFile& settings, int column, int row) const;
  // The colour index of every day of the shown month, [0] for the 1st.
  std::vector<int> DayColorIndexes(SettingsFile& settings) const;

 private:
  void Changed();
  void Recompute();

  int year_;
  int month_;
  int day_;
  int first_weekday_ = 1;
  GridColors colors_ = kComponentGridColors;
  bool show_neighbor_ = true;
  GridDayLists lists_;
  std::function<void()> on_change_;
};

// The colour index of one day from its ClassifyDay flags: Special, then
// Listed / Substitute / Equinox, then Sunday, Saturday, weekday.
int ColorIndexOfFlags(DayFlags flags);

// The day's colour index; the ten days missing from October 1582 are plain
// weekdays.
int DayColorIndex(SettingsFile& settings, const GridDayLists& lists, int year,
                  int month, int day);

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_MONTH_GRID_H_
