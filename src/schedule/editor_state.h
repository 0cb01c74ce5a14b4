// What the schedule and popup editors show for the values in their boxes:
// the entry name they address, the tab captions, the text box's hint, the
// copy string and which groups are enabled; and, for any file name, the
// editor values that address that entry again.
#ifndef MIROKATA_SCHEDULE_EDITOR_STATE_H_
#define MIROKATA_SCHEDULE_EDITOR_STATE_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "base/weekday_names.h"
#include "calendar/gregorian.h"
#include "schedule/entry_name.h"

namespace mirokata {

// "休日なら".
enum class HolidayMove { kStay, kPrevious, kNext };

// The two radio groups as one shift code; Saturday counts only with a move.
ShiftCode ShiftCodeOf(HolidayMove move, bool saturday_is_holiday);
HolidayMove HolidayMoveOf(ShiftCode code);
bool SaturdayIsHolidayOf(ShiftCode code);

// The week boxes "第１週" ... "第５週" and "最終週".
struct WeekBoxes {
  std::array<bool, 5> numbered = {true, true, true, true, true};
  bool last = false;
  bool operator==(const WeekBoxes&) const = default;

  // No box checked: the five numbered weeks again; "最終週" stands alone.
  void Normalize();
  // The week bits of the entry names (kEveryWeek for all five).
  int Bits() const;
  static WeekBoxes FromBits(int bits);
};

// The year box's range, the month's, and the day lowered until the date
// exists (the October 1582 gap included).
CivilDate ClampEditorDate(CivilDate date, int min_year);

// Schedule editor: tab 0 one day, 1 every year, 2 every month, 3 weekly.
struct ScheduleEditorState {
  CivilDate date{2000, 1, 1};
  int tab = 0;
  HolidayMove move = HolidayMove::kStay;
  bool saturday_is_holiday = false;
  WeekBoxes weeks;
  bool operator==(const ScheduleEditorState&) const = default;
};

struct ScheduleEditorView {
  std::string name;  // the entry name the boxes address
  std::array<std::string, 4> tab_captions;
  std::string hint;         // of the text box
  std::string copy_string;  // 【...】
  bool move_enabled = false;
  bool saturday_enabled = false;
  bool weeks_enabled = false;
  bool numbered_weeks_enabled = false;
};

// Normalises the state (date, week boxes, "平日" without a move) and
// describes it. `dddd` names the weekday on the weekly tab.
ScheduleEditorView EvaluateScheduleEditor(
    ScheduleEditorState& state,
    const WeekdayNames& dddd = JapaneseLongWeekdayNames());

// Popup editor: tab 0 one day, 1 every year, 2 every month, 3 weekly,
// 4 every day; or the elapsed-time mode.
inline constexpr int kMinElapsedSeconds = 60;
inline constexpr int kMaxElapsedSeconds = 3456000;

struct PopupEditorState {
  CivilDate date{2000, 1, 1};
  int hour = 0;
  int minute = 0;
  int tab = 0;
  HolidayMove move = HolidayMove::kStay;
  bool saturday_is_holiday = false;
  WeekBoxes weeks;
  bool elapsed = false;
  int seconds = kMinElapsedSeconds;
  bool operator==(const PopupEditorState&) const = default;
};

enum class PanelColour { kBlue, kRed, kFuchsia };

struct PopupEditorView {
  std::string name;
  std::array<std::string, 5> tab_captions;
  std::string hint;
  std::string copy_string;
  std::string panel_text;  // "Popup hh:mm", the time less `before`
  PanelColour panel_colour = PanelColour::kBlue;
  std::string elapsed_note;  // 約N分 / 約N時間 / 約N日, on three lines
  bool move_enabled = false;
  bool saturday_enabled = false;
  bool weeks_enabled = false;
  bool numbered_weeks_enabled = false;
  bool add_to_schedule_enabled = false;
};

// `today_weekday` colours the panel on the one-day tab.
PopupEditorView EvaluatePopupEditor(PopupEditorState& state, int before_minutes,
                                    int today_weekday);

// "指定した時間の N分前にﾎﾟｯﾌﾟｱｯﾌﾟします。" or, for 0, on time.
std::string PopupTimeNote(int before_minutes);

// The editor that addresses a file name again.
struct EditorOpening {
  std::variant<ScheduleEditorState, PopupEditorState> state;
  bool is_popup() const {
    return std::holds_alternative<PopupEditorState>(state);
  }
};

// `today` and the time now place the entries without a date of their own:
// a yearly entry on its day of this year, a monthly one on its day of this
// month (the next year or month that has that day), a weekly one on the
// first such weekday of this month, a daily or elapsed one on today and
// `now_hour`:`now_minute`. nullopt for any name that no editor state
// builds back exactly (letter case aside): birthdays, non-entries, names
// the editors never write.
std::optional<EditorOpening> OpeningForName(std::string_view name,
                                            const CivilDate& today,
                                            int now_hour, int now_minute);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_EDITOR_STATE_H_
