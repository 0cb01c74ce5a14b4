#include "tools/day_calculator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirokata {
namespace {

DateTimeFields At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  DateTimeFields t;
  t.year = y;
  t.month = mo;
  t.day = d;
  t.hour = h;
  t.minute = mi;
  t.second = s;
  return t;
}

using Lines = std::vector<std::string>;

TEST(DayCalculatorTest, PeriodLinesLeaveOutZeroParts) {
  const struct {
    DateTimeFields a, b;
    Lines lines;
  } cases[] = {
      {At(2000, 1, 1),
       At(2000, 1, 2, 1, 1, 1),
       {"2000/01/01 (土) 00:00:00 から", "2000/01/02 (日) 01:01:01 迄の時間",
        "==================================", "1日 1時間 1分 1秒",
        "25時間 1分 1秒", "1,501分 1秒", "90,061秒"}},
      // Either way round.
      {At(2000, 1, 2, 1, 1, 1),
       At(2000, 1, 1),
       {"2000/01/01 (土) 00:00:00 から", "2000/01/02 (日) 01:01:01 迄の時間",
        "==================================", "1日 1時間 1分 1秒",
        "25時間 1分 1秒", "1,501分 1秒", "90,061秒"}},
      {At(2000, 1, 1, 10),
       At(2000, 1, 1, 12),
       {"2000/01/01 (土) 10:00:00 から", "2000/01/01 (土) 12:00:00 迄の時間",
        "==================================", "2時間 ", "120分 ", "7,200秒"}},
      {At(2000, 1, 1, 10),
       At(2000, 1, 1, 10),
       {"2000/01/01 (土) 10:00:00 から", "2000/01/01 (土) 10:00:00 迄の時間",
        "==================================", "0秒"}},
      // Across the calendar change: 4 October 1582 (Julian) is followed by
      // 15 October (Gregorian).
      {At(1582, 10, 4),
       At(1582, 10, 15),
       {"1582/10/04 (木) 00:00:00 から", "1582/10/15 (金) 00:00:00 迄の時間",
        "==================================", "1日 ", "24時間 ", "1,440分 ",
        "86,400秒"}},
  };
  for (const auto& c : cases) {
    const CalculationResult r = PeriodBetween(c.a, c.b);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.lines, c.lines);
  }
  // The whole range of years (the calendar leaves out 29 February of the
  // years 4000 and 8000).
  const CalculationResult all =
      PeriodBetween(At(1, 1, 1), At(9999, 12, 31, 23, 59, 59));
  ASSERT_EQ(all.lines.size(), 7u);
  EXPECT_EQ(all.lines[3], "3,652,058日 23時間 59分 59秒");
  EXPECT_EQ(all.lines[6], "315,537,897,599秒");
}

TEST(DayCalculatorTest, SpanGivesTheDateOrSaysItCannot) {
  CalculationResult r = SpanFrom(At(2000, 2, 28), {1, 0, 0, 0}, true);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.lines,
            (Lines{"2000/02/28 (月) 00:00:00 から", "1日 0時間 0分 0秒後の日時",
                   "==================================",
                   "2000/02/29 (火) 00:00:00"}));
  r = SpanFrom(At(2000, 1, 1), {100, 0, 0, 0}, false);
  ASSERT_EQ(r.lines.size(), 4u);
  EXPECT_EQ(r.lines[3], "1999/09/23 (木) 00:00:00");
  // Hours, minutes and seconds beyond their units carry over.
  r = SpanFrom(At(2000, 1, 1), {0, 99999, 99999, 99999}, true);
  ASSERT_EQ(r.lines.size(), 4u);
  EXPECT_EQ(r.lines[1], "0日 99,999時間 99,999分 99,999秒後の日時");
  EXPECT_EQ(r.lines[3], "2011/08/08 (月) 05:25:39");
  // Past 9999/12/31: the lines so far stay, the result says it failed.
  r = SpanFrom(At(2000, 1, 1), {9999999, 0, 0, 0}, true);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.lines.size(), 3u);
  r = SpanFrom(At(1, 1, 1), {0, 0, 0, 1}, false);
  EXPECT_FALSE(r.ok);
  r = SpanFrom(At(9999, 12, 31, 23, 59, 59), {0, 0, 0, 1}, true);
  EXPECT_FALSE(r.ok);
}

TEST(DayCalculatorTest, DatesAreLoweredUntilTheyExist) {
  EXPECT_EQ(ValidDate(2001, 2, 31), (CivilDate{2001, 2, 28}));
  EXPECT_EQ(ValidDate(2000, 2, 31), (CivilDate{2000, 2, 29}));
  EXPECT_EQ(ValidDate(2001, 4, 31), (CivilDate{2001, 4, 30}));
  EXPECT_EQ(ValidDate(1582, 10, 14), (CivilDate{1582, 10, 4}));
  EXPECT_EQ(ValidDate(1582, 10, 15), (CivilDate{1582, 10, 15}));
  EXPECT_EQ(ValidDate(2026, 12, 10), (CivilDate{2026, 12, 10}));
}

TEST(DayCalculatorTest, JumpCaptionsAndNumbers) {
  const CivilDate today{2026, 12, 10};
  EXPECT_EQ(DistanceCaption(today, today), "本日");
  EXPECT_EQ(DistanceCaption({2026, 12, 9}, today), "1日前");
  EXPECT_EQ(DistanceCaption({2027, 1, 10}, today), "31日後");
  EXPECT_EQ(WeekdayCaption(today), "(木)");
  EXPECT_EQ(WeekdayCaption({2000, 2, 29}), "(火)");
  EXPECT_EQ(GroupedNumber(0), "0");
  EXPECT_EQ(GroupedNumber(999), "999");
  EXPECT_EQ(GroupedNumber(1000), "1,000");
  EXPECT_EQ(GroupedNumber(9999999), "9,999,999");
  EXPECT_EQ(GroupedNumber(-1234), "-1,234");
}

}  // namespace
}  // namespace mirokata
