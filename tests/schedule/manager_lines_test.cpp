#include "schedule/manager_lines.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "schedule/entry_files.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

std::vector<std::string> NamesOf(const std::vector<ManagerLine>& lines) {
  std::vector<std::string> names;
  for (const ManagerLine& l : lines) names.push_back(l.name);
  return names;
}

TEST(ManagerLinesTest, EveryKindReadsAsItsLine) {
  struct {
    const char* name;
    const char* text;
  } cases[] = {
      // Schedules.
      {"____0115.71", "To_do : 71年01月15日 "},
      {"~___0115.__", "To_do : 毎年01月15日 (休日:前日)"},
      {"____0505.__", "To_do : 毎年05月05日 "},
      {"_~__0505.__", "To_do : 毎年05月05日 (休日:翌日)"},
      {"~_~~__25.__", "To_do : 毎月25日 (土曜/休日:前日)"},
      {"_~~~__25.__", "To_do : 毎月25日 (土曜/休日:翌日)"},
      {"______10.__", "To_do : 毎月10日 "},
      // Weekly schedules.
      {"~_~_~___.TUE", "Week3 : 火曜日(　　第２　　第４　　)"},
      {"________.SUN", "Week1 : 日曜日"},
      {"~~~~~___.FRI", "Week6 : 金曜日(　　　　　　　　最終)"},
      {"____~___.SAT", "Week7 : 土曜日(第１第２第３第４　　)"},
      {"~~~~____.MON", "Week2 : 月曜日(　　　　　　　　第５)"},
      // Popups.
      {"09301224.26", "Popup : 26年12月24日 09時30分"},
      {"07300505.__", "Popup : 毎年05月05日 07時30分"},
      {"07300505.-_", "Popup : 毎年05月05日 07時30分 (休日:前日)"},
      {"0900__25.~~", "Popup : 毎月25日 09時00分 (土曜/休日:翌日)"},
      {"0900__31.-~", "Popup : 毎月31日 09時00分 (土曜/休日:前日)"},
      {"0900__01.~_", "Popup : 毎月01日 09時00分 (休日:翌日)"},
      {"0730____.__", "Popup : 毎日 07時30分"},
      // Weekly popups.
      {"0930____.MON", "Popw2 : 月曜日(毎週) 09時30分"},
      {"1800__10.MON", "Popw2 : 月曜日(　　第２　　第４　　) 18時00分"},
      {"1800__32.THU", "Popw5 : 木曜日(最終) 18時00分"},
      {"1800__17.WED", "Popw4 : 水曜日(第１　　　　　　第５) 18時00分"},
      // Elapsed-time popups.
      {"W0000600.__", "Win98 :     600秒経過（Windows起動後）"},
      {"W9999990.__", "Win98 : 9999990秒経過（Windows起動後）"},
      // Case twins read the same.
      {"0900____.tue", "Popw3 : 火曜日(毎週) 09時00分"},
      {"~_~_~___.tue", "Week3 : 火曜日(　　第２　　第４　　)"},
  };
  for (const auto& c : cases) {
    const ManagerLine line = ManagerLineOf(c.name, 2026);
    EXPECT_EQ(line.text, c.text) << c.name;
    EXPECT_EQ(line.name, c.name);
  }
}

TEST(ManagerLinesTest, OneDayEntriesCarryTheirDateAndTime) {
  struct {
    const char* name;
    std::optional<CivilDate> date;
    int hhnn;
  } cases[] = {
      {"____0115.71", CivilDate{1971, 1, 15}, -1},
      {"____0115.29", CivilDate{2029, 1, 15}, -1},
      {"09301224.26", CivilDate{2026, 12, 24}, 930},
      {"00000101.00", CivilDate{2000, 1, 1}, 0},
      // Not one-day, or not a date any year has.
      {"____0230.26", std::nullopt, -1},
      {"____0505.__", std::nullopt, -1},
      {"0930____.MON", std::nullopt, -1},
      {"25991224.26", std::nullopt, -1},
  };
  for (const auto& c : cases) {
    const ManagerLine line = ManagerLineOf(c.name, 2026);
    EXPECT_EQ(line.date, c.date) << c.name;
    EXPECT_EQ(line.hhnn, c.hhnn) << c.name;
    EXPECT_EQ(line.one_day(), c.date.has_value()) << c.name;
  }
  EXPECT_EQ(ManagerLineOf("____0115.71", 2026).description(), "71年01月15日 ");
}

// Files that are no entry still give a line from their characters, and a
// short name never reads past its end.
TEST(ManagerLinesTest, NonEntriesAreDescribedFromTheirCharacters) {
  struct {
    std::string name;
    std::string text;
  } cases[] = {
      {"notes.txt", "Popup : 毎年s.月tx日 no時te分"},
      {"readme", "Popup : 毎年me月日 re時ad分"},
      {"a", "Popup : 毎年月日 a時分"},
      {"W", "Win98 :        秒経過（Windows起動後）"},
      {"W12", "Win98 :      12秒経過（Windows起動後）"},
      {"Wabc", "Win98 :     abc秒経過（Windows起動後）"},
      {"_", "Popup : 毎年月日 _時分"},
      {"____", "To_do : 年月日 "},
      {"~___", "To_do : 毎年月日 (休日:前日)"},
      {"~x.abc", "Week? : (　　　　　　　　　　)"},
      {"0900____.XYZ", "Popw? : (毎週) 09時00分"},
      {"0900__ab.MON", "Popw2 : 月曜日(　　　　　　　　　　) 09時00分"},
      {"0900__25.zz", "Popup : 毎月25日 09時00分"},
      {"99999999.99", "Popup : 99年99月99日 99時99分"},
      {std::string("\xFF\xFE", 2),
       "Popup : 毎年月日 \xEF\xBF\xBD\xEF\xBF\xBD時分"},
      // A character cut by a field's end is replaced, not split.
      {"0\xE3\x81\x82",
       "Popup : 毎年月日 0\xEF\xBF\xBD時\xEF\xBF\xBD\xEF\xBF\xBD分"},
      {std::string("09\0"
                   "0",
                   4),
       "Popup : 毎年月日 09時" +
           std::string("\0"
                       "0",
                       2) +
           "分"},
  };
  for (const auto& c : cases) {
    const ManagerLine line = ManagerLineOf(c.name, 2026);
    EXPECT_EQ(line.text, c.text) << c.name;
    EXPECT_EQ(line.name, c.name);
    EXPECT_FALSE(line.one_day()) << c.name;
  }
  EXPECT_EQ(ManagerLineOf("", 2026).text, "Popup : 毎年月日 時分");
  EXPECT_EQ(ManagerLineOf("BORN0229.1980", 2026).text, "");
}

TEST(ManagerLinesTest, TheAllListGroupsByLabelAndSkipsBirthdays) {
  const std::vector<std::string> names = {
      "W0000600.__",  "~_~_~___.TUE",  "________.SUN",  "0930____.SAT",
      "0930____.SUN", "BORN0229.1980", "born0101.1990", "____0115.71",
      "09301224.26",  "0730____.__",   "0930____.MON",  "~~~~~___.SAT",
      "~___0115.__",  "1800__32.FRI",  "0900____.TUE",  "1000____.WED",
      "1000____.THU",
  };
  const std::vector<ManagerLine> lines =
      BuildManagerLines(names, ManagerMode::kAll, LocalTime{2026, 12, 10}, {});
  std::vector<std::string> labels;
  for (const ManagerLine& l : lines) labels.push_back(l.text.substr(0, 8));
  const std::vector<std::string> expected = {
      "Popup : ", "Popup : ", "Popw1 : ", "Popw2 : ", "Popw3 : ",
      "Popw4 : ", "Popw5 : ", "Popw6 : ", "Popw7 : ", "To_do : ",
      "To_do : ", "Week1 : ", "Week3 : ", "Week7 : ", "Win98 : ",
  };
  EXPECT_EQ(labels, expected);
  EXPECT_EQ(lines[9].text, "To_do : 71年01月15日 ");
  EXPECT_EQ(lines[10].text, "To_do : 毎年01月15日 (休日:前日)");
}

TEST(ManagerLinesTest, EqualTextsAreOrderedByTheirNames) {
  const std::vector<ManagerLine> lines =
      BuildManagerLines({"0900____.tue", "0900____.TUE"}, ManagerMode::kAll,
                        LocalTime{2026, 1, 1}, {});
  EXPECT_EQ(NamesOf(lines),
            (std::vector<std::string>{"0900____.TUE", "0900____.tue"}));
  EXPECT_EQ(lines[0].text, lines[1].text);
}

TEST(ManagerLinesTest, PastAndChosenDayMembership) {
  const std::vector<std::string> names = {
      "____1209.26",  // yesterday
      "____1210.26",  // today
      "____1211.26",  // tomorrow
      "09001210.26",  // today, an hour passed
      "10301210.26",  // today, this very minute (begun at 10:30:00)
      "10311210.26",  // today, later
      "23591209.26",  // yesterday, late
      "____0115.71",  // 1971
      "____1210.__",  // yearly: never past, never on a day list
      "0930____.MON", "not-an-entry", "BORN1210.1990",
      "____0230.26",  // no such date
  };
  const LocalTime now{2026, 12, 10, 10, 30, 5};
  struct {
    ManagerMode mode;
    CivilDate chosen;
    std::vector<std::string> expected;
  } cases[] = {
      {ManagerMode::kPast,
       {},
       {"23591209.26", "09001210.26", "10301210.26", "____1209.26",
        "____0115.71"}},
      {ManagerMode::kChosenDay,
       {2026, 12, 10},
       {"09001210.26", "10301210.26", "10311210.26", "____1210.26"}},
      {ManagerMode::kChosenDay, {2026, 12, 9}, {"23591209.26", "____1209.26"}},
      {ManagerMode::kChosenDay, {1971, 1, 15}, {"____0115.71"}},
      // The same digits a century later are not that day.
      {ManagerMode::kChosenDay, {2071, 1, 15}, {}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> got =
        NamesOf(BuildManagerLines(names, c.mode, now, c.chosen));
    EXPECT_EQ(got, c.expected) << int(c.mode) << " " << c.chosen.day;
  }
  // At 10:30:00 exactly the 10:30 popup has not yet passed.
  const std::vector<std::string> past = NamesOf(BuildManagerLines(
      names, ManagerMode::kPast, LocalTime{2026, 12, 10, 10, 30, 0}, {}));
  EXPECT_EQ(std::count(past.begin(), past.end(), "10301210.26"), 0);
  EXPECT_EQ(std::count(past.begin(), past.end(), "09001210.26"), 1);
}

// The folder overloads list files only, by their on-disk names.
TEST(ManagerLinesTest, FolderListsFilesOnly) {
  TempFolder dir;
  for (const char* name : {"____1210.26", "0900____.tue", "09001210.26",
                           "BORN1210.1990", "12101210.26"}) {
    std::ofstream(dir / name) << "x";
  }
  ASSERT_EQ(mkdir((dir / "____1210.27").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir / "Teikei").c_str(), 0755), 0);
  EntryFolder folder(dir.path());
  const LocalTime now{2026, 12, 10, 12, 0};
  EXPECT_EQ(NamesOf(BuildManagerLines(folder, ManagerMode::kAll, now, {})),
            (std::vector<std::string>{"09001210.26", "12101210.26",
                                      "0900____.tue", "____1210.26"}));
  EXPECT_EQ(
      NamesOf(BuildManagerLines(folder, ManagerMode::kChosenDay, now,
                                {2026, 12, 10})),
      (std::vector<std::string>{"09001210.26", "12101210.26", "____1210.26"}));
  EXPECT_EQ(NamesOf(BuildManagerLines(folder, ManagerMode::kChosenDay, now,
                                      {2027, 12, 10})),
            std::vector<std::string>{});
}

}  // namespace
}  // namespace mirokata
