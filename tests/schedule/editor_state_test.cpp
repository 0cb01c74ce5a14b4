#include "schedule/editor_state.h"

#include <gtest/gtest.h>

namespace mirokata {
namespace {

ScheduleEditorState Schedule(CivilDate date, int tab,
                             HolidayMove move = HolidayMove::kStay,
                             bool saturday = false) {
  ScheduleEditorState s;
  s.date = date;
  s.tab = tab;
  s.move = move;
  s.saturday_is_holiday = saturday;
  return s;
}

PopupEditorState Popup(CivilDate date, int hour, int minute, int tab,
                       HolidayMove move = HolidayMove::kStay,
                       bool saturday = false) {
  PopupEditorState s;
  s.date = date;
  s.hour = hour;
  s.minute = minute;
  s.tab = tab;
  s.move = move;
  s.saturday_is_holiday = saturday;
  return s;
}

WeekBoxes Weeks(std::initializer_list<int> numbered, bool last = false) {
  WeekBoxes w;
  w.numbered.fill(false);
  for (int n : numbered) w.numbered[n - 1] = true;
  w.last = last;
  return w;
}

// Tuesday 2026-12-08; the 25th is a Friday.
constexpr CivilDate kTuesday{2026, 12, 8};

TEST(ScheduleEditorState, NamesCopyStringsAndHintsOfEachTab) {
  struct Case {
    ScheduleEditorState state;
    const char* name;
    const char* copy;
    const char* hint;
  } cases[] = {
      {Schedule({2026, 12, 25}, 0), "____1225.26", "【26年12月25日】",
       "2026/12/25のｽｹｼﾞｭｰﾙ"},
      {Schedule({2026, 1, 5}, 1, HolidayMove::kPrevious), "~___0105.__",
       "【毎年1月5日】(休日:前日)", "毎年1/5のｽｹｼﾞｭｰﾙ"},
      {Schedule({2026, 12, 25}, 2, HolidayMove::kPrevious, true), "~_~~__25.__",
       "【毎月25日】(土曜/休日:前日)", "毎月25日のｽｹｼﾞｭｰﾙ"},
      {Schedule({2026, 12, 25}, 2, HolidayMove::kNext, true), "_~~~__25.__",
       "【毎月25日】(土曜/休日:翌日)", "毎月25日のｽｹｼﾞｭｰﾙ"},
      {Schedule({2026, 5, 5}, 1, HolidayMove::kNext), "_~__0505.__",
       "【毎年5月5日】(休日:翌日)", "毎年5/5のｽｹｼﾞｭｰﾙ"},
      // "平日" is all that "そのまま" allows.
      {Schedule({2026, 12, 25}, 2, HolidayMove::kStay, true), "______25.__",
       "【毎月25日】", "毎月25日のｽｹｼﾞｭｰﾙ"},
      {Schedule(kTuesday, 3), "________.TUE", "【火曜日】", "火曜日のｽｹｼﾞｭｰﾙ"},
  };
  for (Case& c : cases) {
    const ScheduleEditorView v = EvaluateScheduleEditor(c.state);
    EXPECT_EQ(v.name, c.name);
    EXPECT_EQ(v.copy_string, c.copy) << c.name;
    EXPECT_EQ(v.hint, c.hint) << c.name;
  }
}

TEST(ScheduleEditorState, WeekBoxesAndEnabling) {
  ScheduleEditorState s = Schedule(kTuesday, 3);
  s.weeks = Weeks({2, 4});
  ScheduleEditorView v = EvaluateScheduleEditor(s);
  EXPECT_EQ(v.name, "~_~_~___.TUE");
  EXPECT_EQ(v.copy_string, "【第２第４火曜日】");
  EXPECT_TRUE(v.numbered_weeks_enabled);

  // "最終週" unchecks and disables the numbered weeks.
  s.weeks = Weeks({1, 2}, true);
  v = EvaluateScheduleEditor(s);
  EXPECT_EQ(v.name, "~~~~~___.TUE");
  EXPECT_EQ(v.copy_string, "【最終火曜日】");
  EXPECT_EQ(s.weeks, Weeks({}, true));
  EXPECT_FALSE(v.numbered_weeks_enabled);
  EXPECT_FALSE(v.move_enabled);

  // Nothing checked: every week again.
  s.weeks = Weeks({});
  v = EvaluateScheduleEditor(s);
  EXPECT_EQ(v.name, "________.TUE");
  EXPECT_EQ(s.weeks, WeekBoxes{});

  s = Schedule({2026, 12, 25}, 2, HolidayMove::kPrevious, true);
  v = EvaluateScheduleEditor(s);
  EXPECT_TRUE(v.move_enabled);
  EXPECT_TRUE(v.saturday_enabled);
  EXPECT_FALSE(v.weeks_enabled);
  // Back to "そのまま": Saturday resets to "平日".
  s.move = HolidayMove::kStay;
  v = EvaluateScheduleEditor(s);
  EXPECT_EQ(v.name, "______25.__");
  EXPECT_FALSE(s.saturday_is_holiday);
  EXPECT_FALSE(v.saturday_enabled);
  EXPECT_EQ(v.tab_captions[0], "2026/12/25");
  EXPECT_EQ(v.tab_captions[1], "12/25");
  EXPECT_EQ(v.tab_captions[2], "25");
  EXPECT_EQ(v.tab_captions[3], "金曜日");
}

TEST(ScheduleEditorState, DatesAreClampedAndLowered) {
  struct Case {
    CivilDate in, out;
  } cases[] = {
      {{2026, 2, 31}, {2026, 2, 28}}, {{2028, 2, 31}, {2028, 2, 29}},
      {{2026, 4, 31}, {2026, 4, 30}}, {{1800, 13, 5}, {1900, 12, 5}},
      {{12000, 0, 0}, {9999, 1, 1}},
  };
  for (const Case& c : cases) {
    ScheduleEditorState s = Schedule(c.in, 0);
    EvaluateScheduleEditor(s);
    EXPECT_EQ(s.date, c.out) << c.in.year << "/" << c.in.month;
  }
  // The popup editor's year starts at 1; the October 1582 gap is skipped.
  PopupEditorState p = Popup({1582, 10, 12}, 9, 0, 0);
  EvaluatePopupEditor(p, 0, kMonday);
  EXPECT_EQ(p.date, (CivilDate{1582, 10, 4}));
  p.date = {0, 1, 1};
  EvaluatePopupEditor(p, 0, kMonday);
  EXPECT_EQ(p.date.year, 1);
}

TEST(PopupEditorState, NamesOfEachTab) {
  struct Case {
    PopupEditorState state;
    const char* name;
    const char* copy;
  } cases[] = {
      {Popup({2026, 12, 25}, 9, 0, 0), "09001225.26", "9:00～"},
      {Popup({2026, 12, 25}, 9, 0, 1, HolidayMove::kNext, true), "09001225.~~",
       "【毎年12月25日】(土曜/休日:翌日)9:00～"},
      {Popup({2026, 12, 25}, 9, 0, 2, HolidayMove::kNext, true), "0900__25.~~",
       "【毎月25日】(土曜/休日:翌日)9:00～"},
      {Popup({2026, 12, 25}, 18, 5, 2, HolidayMove::kPrevious), "1805__25.-_",
       "【毎月25日】(休日:前日)18:05～"},
      {Popup({2026, 12, 25}, 7, 30, 4), "0730____.__", "【毎日】7:30～"},
      {Popup(kTuesday, 9, 0, 3), "0900____.TUE", "【火曜日】9:00～"},
  };
  for (Case& c : cases) {
    const PopupEditorView v = EvaluatePopupEditor(c.state, 0, kMonday);
    EXPECT_EQ(v.name, c.name);
    EXPECT_EQ(v.copy_string, c.copy) << c.name;
  }

  PopupEditorState s = Popup(kTuesday, 9, 0, 3);
  s.weeks = Weeks({1, 3});
  PopupEditorView v = EvaluatePopupEditor(s, 0, kMonday);
  EXPECT_EQ(v.name, "0900__05.TUE");
  EXPECT_EQ(v.copy_string, "【第１第３火曜日】9:00～");
  s.weeks = Weeks({}, true);
  EXPECT_EQ(EvaluatePopupEditor(s, 0, kMonday).name, "0900__32.TUE");
  EXPECT_EQ(v.tab_captions[3], "火曜");
  EXPECT_TRUE(v.weeks_enabled);
  EXPECT_FALSE(v.add_to_schedule_enabled);

  s = Popup({2026, 12, 25}, 9, 0, 0);
  v = EvaluatePopupEditor(s, 0, kMonday);
  EXPECT_EQ(v.hint, "2026/12/25のﾎﾟｯﾌﾟｱｯﾌﾟ");
  EXPECT_TRUE(v.add_to_schedule_enabled);
  s.tab = 1;
  EXPECT_EQ(EvaluatePopupEditor(s, 0, kMonday).hint, "毎年12月25日のﾎﾟｯﾌﾟｱｯﾌﾟ");
}

TEST(PopupEditorState, PanelShowsTheTimeLessBeforeAndColoursByToday) {
  PopupEditorState s = Popup({2026, 12, 25}, 9, 10, 0);
  PopupEditorView v = EvaluatePopupEditor(s, 10, kSunday);
  EXPECT_EQ(v.panel_text, "Popup 09:00");
  EXPECT_EQ(v.panel_colour, PanelColour::kRed);
  EXPECT_EQ(EvaluatePopupEditor(s, 10, kSaturday).panel_colour,
            PanelColour::kFuchsia);
  s.tab = 2;
  EXPECT_EQ(EvaluatePopupEditor(s, 10, kSunday).panel_colour,
            PanelColour::kBlue);
  // Shortly after midnight the popup appears the evening before.
  s.hour = 0;
  s.minute = 5;
  EXPECT_EQ(EvaluatePopupEditor(s, 10, kMonday).panel_text, "Popup 23:55");
  EXPECT_EQ(PopupTimeNote(10), "指定した時間の 10分前にﾎﾟｯﾌﾟｱｯﾌﾟします。");
  EXPECT_EQ(PopupTimeNote(0), "指定した時間通りにﾎﾟｯﾌﾟｱｯﾌﾟします。");
  // Hours and minutes out of range are brought in.
  s.hour = 24;
  s.minute = -1;
  EvaluatePopupEditor(s, 0, kMonday);
  EXPECT_EQ(s.hour, 23);
  EXPECT_EQ(s.minute, 0);
}

TEST(PopupEditorState, ElapsedSeconds) {
  struct Case {
    int in, out;
    const char* name;
  } cases[] = {{1234, 1230, "W0001230.__"},
               {30, 60, "W0000060.__"},
               {600, 600, "W0000600.__"},
               {9999999, 3456000, "W3456000.__"}};
  for (const Case& c : cases) {
    PopupEditorState s = Popup(kTuesday, 9, 0, 0);
    s.elapsed = true;
    s.seconds = c.in;
    const PopupEditorView v = EvaluatePopupEditor(s, 0, kMonday);
    EXPECT_EQ(s.seconds, c.out);
    EXPECT_EQ(v.name, c.name);
    EXPECT_FALSE(v.add_to_schedule_enabled);
  }
  PopupEditorState s = Popup(kTuesday, 9, 0, 0);
  s.elapsed = true;
  s.seconds = 90000;
  const PopupEditorView v = EvaluatePopupEditor(s, 0, kMonday);
  EXPECT_EQ(v.copy_string, "【Windows起動後 90000秒経過】");
  EXPECT_EQ(v.elapsed_note, "約1500分\n約25時間\n約1日");
}

// Each state an editor writes comes back from its name with the same boxes.
TEST(EditorOpening, RoundTripsEveryKindTheEditorsWrite) {
  const CivilDate today{2026, 12, 10};
  std::vector<ScheduleEditorState> schedules;
  std::vector<PopupEditorState> popups;
  for (HolidayMove move :
       {HolidayMove::kStay, HolidayMove::kPrevious, HolidayMove::kNext}) {
    for (bool saturday : {false, true}) {
      if (move == HolidayMove::kStay && saturday) continue;
      schedules.push_back(Schedule({2026, 12, 25}, 1, move, saturday));
      schedules.push_back(Schedule({2026, 12, 25}, 2, move, saturday));
      popups.push_back(Popup({2026, 12, 25}, 9, 0, 1, move, saturday));
      popups.push_back(Popup({2026, 12, 25}, 23, 59, 2, move, saturday));
    }
  }
  // One-day entries across the two-digit year window.
  for (int year : {1957, 1999, 2000, 2026, 2029, 2056}) {
    schedules.push_back(Schedule({year, 3, 1}, 0));
    popups.push_back(Popup({year, 3, 1}, 0, 0, 0));
  }
  // Every week set: flags and masks, the last week alone.
  for (int bits = 1; bits <= 32; ++bits) {
    if (bits > kEveryWeek && bits != kLastWeek) continue;
    ScheduleEditorState s = Schedule({2026, 12, 1}, 3);  // first Tuesday
    s.weeks = WeekBoxes::FromBits(bits);
    schedules.push_back(s);
    PopupEditorState p = Popup({2026, 12, 1}, 18, 0, 3);
    p.weeks = WeekBoxes::FromBits(bits);
    popups.push_back(p);
  }
  popups.push_back(Popup(today, 7, 30, 4));
  PopupEditorState elapsed = Popup(today, 14, 3, 0);
  elapsed.elapsed = true;
  elapsed.seconds = 3456000;
  popups.push_back(elapsed);

  for (ScheduleEditorState s : schedules) {
    const std::string name = EvaluateScheduleEditor(s).name;
    const auto opening = OpeningForName(name, today, 14, 3);
    ASSERT_TRUE(opening) << name;
    ASSERT_FALSE(opening->is_popup()) << name;
    ScheduleEditorState back = std::get<ScheduleEditorState>(opening->state);
    EXPECT_EQ(EvaluateScheduleEditor(back).name, name);
    EXPECT_EQ(back.tab, s.tab) << name;
    EXPECT_EQ(back.move, s.move) << name;
    EXPECT_EQ(back.saturday_is_holiday, s.saturday_is_holiday) << name;
    EXPECT_EQ(back.weeks, s.weeks) << name;
    if (s.tab == 0) {
      EXPECT_EQ(back.date, s.date) << name;
    }
  }
  for (PopupEditorState s : popups) {
    const std::string name = EvaluatePopupEditor(s, 0, kMonday).name;
    const auto opening = OpeningForName(name, today, 14, 3);
    ASSERT_TRUE(opening) << name;
    ASSERT_TRUE(opening->is_popup()) << name;
    PopupEditorState back = std::get<PopupEditorState>(opening->state);
    EXPECT_EQ(EvaluatePopupEditor(back, 0, kMonday).name, name);
    EXPECT_EQ(back.tab, s.tab) << name;
    EXPECT_EQ(back.elapsed, s.elapsed) << name;
    EXPECT_EQ(back.hour, s.hour) << name;
    EXPECT_EQ(back.minute, s.minute) << name;
    EXPECT_EQ(back.weeks, s.weeks) << name;
  }
}

TEST(EditorOpening, PlacesUndatedEntriesOnADayThatHasThem) {
  const CivilDate today{2026, 4, 10};
  struct Case {
    const char* name;
    CivilDate date;
    int tab;
  } cases[] = {
      // 29 February in a common year: the next leap year.
      {"____0229.__", {2028, 2, 29}, 1},
      {"09000229.~~", {2028, 2, 29}, 1},
      // The 31st in April: May.
      {"______31.__", {2026, 5, 31}, 2},
      {"1200__31.-~", {2026, 5, 31}, 2},
      {"____0410.26", {2026, 4, 10}, 0},
      {"____0115.71", {1971, 1, 15}, 0},
      // Weekly: the first such weekday of this month.
      {"~_~_~___.TUE", {2026, 4, 7}, 3},
      {"0900____.tue", {2026, 4, 7}, 3},
      {"0730____.__", {2026, 4, 10}, 4},
  };
  for (const Case& c : cases) {
    const auto opening = OpeningForName(c.name, today, 8, 15);
    ASSERT_TRUE(opening) << c.name;
    const CivilDate date =
        opening->is_popup()
            ? std::get<PopupEditorState>(opening->state).date
            : std::get<ScheduleEditorState>(opening->state).date;
    const int tab = opening->is_popup()
                        ? std::get<PopupEditorState>(opening->state).tab
                        : std::get<ScheduleEditorState>(opening->state).tab;
    EXPECT_EQ(date, c.date) << c.name;
    EXPECT_EQ(tab, c.tab) << c.name;
  }
  const auto weeks = OpeningForName("~_~_~___.TUE", today, 0, 0);
  EXPECT_EQ(std::get<ScheduleEditorState>(weeks->state).weeks, Weeks({2, 4}));
  const auto w = OpeningForName("W0000600.__", today, 8, 15);
  ASSERT_TRUE(w);
  const PopupEditorState& p = std::get<PopupEditorState>(w->state);
  EXPECT_TRUE(p.elapsed);
  EXPECT_EQ(p.seconds, 600);
  EXPECT_EQ(p.hour, 8);
  EXPECT_EQ(p.date, today);
}

TEST(EditorOpening, NamesNoEditorWritesOpenNothing) {
  const char* names[] = {
      "0900__31.MON",   // all five weeks are the every-week name
      "0900__00.MON",   // no week
      "0900__40.MON",   // bits beyond the last week
      "W0000605.__",    // not a multiple of ten
      "W0000030.__",    // below the editor's minimum
      "W9999990.__",    // above its maximum
      "BORN0229.1980",  // a birthday
      "____0229.25",    // 29 February 2025 never was
      "notes.txt",     "", "____", "0900____.XYZ", "2400____.__",
  };
  for (const char* name : names) {
    EXPECT_FALSE(OpeningForName(name, {2026, 12, 10}, 9, 0)) << name;
  }
}

}  // namespace
}  // namespace mirokata
