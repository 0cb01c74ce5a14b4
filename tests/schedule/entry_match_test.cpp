#include "schedule/entry_match.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <tuple>

#include "support/temp_folder.h"

namespace mirokata {
namespace {

using Names = std::vector<std::string>;

// Holidays of the fixture folder's cases: a Saturday New Year (2022), a
// Friday holiday (4 November 2022) and a Sunday New Year followed by its
// substitute Monday (2023).
HolidayTest FixtureHolidays(std::set<std::tuple<int, int, int>> days) {
  return [days = std::move(days)](int y, int m, int d) {
    return days.count({y, m, d}) > 0;
  };
}

HolidayTest StandardHolidays() {
  return FixtureHolidays(
      {{2022, 1, 1}, {2022, 11, 4}, {2023, 1, 1}, {2023, 1, 2}});
}

std::string FixtureFolder() {
  const char* root = std::getenv("MIROKATA_SOURCE_DIR");
  return std::string(root ? root : ".") + "/tests/schedule/data";
}

class FixtureFolderTest : public ::testing::Test {
 protected:
  EntryFolder folder_{FixtureFolder()};
  EntryMatcher matcher_{&folder_, StandardHolidays()};
};

struct DayCase {
  CivilDate date;
  Names expected;
};

TEST_F(FixtureFolderTest, ScheduleNamesForDay) {
  const DayCase cases[] = {
      // 1 January a holiday and 2 January a Sunday: next-day entries wait
      // for Monday 3 January, the Saturday code's as well.
      {{2022, 1, 1}, {}},
      {{2022, 1, 2}, {}},
      {{2022, 1, 3},
       {"_~~~0101.__", "_~~~0102.__", "_~__0101.__", "_~__0102.__"}},
      // The previous-day entries of that weekend move back over the year
      // end, listed from the last day of the run backwards, after the own
      // day's names and before the weekly ones.
      {{2021, 12, 31},
       {"______31.__", "~_~~1231.__", "_~~~1231.__", "~_~~0102.__",
        "~_~~0101.__", "~___0102.__", "~___0101.__", "~~~~~___.FRI"}},
      // Substitute holiday on Monday 2 January 2023: nothing moves onto a
      // holiday; Tuesday receives Saturday, Sunday and Monday in that order
      // for the Saturday code, Sunday and Monday for the other.
      {{2023, 1, 1}, {}},
      {{2023, 1, 2}, {}},
      {{2023, 1, 3},
       {"_~~~1231.__", "_~~~0101.__", "_~~~0102.__", "_~__0101.__",
        "_~__0102.__", "________.TUE", "_~~~____.TUE"}},
      // Previous-day entries go back to Saturday (Sunday-and-holiday code)
      // or to Friday together with Saturday's own (Saturday code).
      {{2022, 12, 31}, {"______31.__", "~___0102.__", "~___0101.__"}},
      {{2022, 12, 30},
       {"~_~~0102.__", "~_~~0101.__", "~_~~1231.__", "~~~~~___.FRI"}},
      // A Saturday stays put for "~___" and moves to Friday for "~_~~", or
      // to Thursday when that Friday is a holiday.
      {{2022, 9, 17}, {"~___0917.__"}},
      {{2022, 9, 16}, {"~_~~0917.__"}},
      {{2022, 11, 5}, {}},
      {{2022, 11, 4}, {}},
      {{2022, 11, 3}, {"~_~~1105.__"}},
      // Non-existent nominal days never occur.
      {{2022, 4, 30}, {}},
      {{2022, 5, 1}, {}},
      {{2023, 2, 28}, {"________.TUE", "~_~_~___.TUE", "~~~~~___.TUE"}},
      {{2023, 3, 1}, {}},  // and a folder named like an entry is no entry
      // Leap-day birthday (found in any letter case; the impossible
      // BORN0229.1981 never is) and the yearly leap-day schedule.
      {{2024, 2, 29}, {"born0229.1980", "____0229.__"}},
      // Last week: 25 February of a common year, and days 29 to 31.
      {{2022, 2, 25}, {"BORN0225.2000", "~~~~~___.FRI"}},
      {{2022, 2, 18}, {}},
      // Week 5: the "~???" group before the "_???" group, the every-week
      // name once, the malformed "_x~~~" never.
      {{2022, 3, 29},
       {"________.TUE", "~~~~____.TUE", "_~~~____.TUE", "~~~~~___.TUE"}},
      {{2022, 6, 29}, {}},
      // A one-day name matches its two-digit year in any century.
      {{1971, 1, 15}, {"____0115.71"}},
      {{2071, 1, 15}, {"____0115.71"}},
      {{2022, 1, 15}, {}},
      // Dates that do not exist or lie outside the supported range.
      {{2023, 2, 29}, {}},
      {{1582, 10, 10}, {}},
      {{10000, 1, 1}, {}},
      {{0, 12, 31}, {}},
  };
  for (const DayCase& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.date.year << "-" << c.date.month << "-" << c.date.day);
    EXPECT_EQ(matcher_.ScheduleNamesForDay(c.date), c.expected);
  }
}

TEST_F(FixtureFolderTest, PopupNamesForMinute) {
  struct MinuteCase {
    CivilDate date;
    int hhnn;
    Names expected;
  } cases[] = {
      // "0900__31.-~": the 31st, or the last working day before it.
      {{2022, 7, 29}, 900, {"0900__31.-~"}},
      {{2022, 7, 30}, 900, {}},
      {{2022, 7, 31}, 900, {}},
      {{2022, 8, 31}, 900, {"0900__31.-~"}},
      {{2022, 8, 31}, 901, {}},
      {{2022, 6, 30}, 900, {}},
      {{2022, 9, 30}, 900, {}},
      // Every week once; the mask of week 2; "ab" matches no week; a
      // lower-case name is found.
      {{2022, 3, 1}, 900, {"0900____.TUE"}},
      {{2022, 3, 8}, 900, {"0900____.TUE", "0900__02.TUE"}},
      {{2022, 3, 8}, 930, {"0930____.tue"}},
      {{2022, 3, 8}, 730, {"0730____.__"}},
      // A fourth Thursday that is the month's last matches mask 08 and 32;
      // one that is not matches 08 only; a fifth matches 16 and 32.
      {{2022, 2, 24}, 1800, {"1800__08.THU", "1800__32.THU"}},
      {{2022, 3, 24}, 1800, {"1800__08.THU"}},
      {{2022, 3, 31}, 1800, {"1800__16.THU", "1800__32.THU"}},
      // Times that are no minute.
      {{2022, 3, 8}, 2400, {}},
      {{2022, 3, 8}, 960, {}},
      {{2022, 3, 8}, -1, {}},
  };
  for (const MinuteCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.date.year << "-" << c.date.month
                                      << "-" << c.date.day << " " << c.hhnn);
    EXPECT_EQ(matcher_.PopupNamesForMinute(c.date, c.hhnn), c.expected);
  }
}

// Thursday 16 June 2022 with holidays on the Tuesday, Wednesday and Friday
// before and after it: every step of both lists has something to say.
class FullOrderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> all = expected_schedules_;
    all.insert(all.end(), expected_popups_.begin(), expected_popups_.end());
    all.insert(all.end(), decoys_.begin(), decoys_.end());
    // Created in reverse so that no order comes from the file system.
    std::reverse(all.begin(), all.end());
    dir_.TouchAll(all);
  }

  const Names expected_schedules_ = {
      "BORN0616.1950", "BORN0616.1990",  // ascending by name
      "____0616.22", "____0616.__", "______16.__", "~___0616.__", "~_____16.__",
      "_~__0616.__", "_~____16.__", "~_~~0616.__", "~_~~__16.__", "_~~~0616.__",
      "_~~~__16.__",
      // Moved in, next-day codes walking back from the earliest day...
      "_~~~0614.__", "_~~~__14.__", "_~~~0615.__", "_~~~__15.__", "_~__0614.__",
      "_~____15.__",
      // ...previous-day codes from the last day of the run.
      "~_~~0619.__", "~_~~__18.__", "~_~~0617.__", "~___0617.__", "~_____17.__",
      "________.THU", "___~~___.THU", "~~_~~___.THU"};
  const Names expected_popups_ = {
      "1200____.__",  "12000616.22", "12000616.__", "1200__16.__",
      "12000616.-_",  "1200__16.-_", "12000616.~_", "1200__16.~_",
      "12000616.-~",  "1200__16.-~", "12000616.~~", "1200__16.~~",
      "12000614.~~",  "1200__14.~~", "12000615.~~", "1200__15.~~",
      "12000614.~_",  "1200__15.~_", "12000619.-~", "1200__18.-~",
      "12000617.-~",  "12000617.-_", "1200__17.-_", "1200____.THU",
      "1200__04.THU", "1200__05.THU"};
  const Names decoys_ = {"____0616.21",   "~_~~0620.__",  "_~__0613.__",
                         "~~~~~___.THU",  "_~~~~___.THU", "1200__32.THU",
                         "1200__02.THU",  "1201____.__",  "12000618.-_",
                         "BORN0615.1990", "~___0618.__"};

  TempFolder dir_;
  EntryFolder folder_{dir_.path()};
  EntryMatcher matcher_{
      &folder_, FixtureHolidays({{2022, 6, 14}, {2022, 6, 15}, {2022, 6, 17}})};
};

TEST_F(FullOrderTest, ScheduleNamesComeInTheListOrder) {
  EXPECT_EQ(matcher_.ScheduleNamesForDay({2022, 6, 16}), expected_schedules_);
}

TEST_F(FullOrderTest, PopupNamesComeInTheListOrder) {
  EXPECT_EQ(matcher_.PopupNamesForMinute({2022, 6, 16}, 1200),
            expected_popups_);
}

TEST(EntryMatchWalkTest, WalksStopAtTheCapAndAtTheEndsOfTheRange) {
  TempFolder dir;
  dir.TouchAll({"_~__0616.__", "_~____16.__", "~___0101.__", "~_~~1231.__"});
  EntryFolder folder(dir.path());
  int asked = 0;
  bool out_of_range = false;
  CivilDate working{2022, 6, 16};
  // Every day a holiday but the one asked about.
  EntryMatcher matcher(&folder, [&](int y, int m, int d) {
    ++asked;
    if (y < 1 || y > 9999) out_of_range = true;
    return CivilDate{y, m, d} != working;
  });

  // A year of holidays before 16 June brings the names of 16 June 2021
  // (and of every 16th) once more; each is listed once. The year after
  // brings the previous-day names of its New Year's Eve and Day.
  EXPECT_EQ(
      matcher.ScheduleNamesForDay(working),
      (Names{"_~__0616.__", "_~____16.__", "~_~~1231.__", "~___0101.__"}));
  EXPECT_LE(asked, 2 * kMaxWalkDays + 2);

  working = {1, 1, 1};
  asked = 0;
  matcher.ScheduleNamesForDay(working);
  EXPECT_LE(asked, kMaxWalkDays + 2);
  working = {9999, 12, 31};
  asked = 0;
  matcher.PopupNamesForMinute(working, 0);
  EXPECT_LE(asked, kMaxWalkDays + 2);
  EXPECT_FALSE(out_of_range);
}

TEST(EntryMatchWalkTest, ThrowingHolidayTestCountsAsWorkingDay) {
  TempFolder dir;
  dir.Touch("~___0101.__");
  EntryFolder folder(dir.path());
  EntryMatcher matcher(&folder, [](int, int, int) -> bool {
    throw std::runtime_error("broken list");
  });
  EXPECT_EQ(matcher.ScheduleNamesForDay({2026, 1, 1}), Names{"~___0101.__"});
}

TEST(EntryMatchTest, NewFilesAreSeenAtTheNextCall) {
  TempFolder dir;
  EntryFolder folder(dir.path());
  EntryMatcher matcher(&folder, StandardHolidays());
  EXPECT_TRUE(matcher.PopupNamesForMinute({2026, 12, 10}, 1100).empty());
  ASSERT_TRUE(folder.WriteContent("11001210.26", "x"));
  EXPECT_EQ(matcher.PopupNamesForMinute({2026, 12, 10}, 1100),
            Names{"11001210.26"});
  ASSERT_TRUE(folder.Delete("11001210.26", nullptr));
  EXPECT_TRUE(matcher.PopupNamesForMinute({2026, 12, 10}, 1100).empty());
}

TEST(EntryMatchTest, MissingFolderMatchesNothing) {
  EntryFolder folder("/nonexistent/mirokata-data");
  EntryMatcher matcher(&folder, StandardHolidays());
  EXPECT_TRUE(matcher.ScheduleNamesForDay({2022, 1, 3}).empty());
  EXPECT_TRUE(matcher.PopupNamesForMinute({2022, 1, 3}, 900).empty());
}

TEST(EntryMatchTest, BirthdayAgeAndOneDayDates) {
  EXPECT_EQ(BirthdayAge("born0229.1980", {2024, 2, 29}), 44);
  EXPECT_FALSE(BirthdayAge("BORN0225.abcd", {2024, 2, 25}).has_value());
  EXPECT_FALSE(BirthdayAge("____0115.71", {2024, 1, 15}).has_value());

  auto date = [](const char* name, int current_year) {
    return OneDayEntryDate(*ParseEntryName(name), current_year);
  };
  EXPECT_EQ(date("____0115.71", 2026), (CivilDate{1971, 1, 15}));
  EXPECT_EQ(date("____0115.71", 2045), (CivilDate{2071, 1, 15}));
  EXPECT_EQ(date("09000101.30", 2030), (CivilDate{2030, 1, 1}));
  EXPECT_EQ(date("____0229.00", 2026), (CivilDate{2000, 2, 29}));
  // 29 February of a two-digit year with no leap day in its century.
  EXPECT_FALSE(date("____0229.00", 2150).has_value());
  EXPECT_FALSE(date("0900____.__", 2026).has_value());
}

TEST(EntryMatchTest, WeekOfMonthAndLastWeek) {
  EXPECT_EQ(WeekOfMonth(1), 1);
  EXPECT_EQ(WeekOfMonth(7), 1);
  EXPECT_EQ(WeekOfMonth(8), 2);
  EXPECT_EQ(WeekOfMonth(28), 4);
  EXPECT_EQ(WeekOfMonth(29), 5);
  EXPECT_TRUE(IsInLastWeek({2022, 2, 22}));
  EXPECT_FALSE(IsInLastWeek({2022, 2, 21}));
  EXPECT_TRUE(IsInLastWeek({2024, 2, 23}));
  EXPECT_FALSE(IsInLastWeek({2024, 2, 22}));
  EXPECT_TRUE(IsInLastWeek({2022, 4, 30}));
}

}  // namespace
}  // namespace mirokata
