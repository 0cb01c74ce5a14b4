#include "mainwin/month_grid.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "calendar/gregorian.h"
#include "mainwin/month_grid_fixture.h"
#include "mainwin/month_grid_recolour.h"

namespace mirokata {
namespace {

using testing::GridFolders;

// The value a cell must hold, worked out from day numbers rather than
// from month lengths: the first body cell is the Sunday on or before the
// 1st (the 1st itself when it is a Sunday).
int ExpectedValue(int year, int month, int column, int row) {
  const int32_t first = DayNumber(year, month, 1);
  const int f = WeekdayOf(first);
  const CivilDate d = CivilDateOf(first - (f - 1) + 7 * (row - 1) + column);
  if (d.month == month) return d.day;
  const bool before = d.year < year || (d.year == year && d.month < month);
  return d.day + (before ? 100 : 200);
}

struct MonthCase {
  int year;
  int month;
  int first_weekday;
};

class MonthLayoutTest : public ::testing::TestWithParam<MonthCase> {};

TEST_P(MonthLayoutTest, CellsAndSelectionFollowTheFirstWeekday) {
  const MonthCase c = GetParam();
  MonthGridModel grid(c.year, c.month, 1);
  ASSERT_EQ(grid.first_weekday(), c.first_weekday);
  for (int r = 1; r < kGridRows; ++r) {
    for (int col = 0; col < kGridColumns; ++col) {
      const int v = grid.ValueAt(col, r);
      EXPECT_EQ(v, ExpectedValue(c.year, c.month, col, r))
          << "cell " << col << "," << r;
      EXPECT_EQ(grid.CanSelect(col, r), IsSelectableValue(v));
    }
  }
  for (int col = 0; col < kGridColumns; ++col) {
    EXPECT_FALSE(grid.CanSelect(col, 0)) << "header " << col;
  }
  // Every day's own cell holds that day and selecting it selects the day.
  for (int d = 1; d <= grid.days_in_month(); ++d) {
    const GridCell cell = CellOfDay(grid.first_weekday(), d);
    ASSERT_EQ(grid.ValueAt(cell.column, cell.row), d) << "day " << d;
    EXPECT_EQ(cell.column, WeekdayOf(DayNumber(c.year, c.month, d)) - 1);
    ASSERT_TRUE(grid.SelectCell(cell.column, cell.row));
    EXPECT_EQ(grid.day(), d);
    EXPECT_EQ(grid.SelectedCell(), cell);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachWeekday, MonthLayoutTest,
    ::testing::Values(MonthCase{2000, 10, kSunday}, MonthCase{2000, 5, kMonday},
                      MonthCase{2000, 2, kTuesday},
                      MonthCase{2000, 3, kWednesday},  // after 29 February
                      MonthCase{2000, 6, kThursday},
                      MonthCase{2000, 9, kFriday},
                      MonthCase{2000, 1, kSaturday}));  // after December

TEST(MonthGridTest, January2000ShowsTheEndOfDecemberGreyed) {
  MonthGridModel grid(2000, 1, 1);
  std::vector<std::string> first_row;
  for (int c = 0; c < kGridColumns; ++c) first_row.push_back(grid.TextAt(c, 1));
  EXPECT_EQ(first_row, (std::vector<std::string>{"26", "27", "28", "29", "30",
                                                 "31", "1"}));
  EXPECT_EQ(grid.ValueAt(0, 1), 126);
  EXPECT_EQ(grid.ValueAt(6, 6), 205);  // 5 February
  grid.set_show_neighbor(false);
  EXPECT_EQ(grid.TextAt(0, 1), "");
  EXPECT_EQ(grid.TextAt(6, 1), "1");
}

TEST(MonthGridTest, NeighbourAndHeaderCellsKeepTheSelection) {
  MonthGridModel grid(2000, 1, 15);
  int changes = 0;
  grid.set_on_change([&] { ++changes; });
  EXPECT_FALSE(grid.SelectCell(0, 1));  // 26 December
  EXPECT_FALSE(grid.SelectCell(3, 0));  // header
  EXPECT_FALSE(grid.SelectCell(6, 6));  // 5 February
  EXPECT_EQ(grid.day(), 15);
  EXPECT_EQ(changes, 0);
}

TEST(MonthGridTest, SetterRules) {
  MonthGridModel grid(2000, 1, 31);
  int changes = 0;
  grid.set_on_change([&] { ++changes; });

  grid.SetMonth(2);  // 31 January -> 29 February of a leap year
  EXPECT_EQ(grid.day(), 29);
  EXPECT_EQ(changes, 1);
  grid.SetYear(2001);  // -> 28 February of a common year
  EXPECT_EQ(grid.day(), 28);
  EXPECT_EQ(grid.first_weekday(), kThursday);
  EXPECT_EQ(changes, 2);
  grid.SetMonth(3);  // a day the new month has stays
  EXPECT_EQ(grid.day(), 28);
  EXPECT_EQ(changes, 3);

  // Days outside the month and months and years out of range are ignored,
  // without a change.
  for (int bad : {0, 32, -1}) grid.SetDay(bad);
  grid.SetMonth(2);
  grid.SetDay(29);
  grid.SetMonth(0);
  grid.SetMonth(13);
  grid.SetYear(0);
  EXPECT_EQ(grid.year(), 2001);
  EXPECT_EQ(grid.month(), 2);
  EXPECT_EQ(grid.day(), 28);
  EXPECT_EQ(changes, 4);

  // Setting the same day again still raises the change.
  grid.SetDay(28);
  EXPECT_EQ(changes, 5);
  EXPECT_EQ(grid.day_of_week(), kWednesday);
  EXPECT_FALSE(grid.SetDate(2001, 2, 29));
  EXPECT_TRUE(grid.SetDate(1998, 5, 4));
  EXPECT_EQ(changes, 6);
  EXPECT_EQ(grid.day_of_week(), kMonday);
}

TEST(MonthGridTest, ColoursAreOneIndexedArray) {
  MonthGridModel grid(2000, 1, 1);
  EXPECT_EQ(grid.colors(), kComponentGridColors);
  grid.SetColor(kSaturdayColor, kClFuchsia);
  grid.SetColor(kGridColorCount, kClWhite);  // out of range: ignored
  grid.SetColor(-1, kClWhite);
  EXPECT_EQ(grid.Color(kSaturdayColor), kClFuchsia);
  EXPECT_EQ(grid.Color(kGridColorCount), kClBlack);
  GridColors expected = kComponentGridColors;
  expected[kSaturdayColor] = kClFuchsia;
  EXPECT_EQ(grid.colors(), expected);
}

TEST(MonthGridTest, MainWindowColoursComeFromTheSettings) {
  GridFolders f;
  EXPECT_EQ(ReadGridColors(f.settings()), kMainWindowGridColors);
  f.settings().WriteInteger(kCalendarExSection, "saturdaycolor", 0x00FF00);
  // System colours are written with the high bit, as negative numbers.
  f.settings().WriteString(kCalendarExSection, "WeekdayColor", "-2147483640");
  GridColors c = ReadGridColors(f.settings());
  EXPECT_EQ(c[kSaturdayColor], kClLime);
  EXPECT_EQ(c[kWeekdayColor], kClWindowText);
  EXPECT_EQ(c[kSundayColor], kClRed);
}

TEST(MonthGridTest, FlagPrecedence) {
  struct Case {
    DayFlags flags;
    int color;
  } cases[] = {
      {0, kWeekdayColor},
      {kDaySunday, kSundayColor},
      {kDaySaturday, kSaturdayColor},
      {kDaySaturday | kDayListed, kHolidayColor},
      {kDaySunday | kDaySubstitute, kHolidayColor},
      {kDayEquinox, kHolidayColor},
      {kDaySunday | kDayListed | kDaySpecial, kSpecialDayColor},
      {kDaySpecial, kSpecialDayColor},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ColorIndexOfFlags(c.flags), c.color) << "flags " << c.flags;
  }
}

// The colour of each day against ClassifyDay, with the grid's lists filled
// by the re-colouring.
class DayColourTest : public ::testing::Test {
 protected:
  int ColourOf(int y, int m, int d, std::vector<std::string> special = {}) {
    MonthGridModel grid(y, m, d);
    grid.SetLists(HolidaysOfMonth(f_.settings(), y, m), std::move(special));
    const GridCell cell = CellOfDay(grid.first_weekday(), d);
    const int index = grid.ColorIndexAt(f_.settings(), cell.column, cell.row);
    EXPECT_EQ(index, ColorIndexOfFlags(
                         ClassifyDay(f_.settings(), grid.lists(), y, m, d)));
    return index;
  }
  GridFolders f_;
};

TEST_F(DayColourTest, ListRules) {
  f_.UseListRules();
  struct Case {
    int y, m, d;
    int color;
  } cases[] = {
      {2000, 1, 1, kHolidayColor},  // a Saturday holiday
      {2000, 1, 2, kSundayColor},
      {2000, 1, 8, kSaturdayColor},
      {2000, 1, 10, kHolidayColor},  // second Monday
      {2000, 1, 11, kWeekdayColor},
      {1998, 5, 4, kHolidayColor},  // substitute, 4 May not listed
      {1998, 5, 6, kWeekdayColor},
      // The equinox of 2012 fell on Saturday the 22nd in Japan: the grid's
      // own equinox mark and the month's item agree on that day.
      {2012, 9, 22, kHolidayColor},
      {2012, 9, 23, kSundayColor},
      {2012, 9, 24, kWeekdayColor},
      {2005, 3, 20, kHolidayColor},  // a Sunday equinox
      {2005, 3, 21, kHolidayColor},  // and its substitute Monday
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ColourOf(c.y, c.m, c.d), c.color)
        << c.y << "/" << c.m << "/" << c.d;
  }
  GridDayLists lists;
  lists.type_of_day = HolidaysOfMonth(f_.settings(), 1998, 5);
  const DayFlags may4 = ClassifyDay(f_.settings(), lists, 1998, 5, 4);
  EXPECT_TRUE(may4 & kDaySubstitute);
  EXPECT_FALSE(may4 & kDayListed);
}

TEST_F(DayColourTest, SpecialDaysWinAndNeighboursAndHeaderHaveTheirOwn) {
  f_.UseListRules();
  EXPECT_EQ(ColourOf(2000, 1, 1, {"1,1"}), kSpecialDayColor);
  EXPECT_EQ(ColourOf(2000, 1, 2, {"1,2,extra"}), kSpecialDayColor);
  EXPECT_EQ(ColourOf(2000, 1, 3, {"1,30", "2,3"}), kWeekdayColor);
  MonthGridModel grid(2000, 1, 1);
  EXPECT_EQ(grid.ColorIndexAt(f_.settings(), 0, 1), kNeighborDayColor);
  EXPECT_EQ(grid.ColorIndexAt(f_.settings(), 0, 0), -1);
}

TEST_F(DayColourTest, LawModeStillColoursHolidays) {
  // The default mode: every holiday comes from the month's items.
  EnsureDefaultHolidays(f_.settings());
  EXPECT_EQ(ColourOf(1998, 5, 4), kHolidayColor);
  EXPECT_EQ(ColourOf(2026, 9, 21), kHolidayColor);  // Respect for the Aged
  EXPECT_EQ(ColourOf(2026, 9, 23), kHolidayColor);  // autumnal equinox
  EXPECT_EQ(ColourOf(2026, 9, 24), kWeekdayColor);
}

TEST(MonthGridTest, TheDroppedDaysOf1582ArePlainWeekdays) {
  GridFolders f;
  MonthGridModel grid(1582, 10, 1);
  EXPECT_EQ(grid.days_in_month(), 31);
  std::vector<int> colours = grid.DayColorIndexes(f.settings());
  ASSERT_EQ(colours.size(), 31u);
  for (int d = 5; d <= 14; ++d) EXPECT_EQ(colours[d - 1], kWeekdayColor);
  grid.SetDay(10);
  EXPECT_GE(grid.day_of_week(), 1);
  EXPECT_LE(grid.day_of_week(), 7);
}

// Re-colouring from the entry files.
class RecolourTest : public ::testing::Test {
 protected:
  void SetUp() override {
    f_.UseListRules();
    f_.ChooseDataFolder();
    // September 2026: 1st a Tuesday.
    f_.PutAll({"BORN0903.1980",  // birthday on the 3rd
               "____0905.26",    // one-day on the 5th
               "____0907.__",    // yearly on the 7th
               "______10.__",    // monthly on the 10th
               "~_~~~___.WED",   // second Wednesday: the 9th
               "____0905.25",    // another year's one-day: nothing
               "0900__11.__"});  // a popup: never a mark
  }
  std::set<std::string> Marks(int y, int m) {
    DataFolderEntries entries(f_.settings());
    MonthGridModel grid(y, m, 1);
    RecolourMonth(f_.settings(), entries.Current(), grid);
    EXPECT_EQ(grid.type_of_day_list(), HolidaysOfMonth(f_.settings(), y, m));
    return {grid.special_day_list().begin(), grid.special_day_list().end()};
  }
  GridFolders f_;
};

TEST_F(RecolourTest, EachSwitchTakesOutItsKind) {
  struct Case {
    const char* key;
    std::set<std::string> marks;
  } cases[] = {
      {nullptr, {"9,3", "9,5", "9,7", "9,9", "9,10"}},
      {"CanCol_All", {}},
      {"CanCol_Born", {"9,5", "9,7", "9,9", "9,10"}},
      {"CanCol_todo", {"9,3", "9,7", "9,9", "9,10"}},
      {"CanCol_Day", {"9,3", "9,5", "9,9", "9,10"}},
      {"CanCol_Mon", {"9,3", "9,5", "9,7", "9,9"}},
      {"CanCol_Week", {"9,3", "9,5", "9,7", "9,10"}},
  };
  for (const Case& c : cases) {
    for (const char* key : {"CanCol_All", "CanCol_Born", "CanCol_todo",
                            "CanCol_Day", "CanCol_Mon", "CanCol_Week"}) {
      f_.settings().WriteBool(kCalendarExSection, key,
                              c.key != nullptr && std::string(c.key) == key);
    }
    EXPECT_EQ(Marks(2026, 9), c.marks) << (c.key ? c.key : "none");
  }
}

TEST_F(RecolourTest, AllSwitchKeepsHolidays) {
  f_.settings().WriteBool(kCalendarExSection, "CanCol_All", true);
  DataFolderEntries entries(f_.settings());
  MonthGridModel grid(2026, 9, 1);
  RecolourMonth(f_.settings(), entries.Current(), grid);
  EXPECT_TRUE(grid.special_day_list().empty());
  std::vector<int> colours = grid.DayColorIndexes(f_.settings());
  EXPECT_EQ(colours[22], kHolidayColor);  // 23 September
  EXPECT_EQ(colours[2], kWeekdayColor);   // the birthday is not marked
}

TEST_F(RecolourTest, MovedEntriesMarkTheDayTheyMoveTo) {
  // 3-5 May 2010 are holidays, Thursday 6 May a working day.
  f_.PutAll({"_~__0503.__",    // next working day: 6 May
             "~_~~__01.__",    // 1 May 2010 is a Saturday: 30 April
             "~___0502.__"});  // a Sunday: back to Saturday 1 May
  // With the fixture's monthly entry on the 10th and the second
  // Wednesday, the 12th.
  EXPECT_EQ(Marks(2010, 5),
            (std::set<std::string>{"5,1", "5,6", "5,10", "5,12"}));
  std::set<std::string> april = Marks(2010, 4);
  EXPECT_TRUE(april.count("4,30"));
  EXPECT_FALSE(april.count("4,29"));  // a holiday itself
  // Months after the one with the 1st on a working day keep it there.
  EXPECT_TRUE(Marks(2010, 6).count("6,1"));
}

TEST_F(RecolourTest, BirthdaysWithUnreadableYearsStillMark) {
  f_.Put("BORN0915.19x0");
  EXPECT_TRUE(Marks(2026, 9).count("9,15"));
}

TEST_F(RecolourTest, OneLookAtTheFolderRightAfterASave) {
  DataFolderEntries entries(f_.settings());
  EntryFolder* folder = entries.Current();
  MonthGridModel grid(2026, 9, 1);
  f_.Put("____0916.26");  // the folder's time is now: no scan can be trusted
  const uint64_t scans = folder->index().scan_count();
  RecolourMonth(f_.settings(), folder, grid);
  EXPECT_LE(folder->index().scan_count() - scans, 1u);
  EXPECT_TRUE(grid.IsSpecialDay(9, 16));
}

TEST_F(RecolourTest, NoDataFolderMarksNothing) {
  f_.settings().WriteString("Calendar", "Directory", ".");
  EXPECT_TRUE(Marks(2026, 9).empty());
  f_.settings().WriteString("Calendar", "Directory", f_.data() + "/gone");
  EXPECT_TRUE(Marks(2026, 9).empty());
}

TEST(RecolourNamesTest, KindsOfNames) {
  RecolourSwitches none;
  for (const char* name :
       {"BORN0101.1990", "____0101.99", "____0101.__", "~_~~0101.__",
        "______01.__", "_~____01.__", "________.MON", "~~~~~___.FRI"}) {
    EXPECT_TRUE(IsMarkedBy(name, none)) << name;
  }
  RecolourSwitches day_off;
  day_off.day = true;
  EXPECT_FALSE(IsMarkedBy("~_~~0101.__", day_off));
  EXPECT_TRUE(IsMarkedBy("~_~~__01.__", day_off));
  EXPECT_FALSE(IsMarkedBy("0900____.__", none));
  EXPECT_FALSE(IsMarkedBy("W0000600.__", none));
}

}  // namespace
}  // namespace mirokata
