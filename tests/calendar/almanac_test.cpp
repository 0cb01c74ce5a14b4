#include "calendar/almanac.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "calendar/gregorian.h"

namespace mirokata {
namespace {

TEST(Almanac, DayTablesByKey) {
  struct Case {
    int key;
    std::string_view flower;
    std::string_view word;
  } cases[] = {
      {DayKeyOf(1, 1), "フクジュソウ", "幸運を招く"},
      {DayKeyOf(2, 29), "ハナムギ", "清らかな愛情"},
      {DayKeyOf(12, 31), "センリョウ", "可憐"},
      // Narrow and wide brackets are kept as they are.
      {DayKeyOf(1, 6), "スミレ(ピンク)", "愛"},
      {DayKeyOf(2, 18), "キンギョソウ（白）", "清純な心"},
      {DayKeyOf(7, 1), "クレマチス(テッセン)", "高潔"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BirthFlowerOf(c.key), c.flower) << c.key;
    EXPECT_EQ(FlowerWordOf(c.key), c.word) << c.key;
  }
}

TEST(Almanac, EveryDayOfALeapYearAndNothingElse) {
  std::set<std::string_view> flowers;
  for (int month = 1; month <= 12; ++month) {
    for (int day = 1; day <= 31; ++day) {
      const int key = DayKeyOf(month, day);
      const bool exists = day <= DaysInMonth(2000, month);
      EXPECT_EQ(BirthFlowerOf(key).has_value(), exists) << key;
      EXPECT_EQ(FlowerWordOf(key).has_value(), exists) << key;
      if (exists) flowers.insert(*BirthFlowerOf(key));
    }
  }
  for (int key : {0, -101, 100, 132, 1300, 1232, 10101}) {
    EXPECT_FALSE(BirthFlowerOf(key)) << key;
    EXPECT_FALSE(FlowerWordOf(key)) << key;
  }
  // A few flowers recur with another colour only; no day is left blank.
  EXPECT_GT(flowers.size(), 300u);
  EXPECT_FALSE(flowers.count(""));
}

TEST(Almanac, MonthFlowers) {
  EXPECT_EQ(MonthFlowersOf(1), "１月の誕生花 シンビジューム／スイセン");
  EXPECT_EQ(MonthFlowersOf(8), "８の誕生花 アンスリウム／ヒマワリ");
  EXPECT_EQ(MonthFlowersOf(10), "１０月の誕生花 ガーベラ／コスモス");
  EXPECT_EQ(MonthFlowersOf(12), "１２月の誕生花 ストレリチア／カトレア");
  EXPECT_FALSE(MonthFlowersOf(0));
  EXPECT_FALSE(MonthFlowersOf(13));
}

}  // namespace
}  // namespace mirokata
