#include "mainwin/day_panel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mainwin/day_pop_view_layout.h"
#include "mainwin/month_grid.h"
#include "mainwin/month_grid_fixture.h"
#include "mainwin/month_grid_recolour.h"
#include "platform/testing/fake_clock.h"
#include "platform/text_codec.h"
#include "schedule/entry_text.h"

namespace mirokata {
namespace {

using testing::GridFolders;
using Lines = std::vector<std::string>;

class DayInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    f_.UseListRules();
    f_.ChooseDataFolder();
  }
  Lines Info(int y, int m, int d, bool qreki = false) {
    DataFolderEntries entries(f_.settings());
    return BuildDayInfo(f_.settings(), entries.Current(), {y, m, d}, qreki,
                        HolidayNamesOf(f_.settings(), y, m, d),
                        FifthWeekOrder::kUnderscoreFirst);
  }
  GridFolders f_;
};

TEST_F(DayInfoTest, RokuyoFirstThenHolidays) {
  EXPECT_EQ(Info(2000, 1, 1, true), (Lines{"【大安】", "【元旦】"}));
  f_.settings().WriteString(kHolidaySection, "01/01", "");
  EXPECT_EQ(Info(2000, 1, 1, true), (Lines{"【大安】"}));
  EXPECT_EQ(Info(2000, 1, 1, false), Lines{});
}

TEST_F(DayInfoTest, May4th1998ListsBothNamesAndSkipsHolidayMovers) {
  f_.PutAll({"____0504.__",     // yearly, no move: listed
             "~___0504.__",     // would move off the holiday: not here
             "_~~~__04.__",     // the same, monthly
             "_~__0503.__",     // moves from 3 May past 4 and 5 May
             "________.MON"});  // every Monday
  EXPECT_EQ(Info(1998, 5, 4), (Lines{"【国民の休日】", "【振替休日】",
                                     "____0504.__", "________.MON"}));
  // The movers land on Wednesday 6 May; the Saturday code first.
  EXPECT_EQ(Info(1998, 5, 6), (Lines{"_~~~__04.__", "_~__0503.__"}));
  EXPECT_EQ(Info(1998, 5, 2), (Lines{"~___0504.__"}));
}

TEST_F(DayInfoTest, BirthdayHeaderThenItsText) {
  f_.Put("BORN0115.1970", "{\\rtf1\\ansi\\deff0 Happy\\par birthday}");
  f_.Put("____0115.00", Utf8ToCp932("会議"));
  f_.settings().WriteString(kHolidaySection, "01/15", "");
  EXPECT_EQ(Info(2000, 1, 15), (Lines{"【30歳の誕生日】1970/01/15 (木)",
                                      "Happy\nbirthday", "会議"}));
}

TEST_F(DayInfoTest, AHugeEntryShowsOnlyItsStart) {
  std::string huge;
  while (huge.size() < 2 * 1024 * 1024) huge += "a long day\r\n";
  f_.Put("____0115.__", huge);
  const Lines lines = Info(2001, 1, 15);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_LE(lines[0].size(), kEntryDisplayBytes);
  EXPECT_TRUE(lines[0].starts_with("a long day\na long day\n"));
  EXPECT_TRUE(lines[0].ends_with(std::string("day\n") + kEntryCutNote));
}

TEST_F(DayInfoTest, BirthdayWithoutAReadableYearStillShowsItsText) {
  // The age cannot be computed; the text and the entries after it stay.
  f_.Put("BORN0115.19x0", "ohne Jahr");
  f_.Put("BORN0115.1980", "eighty");
  f_.Put("____0115.__", "yearly");
  const Lines lines = Info(2001, 1, 15);
  EXPECT_EQ(lines, (Lines{"【21歳の誕生日】1980/01/15 (火)", "eighty",
                          "ohne Jahr", "yearly"}));
  EXPECT_EQ(BirthdayHeader("BORN0229.1981", {2004, 2, 29}),
            "【23歳の誕生日】1981/02/29");
}

TEST_F(DayInfoTest, OrderOfTheMatchingRule) {
  // Thursday 30 April 2026: week 5 and the last Thursday.
  f_.PutAll({"~~~~~___.THU", "~~~_~___.THU" /* week 4 only */, "~_______.THU",
             "_~~~____.THU", "________.THU", "____0430.26", "______30.__",
             "____0430.__", "BORN0430.2000"});
  f_.settings().WriteString(kHolidaySection, "04/29", "");
  EXPECT_EQ(Info(2026, 4, 30),
            (Lines{"【26歳の誕生日】2000/04/30 (日)", "BORN0430.2000",
                   "____0430.26", "____0430.__", "______30.__", "________.THU",
                   "_~~~____.THU", "~_______.THU", "~~~~~___.THU"}));
}

TEST_F(DayInfoTest, NoDataFolderGivesOnlyTheCalendarLines) {
  f_.Put("____0101.__");
  f_.settings().WriteString("Calendar", "Directory", ".");
  EXPECT_EQ(Info(2000, 1, 1), (Lines{"【元旦】"}));
}

// The change handler as the main window drives it.
class DayPanelTest : public ::testing::Test {
 protected:
  DayPanelTest()
      : entries_(f_.settings()),
        panel_(f_.settings(), clock_, entries_),
        grid_(2000, 1, 15) {
    f_.UseListRules();
    f_.ChooseDataFolder();
    grid_.SetColors({1, 2, 3, 4, 5, 6});
    clock_.Set(2000, 1, 15, 12, 0);
  }
  DayPanelState Select(int y, int m, int d) {
    grid_.SetDate(y, m, d);
    return panel_.Change(grid_);
  }
  GridFolders f_;
  FakeClock clock_;
  DataFolderEntries entries_;
  DayPanel panel_;
  MonthGridModel grid_;
};

TEST_F(DayPanelTest, CaptionsAndTheirColours) {
  struct Case {
    int y, m, d;
    ColorValue back;
    bool today;
  } cases[] = {
      {2000, 1, 15, 3, true},   // Saturday: SaturdayColor
      {2000, 1, 16, 2, false},  // Sunday
      {2000, 1, 17, 1, false},  // weekday
      {2000, 1, 10, 4, false},  // holiday: 成人の日
      {2000, 1, 20, 5, false},  // special day
      {2000, 1, 1, 5, false},   // a holiday with an entry: special wins
  };
  f_.Put("____0120.__");
  f_.Put("____0101.__");
  for (const Case& c : cases) {
    const DayPanelState v = Select(c.y, c.m, c.d);
    EXPECT_EQ(v.month_caption_back, c.back) << c.d;
    EXPECT_EQ(v.month_caption_text, kClWindow);
    EXPECT_EQ(v.today_button_enabled, !c.today) << c.d;
    EXPECT_EQ(v.year_caption, "2000");
    EXPECT_EQ(v.month_caption, "1");
  }
}

TEST_F(DayPanelTest, ReColoursOnlyWhenTheMonthChanges) {
  EXPECT_TRUE(Select(2000, 1, 15).recoloured);
  EXPECT_FALSE(Select(2000, 1, 16).recoloured);
  f_.Put("____0117.__");  // not seen until the month is coloured again
  EXPECT_FALSE(Select(2000, 1, 17).month_caption_back == 5);
  EXPECT_TRUE(Select(2001, 1, 17).recoloured);
  EXPECT_TRUE(Select(2000, 1, 17).recoloured);
  EXPECT_EQ(Select(2000, 1, 17).month_caption_back, 5u);
  panel_.ForgetShownMonth();
  EXPECT_TRUE(Select(2000, 1, 17).recoloured);
}

TEST_F(DayPanelTest, OneLookAtTheFolderPerChangeRightAfterASave) {
  f_.settings().WriteBool(kCalendarExSection, kPopViewKey, true);
  Select(2000, 1, 15);
  f_.Put("____0220.__", "saved");  // the folder's time is now
  const uint64_t scans = entries_.Current()->index().scan_count();
  // A new month: the re-colouring and the day's lines.
  const DayPanelState v = Select(2000, 2, 20);
  EXPECT_TRUE(v.recoloured);
  EXPECT_EQ(v.info_lines.back(), "saved");
  EXPECT_LE(entries_.Current()->index().scan_count() - scans, 1u);
}

TEST_F(DayPanelTest, PopViewOffBuildsNothingAndOpensNothing) {
  f_.Put("____0120.__");
  panel_.Click();
  const DayPanelState v = Select(2000, 1, 20);
  EXPECT_FALSE(v.info_built);
  EXPECT_TRUE(v.info_lines.empty());
  EXPECT_FALSE(v.open_pop_view);
  EXPECT_EQ(v.month_caption_back, 5u);  // the caption still shows it
}

TEST_F(DayPanelTest, AClickOpensThePopViewOnce) {
  f_.settings().WriteBool(kCalendarExSection, kPopViewKey, true);
  f_.Put("____0120.__", "meeting");
  // Arrow keys and month buttons build the lines but open nothing.
  DayPanelState v = Select(2000, 1, 20);
  EXPECT_TRUE(v.info_built);
  EXPECT_EQ(v.info_lines, Lines{"meeting"});
  EXPECT_FALSE(v.open_pop_view);
  panel_.Click();
  EXPECT_TRUE(Select(2000, 1, 20).open_pop_view);
  EXPECT_FALSE(Select(2000, 1, 21).open_pop_view);
}

TEST_F(DayPanelTest, InfoColoursBySignOfTheDistanceToToday) {
  f_.settings().WriteBool(kCalendarExSection, kPopViewKey, true);
  f_.settings().WriteInteger("To_do", "FutureColor", 0x123456);
  struct Case {
    int d;
    int distance;
    DayInfoColors colors;
  } cases[] = {
      {12, -3, {kClWhite, kClActiveCaption}},
      {15, 0, {kClWhite, kClBtnShadow}},
      {16, 1, {0x123456, kClMenu}},
  };
  for (const Case& c : cases) {
    const DayPanelState v = Select(2000, 1, c.d);
    EXPECT_EQ(v.days_from_today, c.distance);
    EXPECT_EQ(v.info_colors.text, c.colors.text) << c.d;
    EXPECT_EQ(v.info_colors.back, c.colors.back) << c.d;
  }
}

TEST_F(DayPanelTest, TheDroppedDaysOf1582ShowWithoutErrors) {
  f_.settings().WriteBool(kCalendarExSection, kPopViewKey, true);
  f_.settings().WriteBool("Form", kQrekiKey, true);
  f_.Put("______10.__");
  const DayPanelState gap = Select(1582, 10, 10);
  EXPECT_TRUE(gap.recoloured);
  EXPECT_TRUE(gap.info_lines.empty());
  EXPECT_EQ(gap.month_caption, "10");
  const DayPanelState after = Select(1582, 10, 15);  // a Friday again
  EXPECT_EQ(after.info_lines.size(), 1u);  // the rokuyo; the 10th is gone
  EXPECT_EQ(after.month_caption_back, 1u);
}

TEST_F(DayPanelTest, DoubleClickActions) {
  struct Case {
    const char* value;
    DayAction action;
  } cases[] = {
      {nullptr, DayAction::kPopupEditor}, {"1", DayAction::kScheduleEditor},
      {"2", DayAction::kScheduleManager}, {"3", DayAction::kDateJump},
      {"4", DayAction::kDiaryList},       {"5", DayAction::kNothing},
      {"-1", DayAction::kNothing},        {"x", DayAction::kPopupEditor},
  };
  for (const Case& c : cases) {
    if (c.value) f_.settings().WriteString("Setup", kDoubleClickKey, c.value);
    EXPECT_EQ(panel_.DoubleClick(), c.action) << (c.value ? c.value : "-");
  }
}

TEST_F(DayPanelTest, BirthdayWeekdayInTheDesktopLocale) {
  f_.Put("BORN0115.1970", "born");
  f_.settings().WriteString(kHolidaySection, "01/15", "");
  f_.settings().WriteBool(kCalendarExSection, kPopViewKey, true);
  panel_.SetShortWeekdayNames(
      {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"});
  EXPECT_EQ(Select(2000, 1, 15).info_lines,
            (Lines{"【30歳の誕生日】1970/01/15 (Thu)", "born"}));
}

TEST(PopViewLayoutTest, Caption) {
  EXPECT_EQ(PopViewCaption({2000, 1, 12}, -3), "2000/01/12(水)　3日前");
  EXPECT_EQ(PopViewCaption({2000, 1, 15}, 0), "2000/01/15(土)");
  EXPECT_EQ(PopViewCaption({2000, 2, 14}, 30), "2000/02/14(月)　30日後");
}

TEST(PopViewLayoutTest, PositionStaysOnTheScreen) {
  const ScreenRect screen{0, 0, 1280, 800};
  struct Case {
    int px, py, w, h;
    ScreenRect screen;
    PopViewPoint at;
  } cases[] = {
      {100, 100, 240, 150, screen, {120, 120}},
      {1270, 790, 240, 150, screen, {1040, 650}},  // lower right corner
      {1270, 10, 240, 150, screen, {1040, 30}},
      {-50, -40, 240, 150, screen, {0, 0}},
      {10, 10, 2000, 900, screen, {0, 0}},  // larger than the screen
      {1500, 100, 240, 150, {1280, 24, 1024, 744}, {1520, 120}},
      {2300, 760, 240, 150, {1280, 24, 1024, 744}, {2064, 618}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PopViewPosition(c.px, c.py, c.w, c.h, c.screen), c.at)
        << c.px << "," << c.py;
  }
}

// The pop-view opens beside the main window it was clicked on, never over
// it, so the next day to click stays in sight.
TEST(PopViewLayoutTest, PositionLeavesTheMainWindowUncovered) {
  const ScreenRect screen{0, 0, 1280, 800};
  struct Case {
    const char* where;
    int px, py;
    ScreenRect screen;
    ScreenRect main;
    PopViewPoint at;
  } cases[] = {
      // The default place: the last row of the grid, the view below it
      // (nearer than left of it).
      {"right edge", 1100, 280, screen, {1040, 0, 240, 320}, {940, 320}},
      {"left edge", 100, 280, screen, {0, 0, 240, 320}, {120, 320}},
      // A tall window: right of it and below it are as near; right wins.
      {"top", 500, 200, screen, {400, 0, 300, 400}, {700, 220}},
      // No room below on the screen: beside it.
      {"bottom", 600, 700, screen, {500, 500, 300, 300}, {800, 640}},
      // The main window away from the pointer's view: nothing moves.
      {"apart", 100, 100, screen, {900, 400, 240, 320}, {120, 120}},
      {"no main window", 1100, 280, screen, {}, {940, 300}},
      // Room nowhere: the side that covers least.
      {"small screen",
       500,
       300,
       {0, 0, 800, 600},
       {300, 0, 400, 600},
       {0, 320}},
  };
  for (const Case& c : cases) {
    const PopViewPoint at =
        PopViewPosition(c.px, c.py, 340, 160, c.screen, c.main);
    EXPECT_EQ(at, c.at) << c.where << ": " << at.x << "," << at.y;
  }
}

}  // namespace
}  // namespace mirokata
