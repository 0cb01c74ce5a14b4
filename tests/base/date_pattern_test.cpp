#include "base/date_pattern.h"

#include <gtest/gtest.h>

#include "base/weekday_names.h"

namespace mirokata {
namespace {

TEST(DatePattern, FormatsEachFieldAndKeepsQuotedText) {
  // Thursday 2026-12-10 09:05:07.
  const DateTimeFields t{2026, 12, 10, 5, 9, 5, 7};
  struct Case {
    const char* pattern;
    const char* expected;
  } cases[] = {
      {"yyyy/mm/dd(aaa)", "2026/12/10(木)"},
      {"yy/mm/dd (ddd) hh:nn", "26/12/10 (Thu) 09:05"},
      {"hh:nn:ss", "09:05:07"},
      {"yy\"年\"m\"月\"d\"日\"(aaa) h\"時\"n\"分\"s",
       "26年12月10日(木) 9時5分7"},
      // Quoted text is literal, letters of a field name included.
      {"yyyy\"年\"mm\"月\"dd\"日 mm dd\"", "2026年12月10日 mm dd"},
      {"\"unterminated", "unterminated"},
      // Single letters drop the leading zero; four letters give long names.
      {"yyyy/m/d h:n", "2026/12/10 9:5"},
      {"\"毎年\"m\"月\"d\"日】\"", "毎年12月10日】"},
      {"aaaa\"のｽｹｼﾞｭｰﾙ\"", "木曜日のｽｹｼﾞｭｰﾙ"},
      {"dddd ddd", "Thursday Thu"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatDatePattern(c.pattern, t), c.expected) << c.pattern;
  }
  EXPECT_EQ(FormatDatePattern("ddd", t, JapaneseShortWeekdayNames()), "木");
  // A weekday out of range never reads outside the table.
  EXPECT_EQ(FormatDatePattern("aaa", DateTimeFields{2026, 1, 1, 0, 0, 0, 0}),
            "日");
}

TEST(WeekdayNames, FollowTheLocale) {
  const WeekdayNames japanese = LocaleShortWeekdayNames("ja_JP");
  EXPECT_EQ(japanese[0], "日");
  EXPECT_EQ(japanese[4], "木");
  EXPECT_EQ(japanese[6], "土");
  const WeekdayNames english = LocaleShortWeekdayNames("en_US");
  EXPECT_EQ(english[0], "Sun");
  EXPECT_EQ(english[4], "Thu");
  EXPECT_EQ(LocaleLongWeekdayNames("ja_JP")[0], "日曜日");
  EXPECT_EQ(LocaleLongWeekdayNames("en_US")[4], "Thursday");
}

}  // namespace
}  // namespace mirokata
