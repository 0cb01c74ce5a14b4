// The schedule list's core over a temporary data folder: the range of days,
// the header's padding in code-page columns, the panes a day goes to, the
// order of a day's lines, and the bytes of the export.
#include "schedule/schedule_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/settings_file.h"
#include "platform/text_codec.h"
#include "schedule/entry_files.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

using Lines = std::vector<std::string>;

TEST(ScheduleListRangeTest, CoversBeforeAndAfterAndStopsAtTheCalendarEnd) {
  struct Case {
    CivilDate start;
    int before, after;
    CivilDate first, last;
    int days;
  } cases[] = {
      {{2026, 12, 10}, 2, 7, {2026, 12, 8}, {2026, 12, 17}, 10},
      {{2026, 12, 10}, 0, 0, {2026, 12, 10}, {2026, 12, 10}, 1},
      {{2026, 3, 1}, 1, 0, {2026, 2, 28}, {2026, 3, 1}, 2},
      {{2024, 3, 1}, 1, 0, {2024, 2, 29}, {2024, 3, 1}, 2},
      {{2026, 12, 30}, 0, 3, {2026, 12, 30}, {2027, 1, 2}, 4},
      {{2027, 1, 1}, 99, 99, {2026, 9, 24}, {2027, 4, 10}, 199},
      // Out of the boxes' range: clamped to 0 ... 99.
      {{2026, 12, 10}, 150, -4, {2026, 9, 2}, {2026, 12, 10}, 100},
      // The last day the calendar knows ends the range.
      {{9999, 12, 30}, 1, 7, {9999, 12, 29}, {9999, 12, 31}, 3},
      {{9999, 12, 31}, 0, 99, {9999, 12, 31}, {9999, 12, 31}, 1},
      // A start that does not exist is mended like the boxes mend it.
      {{2026, 2, 31}, 0, 1, {2026, 2, 28}, {2026, 3, 1}, 2},
      {{10000, 13, 31}, 1, 0, {9999, 12, 30}, {9999, 12, 31}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.start.year) + "/" +
                 std::to_string(c.start.month) + "/" +
                 std::to_string(c.start.day));
    const ListRange r = ScheduleListRange(c.start, c.before, c.after);
    EXPECT_TRUE(r.first == c.first);
    EXPECT_TRUE(r.last == c.last);
    EXPECT_EQ(r.days(), c.days);
  }
}

TEST(ScheduleListHeaderTest, PadsToThirtyTwoCodePageColumns) {
  struct Case {
    const char* text;
    int columns;
  } widths[] = {
      {"abc", 3},      {"ｽｹｼﾞｭｰﾙ", 7},           {"日", 2},
      {"〔本日〕", 8}, {"2024年1月5日(金)", 16}, {"", 0},
  };
  for (const Case& c : widths) EXPECT_EQ(Cp932Columns(c.text), c.columns);

  const WeekdayNames& ja = JapaneseShortWeekdayNames();
  WeekdayNames long_names;
  long_names.fill("とても長い曜日の名前です");
  struct Header {
    CivilDate day;
    int distance;
    const WeekdayNames* ddd;
    std::string text;
  } headers[] = {
      {{2024, 1, 5}, 0, &ja, "2024年1月5日(金)        〔本日〕"},
      {{2024, 1, 5}, -3, &ja, "2024年1月5日(金)       〔3日前〕"},
      {{2024, 12, 25}, 12, &ja, "2024年12月25日(水)    〔12日後〕"},
      {{2024, 1, 5},
       0,
       &CShortWeekdayNames(),
       "2024年1月5日(Fri)       〔本日〕"},
      // Half-width katakana take one column each.
      {{2024, 1, 7}, 0, nullptr, "2024年1月7日(ﾆﾁ)        〔本日〕"},
      // Too long for 32 columns: no blank, nothing cut.
      {{2024, 1, 5},
       0,
       &long_names,
       "2024年1月5日(とても長い曜日の名前です)〔本日〕"},
  };
  WeekdayNames kana = ja;
  kana[0] = "ﾆﾁ";
  for (const Header& h : headers) {
    const std::string text =
        ListDayHeader(h.day, h.distance, h.ddd ? *h.ddd : kana);
    EXPECT_EQ(text, h.text);
    if (text.find("とても") == std::string::npos) {
      EXPECT_EQ(Cp932Columns(text), kListHeaderColumns) << text;
    }
  }
}

class ScheduleListBuildTest : public ::testing::Test {
 protected:
  ScheduleListBuildTest() : settings_(dir_ / "mirokata.ini") {
    std::filesystem::create_directory(dir_ / "data");
    settings_.WriteString("Calendar", "Directory", dir_ / "data");
    folder_ = std::make_unique<EntryFolder>(dir_ / "data");
  }
  void Put(const std::string& name, const std::string& text) {
    dir_.Touch("data/" + name, Utf8ToCp932(text));
  }
  ScheduleList Build(CivilDate start, int before, int after,
                     CivilDate today = {2026, 12, 10}) {
    return BuildScheduleList(settings_, folder_.get(), start, before, after,
                             today, JapaneseShortWeekdayNames());
  }

  TempFolder dir_;
  SettingsFile settings_;
  std::unique_ptr<EntryFolder> folder_;
};

TEST_F(ScheduleListBuildTest, DaysGoToThePaneOfTheirDistanceFromToday) {
  // Thursday 10 December 2026 is today; the start lies in the past.
  Put("____1209.26", "昨日の予定");
  Put("____1210.26", "今日の予定\r\n二行目");
  Put("____1211.26", "明日の予定");
  const ScheduleList list = Build({2026, 12, 8}, 0, 3);
  EXPECT_EQ(list.caption, "2026/12/08 (火)～2026/12/11 (金)");
  EXPECT_EQ(list.panes[kPastPane],
            (Lines{"2026年12月8日(火)      〔2日前〕", kListSeparator,
                   "2026年12月9日(水)      〔1日前〕", "昨日の予定",
                   kListSeparator}));
  EXPECT_EQ(list.panes[kTodayPane],
            (Lines{"2026年12月10日(木)      〔本日〕", "今日の予定\n二行目",
                   kListSeparator}));
  EXPECT_EQ(list.panes[kFuturePane], (Lines{"2026年12月11日(金)     〔1日後〕",
                                            "明日の予定", kListSeparator}));

  // A range wholly in the future leaves the upper panes empty.
  const ScheduleList later = Build({2027, 2, 17}, 1, 1);
  EXPECT_TRUE(later.panes[kPastPane].empty());
  EXPECT_TRUE(later.panes[kTodayPane].empty());
  EXPECT_EQ(later.panes[kFuturePane].size(), 6u);
}

TEST_F(ScheduleListBuildTest, StoresTheDayCountsClampedAndReadsThemBack) {
  Build({2026, 12, 10}, 150, 0);
  EXPECT_EQ(settings_.ReadInteger(kScheduleListSection, "mae", -1), 99);
  EXPECT_EQ(settings_.ReadInteger(kScheduleListSection, "ato", -1), 0);
  EXPECT_EQ(ReadListDays(settings_).before, 99);
  settings_.WriteInteger(kScheduleListSection, "mae", -5);
  settings_.WriteInteger(kScheduleListSection, "ato", 1000);
  EXPECT_EQ(ReadListDays(settings_).before, 0);
  EXPECT_EQ(ReadListDays(settings_).after, 99);
}

TEST_F(ScheduleListBuildTest, LinesOfADayInMatchingOrder) {
  // Thursday 30 April 2026: week 5. The "~" weekly names come before the
  // "_" ones, as the matcher gives them.
  for (const char* name :
       {"~~~~~___.THU", "~_______.THU", "_~~~____.THU", "________.THU",
        "____0430.26", "______30.__", "BORN0430.2000"}) {
    Put(name, name);
  }
  settings_.WriteBool("Form", "Qreki", true);
  const ScheduleList list = Build({2026, 4, 30}, 0, 0, {2026, 4, 1});
  const Lines& lines = list.panes[kFuturePane];
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(Lines(lines.begin() + 2, lines.end()),
            (Lines{"【26歳の誕生日】2000/04/30 (日)", "BORN0430.2000",
                   "____0430.26", "______30.__", "________.THU", "~_______.THU",
                   "_~~~____.THU", "~~~~~___.THU", kListSeparator}));
  EXPECT_TRUE(lines[1].starts_with("【")) << lines[1];  // the rokuyo

  // A schedule moved from Sunday 13 December to the Monday shows there only.
  Put("_~__1213.__", "moved");
  settings_.WriteBool("Form", "Qreki", false);
  const ScheduleList moved = Build({2026, 12, 13}, 0, 1);
  EXPECT_EQ(
      moved.panes[kFuturePane],
      (Lines{"2026年12月13日(日)     〔3日後〕", kListSeparator,
             "2026年12月14日(月)     〔4日後〕", "moved", kListSeparator}));
}

TEST_F(ScheduleListBuildTest, AnEntryOfManyDaysShowsOnEachOfThem) {
  // Every Thursday and every 10th, over three weeks from Thursday 3
  // December 2026.
  Put("________.THU", "木曜");
  Put("______10.__", "十日");
  auto days_with = [](const ScheduleList& list, const std::string& text) {
    std::vector<int> days;
    int day = 0;
    for (const Lines& pane : list.panes) {
      for (const std::string& line : pane) {
        if (line.find("日(") != std::string::npos) {
          day = std::stoi(line.substr(line.find("月") + 3));
        }
        if (line == text) days.push_back(day);
      }
    }
    return days;
  };
  const ScheduleList list = Build({2026, 12, 3}, 0, 20);
  EXPECT_EQ(days_with(list, "木曜"), (std::vector<int>{3, 10, 17}));
  EXPECT_EQ(days_with(list, "十日"), (std::vector<int>{10}));
  // The next build reads the entries anew.
  Put("________.THU", "木曜日");
  const ScheduleList again = Build({2026, 12, 3}, 0, 20);
  EXPECT_EQ(days_with(again, "木曜日"), (std::vector<int>{3, 10, 17}));
  EXPECT_TRUE(days_with(again, "木曜").empty());
}

TEST_F(ScheduleListBuildTest, WithoutAFolderOnlyTheCalendarLines) {
  Put("____0101.__", "new year");
  const ScheduleList list =
      BuildScheduleList(settings_, nullptr, {2027, 1, 1}, 0, 0, {2026, 12, 10},
                        JapaneseShortWeekdayNames());
  EXPECT_EQ(list.panes[kFuturePane], (Lines{"2027年1月1日(金)      〔22日後〕",
                                            "【元日】", kListSeparator}));
}

TEST_F(ScheduleListBuildTest, ARangePastTheLastDayStopsThere) {
  const ScheduleList list = Build({9999, 12, 30}, 0, 99);
  EXPECT_TRUE(list.caption.starts_with("9999/12/30 (")) << list.caption;
  EXPECT_NE(list.caption.find("～9999/12/31 ("), std::string::npos);
  EXPECT_EQ(list.panes[kFuturePane].size(), 4u);
}

TEST_F(ScheduleListBuildTest, ExportIsCodePage932WithCrLf) {
  Put("____1210.26", "会議\r\n準備");
  const ScheduleList list = Build({2026, 12, 10}, 0, 0);
  const LocalTime now{.year = 2026,
                      .month = 12,
                      .day = 10,
                      .hour = 9,
                      .minute = 5,
                      .second = 7,
                      .weekday = 5};
  const std::string expected =
      "Title:2026/12/10 (木)～2026/12/10 (木)\r\n"
      "Print:2026/12/10 (木) 09:05:07\r\n"
      "\r\n"
      "2026年12月10日(木)      〔本日〕\r\n"
      "会議\r\n準備\r\n" +
      std::string(kListSeparator) + "\r\n";
  const std::string bytes = ListExportBytes(list, now);
  EXPECT_EQ(bytes, Utf8ToCp932(expected));
  EXPECT_EQ(Cp932ToUtf8(bytes), expected);
  // "会" in code page 932, and no bare line feed anywhere.
  EXPECT_NE(bytes.find("\x89\xEF"), std::string::npos);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      ASSERT_GT(i, 0u);
      EXPECT_EQ(bytes[i - 1], '\r');
    }
  }
}

}  // namespace
}  // namespace mirokata
