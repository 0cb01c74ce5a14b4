#include "schedule/editor_state.h"

#include <algorithm>
#include <cstdio>

#include "base/date_pattern.h"
#include "calendar/date_fields.h"
#include "schedule/entry_match.h"
#include "schedule/folder_index.h"

namespace mirokata {
namespace {

constexpr const char* kWeekOrdinals[5] = {"第１", "第２", "第３", "第４",
                                          "第５"};

std::string Pattern(std::string_view pattern, const DateTimeFields& f) {
  return FormatDatePattern(pattern, f);
}

// "【第１第３火曜日】", "【最終火曜日】" or "【火曜日】" for every week.
std::string WeeklyCopy(const WeekBoxes& weeks, const DateTimeFields& f) {
  if (weeks.Bits() == kEveryWeek) return Pattern("\"【\"aaaa\"】\"", f);
  std::string text = "【";
  if (weeks.last) {
    text += "最終";
  } else {
    for (int i = 0; i < 5; ++i) {
      if (weeks.numbered[i]) text += kWeekOrdinals[i];
    }
  }
  return text + Pattern("aaaa\"】\"", f);
}

// The copy string of the yearly, monthly and weekly tabs, alike in both
// editors.
std::string RepeatingCopy(int tab, const WeekBoxes& weeks, ShiftCode code,
                          const DateTimeFields& f) {
  switch (tab) {
    case 1:
      return Pattern("\"【毎年\"m\"月\"d\"日】\"", f) +
             std::string(ShiftDescription(code));
    case 2:
      return Pattern("\"【毎月\"d\"日】\"", f) +
             std::string(ShiftDescription(code));
    case 3:
      return WeeklyCopy(weeks, f);
  }
  return {};
}

// The name fields of a tab: the date's, with the move of the yearly and
// monthly tabs and the weeks of the weekly one.
template <typename State>
EntryFields NameFields(EntryKind kind, const State& s, ShiftCode code,
                       int hhnn) {
  EntryFields fields = EntryFieldsForDate(kind, s.date, hhnn);
  if (s.tab == 1 || s.tab == 2) fields.shift = code;
  if (s.tab == 3) fields.weeks = s.weeks.Bits();
  return fields;
}

void Enable(int tab, const WeekBoxes& weeks, HolidayMove move,
            bool* move_enabled, bool* saturday_enabled, bool* weeks_enabled,
            bool* numbered_enabled) {
  *move_enabled = tab == 1 || tab == 2;
  *saturday_enabled = *move_enabled && move != HolidayMove::kStay;
  *weeks_enabled = tab == 3;
  *numbered_enabled = *weeks_enabled && !weeks.last;
}

int FirstWeekdayOfMonth(int year, int month, int weekday) {
  for (int day = 1; day <= 7; ++day) {
    if (IsValidDate(year, month, day) &&
        WeekdayOf(DayNumber(year, month, day)) == weekday) {
      return day;
    }
  }
  return 1;
}

// This year's month/day, or the first later year that has it.
std::optional<CivilDate> YearlyDate(const CivilDate& today, int month,
                                    int day) {
  for (int year = today.year; year <= std::min(today.year + 8, 9999); ++year) {
    if (IsValidDate(year, month, day)) return CivilDate{year, month, day};
  }
  return std::nullopt;
}

// This month's day, or the first later month that has it.
std::optional<CivilDate> MonthlyDate(const CivilDate& today, int day) {
  int year = today.year;
  int month = today.month;
  for (int i = 0; i < 12 && year <= 9999; ++i) {
    if (IsValidDate(year, month, day)) return CivilDate{year, month, day};
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
  return std::nullopt;
}

CivilDate WeeklyDate(const CivilDate& today, int weekday) {
  return {today.year, today.month,
          FirstWeekdayOfMonth(today.year, today.month, weekday)};
}

}  // namespace

ShiftCode ShiftCodeOf(HolidayMove move, bool saturday_is_holiday) {
  switch (move) {
    case HolidayMove::kPrevious:
      return saturday_is_holiday ? ShiftCode::kPreviousSaturday
                                 : ShiftCode::kPreviousSundayHoliday;
    case HolidayMove::kNext:
      return saturday_is_holiday ? ShiftCode::kNextSaturday
                                 : ShiftCode::kNextSundayHoliday;
    case HolidayMove::kStay:
      break;
  }
  return ShiftCode::kNone;
}

HolidayMove HolidayMoveOf(ShiftCode code) {
  if (ShiftMovesToPrevious(code)) return HolidayMove::kPrevious;
  if (ShiftMovesToNext(code)) return HolidayMove::kNext;
  return HolidayMove::kStay;
}

bool SaturdayIsHolidayOf(ShiftCode code) {
  return code != ShiftCode::kNone && ShiftSkipsSaturday(code);
}

void WeekBoxes::Normalize() {
  if (last) {
    numbered.fill(false);
  } else if (std::none_of(numbered.begin(), numbered.end(),
                          [](bool b) { return b; })) {
    numbered.fill(true);
  }
}

int WeekBoxes::Bits() const {
  if (last) return kLastWeek;
  int bits = 0;
  for (int i = 0; i < 5; ++i) {
    if (numbered[i]) bits |= 1 << i;
  }
  return bits;
}

WeekBoxes WeekBoxes::FromBits(int bits) {
  WeekBoxes boxes;
  boxes.last = bits == kLastWeek;
  for (int i = 0; i < 5; ++i)
    boxes.numbered[i] = !boxes.last && (bits >> i & 1);
  return boxes;
}

CivilDate ClampEditorDate(CivilDate date, int min_year) {
  date.year = std::clamp(date.year, min_year, 9999);
  date.month = std::clamp(date.month, 1, 12);
  date.day = std::clamp(date.day, 1, 31);
  while (date.day > 1 && !IsValidDate(date.year, date.month, date.day)) {
    --date.day;
  }
  return date;
}

ScheduleEditorView EvaluateScheduleEditor(ScheduleEditorState& s,
                                          const WeekdayNames& dddd) {
  s.date = ClampEditorDate(s.date, 1900);
  s.tab = std::clamp(s.tab, 0, 3);
  s.weeks.Normalize();
  if (s.move == HolidayMove::kStay) s.saturday_is_holiday = false;

  const DateTimeFields f = FieldsOfDate(s.date);
  const ShiftCode code = ShiftCodeOf(s.move, s.saturday_is_holiday);
  ScheduleEditorView v;
  v.tab_captions = {Pattern("yyyy/mm/dd", f), Pattern("mm/dd", f),
                    Pattern("dd", f), dddd[f.weekday - 1]};

  static constexpr EntryKind kKinds[] = {
      EntryKind::kOneDaySchedule, EntryKind::kYearlySchedule,
      EntryKind::kMonthlySchedule, EntryKind::kWeeklySchedule};
  v.name = BuildEntryName(NameFields(kKinds[s.tab], s, code, 0));
  static constexpr const char* kHints[] = {
      "yyyy/m/d\"のｽｹｼﾞｭｰﾙ\"", "\"毎年\"m/d\"のｽｹｼﾞｭｰﾙ\"",
      "\"毎月\"d\"日のｽｹｼﾞｭｰﾙ\"", "aaaa\"のｽｹｼﾞｭｰﾙ\""};
  v.hint = Pattern(kHints[s.tab], f);
  v.copy_string = s.tab == 0 ? Pattern("\"【\"yy\"年\"m\"月\"d\"日】\"", f)
                             : RepeatingCopy(s.tab, s.weeks, code, f);
  Enable(s.tab, s.weeks, s.move, &v.move_enabled, &v.saturday_enabled,
         &v.weeks_enabled, &v.numbered_weeks_enabled);
  return v;
}

PopupEditorView EvaluatePopupEditor(PopupEditorState& s, int before_minutes,
                                    int today_weekday) {
  s.date = ClampEditorDate(s.date, 1);
  s.tab = std::clamp(s.tab, 0, 4);
  s.hour = std::clamp(s.hour, 0, 23);
  s.minute = std::clamp(s.minute, 0, 59);
  s.weeks.Normalize();
  if (s.move == HolidayMove::kStay) s.saturday_is_holiday = false;
  s.seconds = std::clamp(s.seconds - s.seconds % 10, kMinElapsedSeconds,
                         kMaxElapsedSeconds);

  const DateTimeFields f = FieldsOfDate(s.date, s.hour, s.minute);
  const ShiftCode code = ShiftCodeOf(s.move, s.saturday_is_holiday);
  PopupEditorView v;
  v.tab_captions = {Pattern("yyyy/mm/dd", f), Pattern("mm/dd", f),
                    Pattern("dd", f), Pattern("aaa\"曜\"", f), "毎日"};

  // The moment the popup really appears: its time less `before`.
  const int shown =
      ((s.hour * 60 + s.minute - before_minutes) % 1440 + 1440) % 1440;
  char panel[32];
  std::snprintf(panel, sizeof panel, "Popup %02d:%02d", shown / 60, shown % 60);
  v.panel_text = panel;
  if (s.tab == 0 && today_weekday == kSunday) {
    v.panel_colour = PanelColour::kRed;
  } else if (s.tab == 0 && today_weekday == kSaturday) {
    v.panel_colour = PanelColour::kFuchsia;
  }

  if (s.elapsed) {
    EntryFields fields;
    fields.kind = EntryKind::kElapsedPopup;
    fields.seconds = s.seconds;
    v.name = BuildEntryName(fields);
    v.copy_string = "【Windows起動後 " + std::to_string(s.seconds) + "秒経過】";
    v.elapsed_note = "約" + std::to_string(s.seconds / 60) + "分\n約" +
                     std::to_string(s.seconds / 3600) + "時間\n約" +
                     std::to_string(s.seconds / 86400) + "日";
    return v;
  }

  static constexpr EntryKind kKinds[] = {
      EntryKind::kOneDayPopup, EntryKind::kYearlyPopup,
      EntryKind::kMonthlyPopup, EntryKind::kWeeklyPopup,
      EntryKind::kDailyPopup};
  v.name = BuildEntryName(
      NameFields(kKinds[s.tab], s, code, s.hour * 100 + s.minute));
  static constexpr const char* kHints[] = {
      "yyyy/m/d\"のﾎﾟｯﾌﾟｱｯﾌﾟ\"", "\"毎年\"m\"月\"d\"日のﾎﾟｯﾌﾟｱｯﾌﾟ\"",
      "\"毎月\"d\"日のﾎﾟｯﾌﾟｱｯﾌﾟ\"", "aaaa\"のﾎﾟｯﾌﾟｱｯﾌﾟ\"",
      "\"毎日のﾎﾟｯﾌﾟｱｯﾌﾟ\""};
  v.hint = Pattern(kHints[s.tab], f);
  v.copy_string =
      s.tab == 4 ? "【毎日】" : RepeatingCopy(s.tab, s.weeks, code, f);
  char time[32];
  std::snprintf(time, sizeof time, "%d:%.2d～", s.hour, s.minute);
  v.copy_string += time;
  Enable(s.tab, s.weeks, s.move, &v.move_enabled, &v.saturday_enabled,
         &v.weeks_enabled, &v.numbered_weeks_enabled);
  v.add_to_schedule_enabled = s.tab == 0;
  return v;
}

std::string PopupTimeNote(int before_minutes) {
  if (before_minutes == 0) return "指定した時間通りにﾎﾟｯﾌﾟｱｯﾌﾟします。";
  return "指定した時間の " + std::to_string(before_minutes) +
         "分前にﾎﾟｯﾌﾟｱｯﾌﾟします。";
}

std::optional<EditorOpening> OpeningForName(std::string_view name,
                                            const CivilDate& today,
                                            int now_hour, int now_minute) {
  const std::optional<EntryFields> parsed = ParseEntryName(name);
  if (!parsed) return std::nullopt;
  const EntryFields& e = *parsed;
  std::optional<CivilDate> date;
  ScheduleEditorState sched;
  PopupEditorState pop;
  pop.hour = e.hhnn / 100;
  pop.minute = e.hhnn % 100;
  bool popup = true;
  switch (e.kind) {
    case EntryKind::kBirthday:
      return std::nullopt;
    case EntryKind::kOneDaySchedule:
    case EntryKind::kOneDayPopup:
      date = OneDayEntryDate(e, today.year);
      popup = e.kind == EntryKind::kOneDayPopup;
      sched.tab = pop.tab = 0;
      break;
    case EntryKind::kYearlySchedule:
    case EntryKind::kYearlyPopup:
      date = YearlyDate(today, e.month, e.day);
      popup = e.kind == EntryKind::kYearlyPopup;
      sched.tab = pop.tab = 1;
      break;
    case EntryKind::kMonthlySchedule:
    case EntryKind::kMonthlyPopup:
      date = MonthlyDate(today, e.day);
      popup = e.kind == EntryKind::kMonthlyPopup;
      sched.tab = pop.tab = 2;
      break;
    case EntryKind::kWeeklySchedule:
    case EntryKind::kWeeklyPopup:
      date = WeeklyDate(today, e.weekday);
      popup = e.kind == EntryKind::kWeeklyPopup;
      sched.tab = pop.tab = 3;
      sched.weeks = pop.weeks = WeekBoxes::FromBits(e.weeks);
      break;
    case EntryKind::kDailyPopup:
      date = today;
      pop.tab = 4;
      break;
    case EntryKind::kElapsedPopup:
      date = today;
      pop.elapsed = true;
      pop.seconds = e.seconds;
      pop.hour = now_hour;
      pop.minute = now_minute;
      break;
  }
  if (!date) return std::nullopt;
  sched.move = pop.move = HolidayMoveOf(e.shift);
  sched.saturday_is_holiday = pop.saturday_is_holiday =
      SaturdayIsHolidayOf(e.shift);

  EditorOpening opening;
  std::string rebuilt;
  if (popup) {
    pop.date = *date;
    PopupEditorState probe = pop;
    rebuilt = EvaluatePopupEditor(probe, 0, kMonday).name;
    if (probe != pop) return std::nullopt;
    opening.state = pop;
  } else {
    sched.date = *date;
    ScheduleEditorState probe = sched;
    rebuilt = EvaluateScheduleEditor(probe).name;
    if (probe != sched) return std::nullopt;
    opening.state = sched;
  }
  if (rebuilt.empty() || UpperAscii(rebuilt) != UpperAscii(name)) {
    return std::nullopt;
  }
  return opening;
}

}  // namespace mirokata
