#include "calendar/holidays.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/settings_file.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class HolidaysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/mirokata-holidays-XXXXXX";
    dir_ = mkdtemp(tmpl);
    path_ = dir_ + "/mirokata.ini";
    file_ = std::make_unique<SettingsFile>(path_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The list rules as they were before the law mode, on a first-started
  // settings file.
  void UseListRules() {
    ASSERT_TRUE(EnsureDefaultHolidays(*file_));
    ASSERT_TRUE(file_->WriteBool(kCalendarExSection, kHolidayLawKey, false));
  }
  void SetEntry(const char* key, const char* name) {
    ASSERT_TRUE(file_->WriteString(kHolidaySection, key, name));
  }
  Names NamesOf(int y, int m, int d) { return HolidayNamesOf(*file_, y, m, d); }
  DayFlags Classify(int y, int m, int d, bool auto_equinox = true) {
    GridDayLists lists;
    lists.type_of_day = HolidaysOfMonth(*file_, y, m);
    lists.auto_equinox = auto_equinox;
    return ClassifyDay(*file_, lists, y, m, d);
  }

  std::string dir_;
  std::string path_;
  std::unique_ptr<SettingsFile> file_;
};

TEST_F(HolidaysTest, FirstStartWritesTheDefaultListOnce) {
  ASSERT_TRUE(EnsureDefaultHolidays(*file_));
  SettingsFile fresh(path_);
  EXPECT_EQ(fresh.ReadInteger("horiday", "set", 0), 1);
  for (const DefaultHoliday& h : kDefaultHolidays) {
    EXPECT_EQ(fresh.ReadString(kHolidaySection, h.key, ""), h.name) << h.key;
  }
  EXPECT_EQ(fresh.Open().ListKeys(kHolidaySection).size(), 12u);

  // The user deletes a holiday; a later start does not bring it back.
  SetEntry("07/20", "");
  ASSERT_TRUE(EnsureDefaultHolidays(*file_));
  EXPECT_EQ(fresh.ReadString(kHolidaySection, "07/20", "x"), "");
}

TEST_F(HolidaysTest, NothingIsWrittenBeforeTheFirstStartButTheDefaultsApply) {
  ASSERT_TRUE(file_->WriteBool(kCalendarExSection, kHolidayLawKey, false));
  const auto before = fs::last_write_time(path_);
  EXPECT_EQ(NamesOf(2002, 7, 20), Names{"【海の日】"});
  EXPECT_EQ(NamesOf(2000, 1, 1), Names{"【元旦】"});
  EXPECT_EQ(fs::last_write_time(path_), before);
  // A key the user already wrote before the first start is read as written.
  SetEntry("08/15", "【お盆】");
  EXPECT_EQ(NamesOf(2002, 8, 15), Names{"【お盆】"});
}

TEST_F(HolidaysTest, ListRulesWithMondayRules) {
  UseListRules();
  const struct {
    int y, m, d;
    Names names;
  } cases[] = {
      {2000, 1, 1, {"【元旦】"}},
      {2001, 1, 15, {}},
      {2001, 1, 8, {"【成人の日】"}},
      {2003, 10, 13, {"【体育の日】"}},
      {2002, 7, 20, {"【海の日】"}},
      {2003, 7, 20, {}},
      {2003, 7, 21, {"【海の日】", "【振替休日】"}},
      {2003, 9, 15, {"【敬老の日】"}},
      {1998, 5, 4, {"【国民の休日】", "【振替休日】"}},
      {2005, 3, 20, {"【春分の日】"}},
      {2005, 3, 21, {"【振替休日】"}},
      {2001, 9, 24, {"【振替休日】"}},
      {2026, 12, 23, {"【天皇誕生日】"}},
      {2021, 2, 29, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NamesOf(c.y, c.m, c.d), c.names)
        << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(IsPublicHoliday(*file_, c.y, c.m, c.d), !c.names.empty());
  }
}

TEST_F(HolidaysTest, ListRulesEquinoxOnTheDayInJapanSo2012IsThe22nd) {
  UseListRules();
  const struct {
    int y, m, d;
    Names names;
  } cases[] = {
      // Saturday 22 September 2012; no equinox on Sunday the 23rd and so no
      // substitute on Monday the 24th. The same in 2040.
      {2012, 9, 22, {"【秋分の日】"}},
      {2012, 9, 23, {}},
      {2012, 9, 24, {}},
      {2040, 9, 22, {"【秋分の日】"}},
      {2040, 9, 24, {}},
      {2092, 3, 19, {"【春分の日】"}},
      {2092, 3, 20, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NamesOf(c.y, c.m, c.d), c.names)
        << c.y << "-" << c.m << "-" << c.d;
  }
}

TEST_F(HolidaysTest, ListRulesUserEntriesAndTheMondaySwitch) {
  UseListRules();
  SetEntry("01/15", "【成人の日】");
  // Ignored on the day itself while the Monday rule is on, but the plain
  // substitute lookup still sees it.
  EXPECT_EQ(NamesOf(2006, 1, 15), Names{});
  EXPECT_EQ(NamesOf(2006, 1, 16), Names{"【振替休日】"});

  ASSERT_TRUE(file_->WriteBool(kCalendarExSection, kHappyMondayKey, false));
  EXPECT_EQ(NamesOf(2001, 1, 8), Names{});
  EXPECT_EQ(NamesOf(2001, 1, 15), Names{"【成人の日】"});
  EXPECT_EQ(NamesOf(2003, 7, 20), Names{"【海の日】"});
  EXPECT_EQ(NamesOf(2003, 7, 21), Names{"【振替休日】"});
  SetEntry("01/15", "");
  EXPECT_EQ(NamesOf(2001, 1, 15), Names{});
}

TEST_F(HolidaysTest, ListRulesMonthItems) {
  UseListRules();
  const struct {
    int y, m;
    std::vector<std::string> items;
  } cases[] = {
      {1998, 5, {"5,3", "5,4", "5,5"}}, {2005, 3, {"3,20"}},
      {2012, 9, {"9,22", "9,17"}},      {2003, 7, {"7,21"}},
      {2001, 1, {"1,1", "1,8"}},        {2001, 6, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HolidaysOfMonth(*file_, c.y, c.m), c.items) << c.y << "/" << c.m;
  }
}

TEST_F(HolidaysTest, ListRulesGridFlags) {
  UseListRules();
  // 4 May 1998: the substitute for Sunday 3 May, no longer listed.
  EXPECT_EQ(Classify(1998, 5, 4), kDaySubstitute);
  EXPECT_EQ(Classify(1998, 5, 3), kDaySunday | kDayListed);
  EXPECT_EQ(Classify(2005, 3, 21), kDaySubstitute);
  // 2012: grid and panel agree on 22 September.
  EXPECT_EQ(Classify(2012, 9, 22), kDaySaturday | kDayListed | kDayEquinox);
  EXPECT_EQ(Classify(2012, 9, 23), kDaySunday);
  EXPECT_EQ(Classify(2012, 9, 22, false), kDaySaturday | kDayListed);
  EXPECT_EQ(Classify(2001, 6, 13), 0);

  GridDayLists lists;
  lists.special_day = {"6,13,0900", " 6 , 14", "x,15", "6", "", "6,16x"};
  lists.type_of_day = {"6,11,extra"};
  EXPECT_EQ(ClassifyDay(*file_, lists, 2001, 6, 13), kDaySpecial);
  EXPECT_EQ(ClassifyDay(*file_, lists, 2001, 6, 14), kDaySpecial);
  EXPECT_EQ(ClassifyDay(*file_, lists, 2001, 6, 15), 0);
  EXPECT_EQ(ClassifyDay(*file_, lists, 2001, 6, 16), kDaySaturday);
  EXPECT_EQ(ClassifyDay(*file_, lists, 2001, 6, 11), kDayListed);
  EXPECT_EQ(ClassifyDay(*file_, lists, 2001, 6, 12), 0);  // a Tuesday
  EXPECT_THROW(ClassifyDay(*file_, lists, 1582, 10, 5), EJuliusError);
}

TEST_F(HolidaysTest, LawModeIsTheDefaultAndSupersedesTheDefaultEntries) {
  ASSERT_TRUE(EnsureDefaultHolidays(*file_));
  EXPECT_TRUE(HolidayLawInEffect(*file_));
  const struct {
    int y, m, d;
    Names names;
  } cases[] = {
      {2026, 1, 1, {"【元日】"}},
      {2026, 4, 29, {"【昭和の日】"}},
      {2026, 12, 23, {}},
      {2026, 7, 20, {"【海の日】"}},
      {2026, 5, 6, {"【振替休日】"}},
      {2026, 9, 22, {"【国民の休日】"}},
      {2003, 7, 20, {}},
      {1998, 5, 4, {"【振替休日】"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NamesOf(c.y, c.m, c.d), c.names)
        << c.y << "-" << c.m << "-" << c.d;
  }
  // The Monday switch belongs to the list rules only.
  ASSERT_TRUE(file_->WriteBool(kCalendarExSection, kHappyMondayKey, false));
  EXPECT_EQ(NamesOf(2026, 1, 12), Names{"【成人の日】"});
}

TEST_F(HolidaysTest, LawModeAddsTheUsersOwnDays) {
  ASSERT_TRUE(EnsureDefaultHolidays(*file_));
  SetEntry("08/15", "【夏季休業】");
  SetEntry("11/03", "【創立記念日】");
  SetEntry("12/23", "【年末休業】");    // a default key with the user's name
  SetEntry("02/23", "【天皇誕生日】");  // the law's name again
  const struct {
    int y, m, d;
    Names names;
  } cases[] = {
      {2026, 8, 15, {"【夏季休業】"}},
      {1950, 8, 15, {"【夏季休業】"}},
      {2026, 11, 3, {"【文化の日】", "【創立記念日】"}},
      {2026, 12, 23, {"【年末休業】"}},
      {2026, 2, 23, {"【天皇誕生日】"}},
      {2019, 2, 23, {"【天皇誕生日】"}},
      // Own days make no substitute: 15 August 2027 is a Sunday.
      {2027, 8, 16, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NamesOf(c.y, c.m, c.d), c.names)
        << c.y << "-" << c.m << "-" << c.d;
  }
  EXPECT_EQ(HolidaysOfMonth(*file_, 2026, 8),
            (std::vector<std::string>{"8,11", "8,15"}));
}

TEST_F(HolidaysTest, LawModeGridPanelAndHolidayTestAgree) {
  ASSERT_TRUE(EnsureDefaultHolidays(*file_));
  SetEntry("08/15", "【夏季休業】");
  EXPECT_EQ(
      HolidaysOfMonth(*file_, 2019, 5),
      (std::vector<std::string>{"5,1", "5,2", "5,3", "5,4", "5,5", "5,6"}));
  for (int y : {1998, 2012, 2019, 2020}) {
    for (int m = 1; m <= 12; ++m) {
      GridDayLists lists;
      lists.type_of_day = HolidaysOfMonth(*file_, y, m);
      for (int d = 1; d <= DaysInMonth(y, m); ++d) {
        const DayFlags flags = ClassifyDay(*file_, lists, y, m, d);
        const bool holiday = IsPublicHoliday(*file_, y, m, d);
        ASSERT_EQ((flags & kDayListed) != 0, holiday)
            << y << "-" << m << "-" << d;
        ASSERT_EQ(flags & (kDaySubstitute | kDayEquinox), 0)
            << y << "-" << m << "-" << d;
      }
    }
  }
}

}  // namespace
}  // namespace mirokata
