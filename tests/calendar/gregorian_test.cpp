#include "calendar/gregorian.h"

#include <gtest/gtest.h>

#include <string>

namespace mirokata {
namespace {

// Independent reference: the usual integer formulas for the Julian Day
// Number of a proleptic Gregorian and of a Julian calendar date.
int64_t GregorianJdn(int64_t y, int64_t m, int64_t d) {
  const int64_t a = (14 - m) / 12;
  const int64_t yy = y + 4800 - a;
  const int64_t mm = m + 12 * a - 3;
  return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 -
         32045;
}
int64_t JulianJdn(int64_t y, int64_t m, int64_t d) {
  const int64_t a = (14 - m) / 12;
  const int64_t yy = y + 4800 - a;
  const int64_t mm = m + 12 * a - 3;
  return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - 32083;
}

TEST(DayNumberTest, ListedDays) {
  struct Case {
    int y, m, d;
    int32_t expected;
  };
  const Case cases[] = {
      {1582, 10, 4, 2299160}, {1582, 10, 15, 2299161}, {2000, 1, 1, 2451545},
      {1, 1, 1, 1721424},     {1970, 1, 1, 2440588},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DayNumber(c.y, c.m, c.d), c.expected)
        << c.y << "-" << c.m << "-" << c.d;
  }
}

TEST(DayNumberTest, MatchesStandardNumbersUpToTheFirst4000YearRule) {
  // Every month start and end on both sides of the switch.
  for (int y = 1; y <= 4000; ++y) {
    for (int m = 1; m <= 12; ++m) {
      for (int d : {1, DaysInMonth(y, m)}) {
        if (y == 4000 && m > 2) continue;
        if (y == 1582 && m == 10) continue;
        const bool julian = y < 1582 || (y == 1582 && m < 10);
        const int64_t expected =
            julian ? JulianJdn(y, m, d) : GregorianJdn(y, m, d);
        ASSERT_EQ(DayNumber(y, m, d), expected) << y << "-" << m << "-" << d;
      }
    }
  }
  EXPECT_EQ(DayNumber(4000, 2, 28), GregorianJdn(4000, 2, 28));
  EXPECT_EQ(DayNumber(4000, 3, 1), GregorianJdn(4000, 3, 1) - 1);
  EXPECT_EQ(DayNumber(8000, 3, 1), GregorianJdn(8000, 3, 1) - 2);
}

TEST(DayNumberTest, TheTenDroppedDaysRaise) {
  for (int d = 5; d <= 14; ++d) {
    try {
      DayNumber(1582, 10, d);
      ADD_FAILURE() << "no error for 1582-10-" << d;
    } catch (const EJuliusError& e) {
      EXPECT_EQ(std::string(e.what()), "1582/10/5-10/14は存在しません。");
    }
  }
  EXPECT_FALSE(IsValidDate(1582, 10, 10));
  EXPECT_TRUE(IsValidDate(1582, 10, 15));
  EXPECT_FALSE(IsValidDate(2001, 2, 29));
  EXPECT_FALSE(IsValidDate(2000, 13, 1));
  EXPECT_FALSE(IsValidDate(2000, 4, 0));
}

TEST(DayNumberTest, CivilDateOfIsTheInverseAndDaysAreConsecutive) {
  // Across the switch, the Julian leap day of 1500 and the 4000 rule.
  const struct {
    int y, m, d;
  } ranges[] = {{1499, 12, 1}, {1582, 9, 1}, {1899, 12, 1}, {3999, 12, 1}};
  for (const auto& r : ranges) {
    CivilDate expected{r.y, r.m, r.d};
    const int32_t start = DayNumber(r.y, r.m, r.d);
    for (int32_t n = start; n < start + 800; ++n) {
      ASSERT_EQ(CivilDateOf(n), expected) << n;
      ASSERT_EQ(DayNumber(expected), n);
      // Step the civil date by hand.
      if (++expected.day > DaysInMonth(expected.year, expected.month)) {
        expected.day = 1;
        if (++expected.month > 12) {
          expected.month = 1;
          ++expected.year;
        }
      }
      if (expected.year == 1582 && expected.month == 10 && expected.day == 5) {
        expected.day = 15;
      }
    }
  }
}

TEST(WeekdayTest, CodesRunSundayToSaturdayAcrossTheSwitch) {
  EXPECT_EQ(WeekdayOf(DayNumber(2000, 1, 1)), kSaturday);
  EXPECT_EQ(WeekdayOf(DayNumber(2000, 1, 2)), kSunday);
  EXPECT_EQ(WeekdayOf(DayNumber(2026, 12, 10)), kThursday);
  EXPECT_EQ(WeekdayOf(DayNumber(1582, 10, 4)), kThursday);
  EXPECT_EQ(WeekdayOf(DayNumber(1582, 10, 15)), kFriday);
  EXPECT_EQ(WeekdayOf(0), kMonday);  // 1 January 4713 BC
  EXPECT_EQ(WeekdayOf(-1), kSunday);
}

TEST(LeapYearTest, JulianBefore1582AndThe4000YearRule) {
  const struct {
    int year;
    bool leap;
  } cases[] = {{1500, true},  {1580, true},  {1581, false}, {1600, true},
               {1700, false}, {1800, false}, {1900, false}, {2000, true},
               {2024, true},  {2100, false}, {4000, false}, {8000, false},
               {4400, true},  {0, true},     {-1, false}};
  for (const auto& c : cases) EXPECT_EQ(IsLeapYear(c.year), c.leap) << c.year;
  EXPECT_EQ(DaysInMonth(4000, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(1500, 2), 29);
  EXPECT_EQ(DaysInMonth(1582, 10), 31);
  EXPECT_EQ(DaysInMonth(2001, 4), 30);
}

TEST(EquinoxTest, GridEquinoxNumbers) {
  EXPECT_EQ(VernalEquinoxNumber(2000), DayNumber(2000, 3, 20));
  EXPECT_EQ(AutumnalEquinoxNumber(2012), DayNumber(2012, 9, 22));
  EXPECT_EQ(AutumnalEquinoxNumber(1975), DayNumber(1975, 9, 24));
}

TEST(EquinoxTest, VernalDaysOfListedYears) {
  const struct {
    int year, day;
  } cases[] = {{1970, 21}, {1999, 21}, {2000, 20}, {2001, 20},
               {2002, 21}, {2003, 21}, {2004, 20}, {2010, 21},
               {2012, 20}, {2026, 20}, {2027, 21}, {2050, 20}};
  for (const auto& c : cases) {
    EXPECT_EQ(VernalEquinoxDay(c.year), c.day) << c.year;
  }
  // 1970: the sun is just short of 0 degrees at midnight of the 21st.
  const long double l = SunLongitudeAtMidnight(1970, 3, 21);
  EXPECT_GT(l, 359.0L);
  EXPECT_LT(l, 360.0L);
}

TEST(EquinoxTest, AutumnalDaysIncludeTheTwentySecondFrom2012) {
  // 22 September in these years of 1999-2050; 23 in all others.
  const int twenty_second[] = {2012, 2016, 2020, 2024, 2028, 2032,
                               2036, 2040, 2044, 2045, 2048, 2049};
  for (int y = 1999; y <= 2050; ++y) {
    bool on_22 = false;
    for (int x : twenty_second) on_22 |= x == y;
    EXPECT_EQ(AutumnalEquinoxDay(y), on_22 ? 22 : 23) << y;
  }
  EXPECT_EQ(AutumnalEquinoxDay(1970), 23);
  EXPECT_EQ(AutumnalEquinoxDay(1975), 24);
}

TEST(EquinoxTest, VernalEquinoxOnTheNineteenthAndTwentySecond) {
  EXPECT_EQ(VernalEquinoxDay(2092), 19);
  EXPECT_EQ(VernalEquinoxDay(2096), 19);
  EXPECT_EQ(VernalEquinoxDay(1903), 22);
  EXPECT_EQ(VernalEquinoxDay(1923), 22);
}

TEST(EquinoxTest, GridNumbersAndNamedDaysAgreeFrom1900To2099) {
  for (int y = 1900; y <= 2099; ++y) {
    EXPECT_EQ(VernalEquinoxNumber(y), DayNumber(y, 3, VernalEquinoxDay(y)))
        << y;
    EXPECT_EQ(AutumnalEquinoxNumber(y), DayNumber(y, 9, AutumnalEquinoxDay(y)))
        << y;
  }
}

}  // namespace
}  // namespace mirokata
