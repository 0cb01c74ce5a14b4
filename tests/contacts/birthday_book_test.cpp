// The registered-birthday list and the greeting text over real folders.
#include "contacts/birthday_book.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "schedule/entry_files.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

std::vector<std::string> Texts(const std::vector<BirthdayListItem>& items) {
  std::vector<std::string> out;
  for (const BirthdayListItem& item : items) out.push_back(item.text);
  return out;
}

TEST(BirthdayListTest, SortedByMonthAndDaySkippingNonBirthdays) {
  TempFolder dir;
  dir.TouchAll({"BORN1210.1970", "BORN0229.2000", "born0102.1990",
                // Names that hold no birthday.
                "BORN0102.19x9", "BORN0230.2000", "BORN0229.2001",
                "BORN0101.19999", "BORN.TXT",
                // Other entries.
                "____1210.26", "0900__25.~~"});
  std::filesystem::create_directory(dir / "BORN0505.1999");
  EntryFolder folder(dir.path());
  const std::vector<BirthdayListItem> items =
      BirthdayList(folder, {2026, 12, 10});
  EXPECT_EQ(Texts(items), (std::vector<std::string>{
                              "01月02日【1990年】あと 23日",
                              "02月29日【2000年】あと 81日",
                              "12月10日【1970年】あと 0日",
                          }));
  // The name as on disk and the birth date go with each line.
  EXPECT_EQ(items[0].name, "born0102.1990");
  EXPECT_EQ(items[0].birth, (CivilDate{1990, 1, 2}));
  EXPECT_EQ(items[1].birth, (CivilDate{2000, 2, 29}));
}

TEST(BirthdayListTest, LeapDayCountsToTheRealBirthday) {
  TempFolder dir;
  dir.Touch("BORN0229.2000");
  EntryFolder folder(dir.path());
  EXPECT_EQ(Texts(BirthdayList(folder, {2001, 1, 1})),
            std::vector<std::string>{"02月29日【2000年】あと 59日"});
  EXPECT_EQ(Texts(BirthdayList(folder, {2027, 3, 2})),
            std::vector<std::string>{"02月29日【2000年】あと 364日"});
  // A missing folder lists nothing.
  EntryFolder missing(dir / "gone");
  EXPECT_TRUE(BirthdayList(missing, {2026, 12, 10}).empty());
}

TEST(BirthdayGreetingTest, HeaderThenTextForEachOfTodaysBirthdays) {
  TempFolder dir;
  dir.Touch("BORN1210.1970", "{\\rtf1\\ansi Taro\\par Yamada}");
  dir.Touch("BORN1210.19x0", "no year");
  dir.Touch("BORN1211.1980", "tomorrow");
  std::filesystem::create_directory(dir / "BORN1210.1990");
  EntryFolder folder(dir.path());
  EXPECT_EQ(BirthdayGreetingText(folder, {2026, 12, 10}),
            "【56歳の誕生日】1970/12/10 (木)\nTaro\nYamada\nno year");
  EXPECT_EQ(BirthdayGreetingText(folder, {2026, 12, 12}), "");
}

}  // namespace
}  // namespace mirokata
