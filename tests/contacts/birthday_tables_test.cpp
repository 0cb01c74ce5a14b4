// The birthday book's tables and date arithmetic.
#include "contacts/birthday_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "calendar/date_fields.h"
#include "contacts/birthday_book.h"

namespace mirokata {
namespace {

struct SignCase {
  int month, day;
  bool thirteen;
  const char* name;
  const char* range;
  const char* picture;
};

TEST(ZodiacSignTest, BoundariesOfBothSystems) {
  const SignCase cases[] = {
      // Twelve signs: both ends of every range that crosses a month.
      {12, 22, false, "山羊座", "12/22～1/19", "YAGI"},
      {12, 31, false, "山羊座", "12/22～1/19", "YAGI"},
      {1, 1, false, "山羊座", "12/22～1/19", "YAGI"},
      {1, 19, false, "山羊座", "12/22～1/19", "YAGI"},
      {1, 20, false, "水瓶座", "1/20～2/18", "MIDUGAME"},
      {2, 18, false, "水瓶座", "1/20～2/18", "MIDUGAME"},
      {2, 19, false, "魚座", "2/19～3/20", "UO"},
      {2, 29, false, "魚座", "2/19～3/20", "UO"},
      {3, 21, false, "牡羊座", "3/21～4/19", "OHITUJI"},
      {4, 20, false, "牡牛座", "4/20～5/20", "OUSI"},
      {5, 21, false, "双子座", "5/21～6/21", "HUTAGO"},
      {6, 22, false, "蟹座", "6/22～7/22", "KANI"},
      {7, 23, false, "獅子座", "7/23～8/22", "SISI"},
      {8, 23, false, "乙女座", "8/23～9/22", "OTOME"},
      {9, 22, false, "乙女座", "8/23～9/22", "OTOME"},
      {9, 23, false, "天秤座", "9/23～10/23", "TENBIN"},
      {10, 24, false, "蠍座", "10/24～11/22", "SASORI"},
      {11, 22, false, "蠍座", "10/24～11/22", "SASORI"},
      {11, 23, false, "射手座", "11/23～12/21", "ITE"},
      {12, 21, false, "射手座", "11/23～12/21", "ITE"},
      // Thirteen signs.
      {12, 17, true, "蛇遣い座", "11/30～12/17", "HEBITUKAI"},
      {12, 18, true, "新射手座", "12/18～1/18", "ITE"},
      {1, 18, true, "新射手座", "12/18～1/18", "ITE"},
      {1, 19, true, "新山羊座", "1/19～2/15", "YAGI"},
      {2, 16, true, "新水瓶座", "2/16～3/11", "MIDUGAME"},
      {3, 12, true, "新魚座", "3/12～4/18", "UO"},
      {4, 19, true, "新牡羊座", "4/19～5/13", "OHITUJI"},
      {5, 14, true, "新牡牛座", "5/14～6/20", "OUSI"},
      {6, 21, true, "新双子座", "6/21～7/19", "HUTAGO"},
      {7, 20, true, "新蟹座", "7/20～8/19", "KANI"},
      {8, 20, true, "新獅子座", "8/20～9/15", "SISI"},
      {9, 16, true, "新乙女座", "9/16～10/30", "OTOME"},
      {10, 30, true, "新乙女座", "9/16～10/30", "OTOME"},
      {10, 31, true, "新天秤座", "10/31～11/22", "TENBIN"},
      {11, 23, true, "新蠍座", "11/23～11/29", "SASORI"},
      {11, 29, true, "新蠍座", "11/23～11/29", "SASORI"},
      {11, 30, true, "蛇遣い座", "11/30～12/17", "HEBITUKAI"},
  };
  for (const SignCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.month) + "/" + std::to_string(c.day) +
                 (c.thirteen ? " (13)" : " (12)"));
    const ZodiacSign sign = ZodiacSignOf(c.month, c.day, c.thirteen);
    EXPECT_EQ(sign.name, c.name);
    EXPECT_EQ(sign.range, c.range);
    EXPECT_EQ(sign.picture, c.picture);
  }
}

TEST(YearAnimalTest, TwelveYearCycle) {
  const struct {
    int year;
    const char* name;
    const char* picture;
  } cases[] = {
      {2000, "辰", "TATU"}, {1996, "子", "NE"}, {1997, "丑", "USI"},
      {2004, "申", "SARU"}, {2007, "亥", "I"},  {2003, "未", "HITUJI"},
      {1, "酉", "TORI"},    {9999, "亥", "I"},  {12, "申", "SARU"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.year);
    EXPECT_EQ(YearAnimalOf(c.year).name, c.name);
    EXPECT_EQ(YearAnimalOf(c.year).picture, c.picture);
  }
}

TEST(BirthMonthTest, OldNamesStonesAndPictures) {
  EXPECT_EQ(BirthMonthFactsOf(1).old_name, "(睦月)");
  EXPECT_EQ(BirthMonthFactsOf(1).stone, "ガーネット");
  EXPECT_EQ(BirthMonthFactsOf(1).picture, "ONE");
  EXPECT_EQ(BirthMonthFactsOf(6).old_name, "(水無月)");
  EXPECT_EQ(BirthMonthFactsOf(10).stone, "ピンクトルマリン");
  EXPECT_EQ(BirthMonthFactsOf(12).old_name, "(師走)");
  EXPECT_EQ(BirthMonthFactsOf(12).stone, "トルコ石");
  EXPECT_EQ(BirthMonthFactsOf(12).picture, "TWELVE");
  // Clamped, never out of the table.
  EXPECT_EQ(BirthMonthFactsOf(13).picture, "TWELVE");
  EXPECT_EQ(BirthMonthFactsOf(0).picture, "ONE");
}

TEST(AgeNameTest, AliasesAndCelebrations) {
  const struct {
    int age;
    const char* alias;
    const char* celebration;
  } cases[] = {
      {15, "(志学)", ""}, {20, "(弱冠)", ""}, {30, "(而立)", ""},
      {40, "(不惑)", ""}, {50, "(知命)", ""}, {60, "(耳順)", "(還暦)"},
      {61, "", ""},       {69, "", "(古希)"}, {76, "", "(喜寿)"},
      {79, "", "(傘樹)"}, {87, "", "(米寿)"}, {89, "", "(卆寿)"},
      {98, "", "(白寿)"}, {99, "", "(上寿)"}, {0, "", ""},
      {16, "", ""},       {100, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.age);
    EXPECT_EQ(AgeAliasOf(c.age), c.alias);
    EXPECT_EQ(AgeCelebrationOf(c.age), c.celebration);
  }
}

TEST(BirthDateTest, ClampAndWalkBack) {
  const struct {
    int year, month, day;
    CivilDate expected;
  } cases[] = {
      {2023, 4, 31, {2023, 4, 30}},   {2023, 2, 30, {2023, 2, 28}},
      {2024, 2, 30, {2024, 2, 29}},   {2024, 2, 31, {2024, 2, 29}},
      {2023, 13, 5, {2023, 12, 5}},   {2023, 0, 5, {2023, 1, 5}},
      {0, 6, 1, {1, 6, 1}},           {10000, 6, 1, {9999, 6, 1}},
      {2023, 13, 99, {2023, 12, 31}}, {2023, 5, 0, {2023, 5, 1}},
      {1582, 10, 10, {1582, 10, 4}},  {1900, 2, 29, {1900, 2, 28}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.year) + "/" + std::to_string(c.month) + "/" +
                 std::to_string(c.day));
    EXPECT_EQ(ClampBirthDate(c.year, c.month, c.day), c.expected);
  }
}

TEST(BirthDateTest, AgeAndBirthYearForAge) {
  const CivilDate today{2026, 12, 10};
  EXPECT_EQ(AgeOn({1966, 12, 10}, today), 60);  // the birthday itself
  EXPECT_EQ(AgeOn({1966, 12, 11}, today), 59);  // tomorrow
  EXPECT_EQ(AgeOn({1966, 11, 30}, today), 60);
  EXPECT_EQ(AgeOn({1967, 1, 1}, today), 59);
  EXPECT_EQ(BirthYearForAge(60, 12, 10, today), 1966);
  EXPECT_EQ(BirthYearForAge(60, 12, 11, today), 1965);
  EXPECT_EQ(BirthYearForAge(0, 3, 1, today), 2026);
  // Round trip for every month's edges.
  for (int month = 1; month <= 12; ++month) {
    for (int day : {1, 10, 28}) {
      const int year = BirthYearForAge(33, month, day, today);
      EXPECT_EQ(AgeOn({year, month, day}, today), 33) << month << "/" << day;
    }
  }
}

TEST(BirthDateTest, NamesAndTexts) {
  EXPECT_EQ(BirthdayEntryName({2000, 2, 29}), "BORN0229.2000");
  EXPECT_EQ(BirthdayEntryName({1, 1, 1}), "BORN0101.0001");
  EXPECT_EQ(BirthdayEntryName({9999, 12, 31}), "BORN1231.9999");
  EXPECT_EQ(SlashDateText({987, 3, 4}), "0987/03/04");
  EXPECT_EQ(ParseSlashDate("1970/01/15"), (CivilDate{1970, 1, 15}));
  EXPECT_EQ(ParseSlashDate("0001/1/2"), (CivilDate{1, 1, 2}));
  for (const char* bad : {"", "1970/01", "1970/02/30", "abcd/01/01",
                          "1970/01/15x", "1970-01-15", "1970//15"}) {
    EXPECT_FALSE(ParseSlashDate(bad)) << bad;
  }
}

TEST(NextBirthdayTest, DaysLeft) {
  const struct {
    int month, day;
    CivilDate today;
    CivilDate target;
    int days;
  } cases[] = {
      {12, 10, {2026, 12, 10}, {2026, 12, 10}, 0},
      {12, 11, {2026, 12, 10}, {2026, 12, 11}, 1},
      {12, 9, {2026, 12, 10}, {2027, 12, 9}, 364},
      {1, 1, {2026, 12, 31}, {2027, 1, 1}, 1},
      // 29 February in a common year is kept on 1 March.
      {2, 29, {2001, 1, 1}, {2001, 3, 1}, 59},
      {2, 29, {2001, 3, 1}, {2001, 3, 1}, 0},
      // In a leap year on the day itself, and after it.
      {2, 29, {2024, 2, 29}, {2024, 2, 29}, 0},
      {2, 29, {2024, 1, 1}, {2024, 2, 29}, 59},
      {2, 29, {2024, 3, 1}, {2025, 3, 1}, 365},
      // After 1 March of a year before a leap year: the real birthday.
      {2, 29, {2027, 3, 2}, {2028, 2, 29}, 364},
      {2, 29, {2026, 12, 10}, {2027, 3, 1}, 81},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.today.year) + "/" +
                 std::to_string(c.today.month) + "/" +
                 std::to_string(c.today.day));
    EXPECT_EQ(NextBirthday(c.month, c.day, c.today), c.target);
    EXPECT_EQ(DaysToNextBirthday(c.month, c.day, c.today), c.days);
  }
}

TEST(BiorhythmTest, BornTodayCrossesTheCentreAtTodaysColumn) {
  const CivilDate today{2026, 12, 10};
  const int width = 216, height = 79;
  const auto curves = BiorhythmCurves(today, 2026, 12, width, height);
  for (const auto& curve : curves) {
    ASSERT_EQ(curve.size(), 32u);
    EXPECT_EQ(curve[10], (ChartPoint{10 * (width / 30), height / 2}));
    // Every curve starts at x = 0 and steps by width / 30.
    EXPECT_EQ(curve[0].x, 0);
    EXPECT_EQ(curve[31].x, 31 * 7);
  }
  // The day after, each wave climbs by its own period.
  EXPECT_EQ(curves[0][11].y,
            39 - static_cast<int>(39 * std::sin(2 * std::numbers::pi / 23)));
  EXPECT_LT(curves[0][11].y, curves[1][11].y);
  EXPECT_LT(curves[1][11].y, curves[2][11].y);
}

TEST(BiorhythmTest, BirthAfterTheChartMonth) {
  // Born on 1 January 2027, chart of December 2026: every day count is
  // negative and the remainder keeps its sign.
  const auto curves = BiorhythmCurves({2027, 1, 1}, 2026, 12, 216, 79);
  // Day 0: -32 days; -32 mod 23 = -9, sin(-2 pi 9/23) = -0.631..., the
  // value truncated towards zero: 24, not 25.
  EXPECT_EQ(curves[0][0].y, 39 + 24);
  // Day 31: one day before the birth, just below the centre line.
  EXPECT_EQ(curves[0][31].y, 39 + 10);
  EXPECT_EQ(curves[1][31].y, 39 + 8);
  EXPECT_EQ(curves[2][31].y, 39 + 7);
  // Day 32 would be the birth itself: the wave's zero lies one step on.
  const auto next = BiorhythmCurves({2027, 1, 1}, 2027, 1, 216, 79);
  for (const auto& curve : next) EXPECT_EQ(curve[1].y, 39);
}

TEST(BiorhythmTest, DayLines) {
  EXPECT_EQ(ChartLineOf(1, 0), ChartLine::kSolid);
  EXPECT_EQ(ChartLineOf(30, 0), ChartLine::kSolid);
  EXPECT_EQ(ChartLineOf(15, 0), ChartLine::kDotted);
  EXPECT_EQ(ChartLineOf(7, 0), ChartLine::kDottedSilver);
  EXPECT_EQ(ChartLineOf(31, 0), ChartLine::kDottedSilver);
  // Today's line wins over every other style.
  EXPECT_EQ(ChartLineOf(10, 10), ChartLine::kToday);
  EXPECT_EQ(ChartLineOf(7, 10), ChartLine::kDottedSilver);
}

}  // namespace
}  // namespace mirokata
