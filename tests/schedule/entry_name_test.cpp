#include "schedule/entry_name.h"

#include <gtest/gtest.h>

namespace mirokata {
namespace {

EntryFields F(EntryKind kind) {
  EntryFields f;
  f.kind = kind;
  return f;
}

struct NameCase {
  std::string name;
  EntryFields fields;
};

std::vector<NameCase> EveryKind() {
  using K = EntryKind;
  using S = ShiftCode;
  std::vector<NameCase> cases;
  auto add = [&](std::string name, EntryFields f) {
    cases.push_back({std::move(name), f});
  };
  EntryFields f;

  f = F(K::kOneDaySchedule), f.month = 1, f.day = 15, f.year = 71;
  add("____0115.71", f);
  f = F(K::kYearlySchedule), f.shift = S::kNextSundayHoliday, f.month = 5,
  f.day = 5;
  add("_~__0505.__", f);
  f.shift = S::kNone;
  add("____0505.__", f);
  f = F(K::kMonthlySchedule), f.shift = S::kPreviousSaturday, f.day = 25;
  add("~_~~__25.__", f);
  f.shift = S::kNextSaturday;
  add("_~~~__25.__", f);
  f.shift = S::kPreviousSundayHoliday;
  add("~_____25.__", f);
  f = F(K::kWeeklySchedule), f.weeks = 2 | 8, f.weekday = 3;
  add("~_~_~___.TUE", f);
  f.weeks = kLastWeek, f.weekday = 6;
  add("~~~~~___.FRI", f);
  f.weeks = kEveryWeek, f.weekday = 1;
  add("________.SUN", f);
  f.weeks = kWeek1 | kWeek5, f.weekday = 7;
  add("_~~~____.SAT", f);
  f = F(K::kOneDayPopup), f.hhnn = 2359, f.month = 12, f.day = 31, f.year = 0;
  add("23591231.00", f);
  f = F(K::kYearlyPopup), f.hhnn = 900, f.month = 2, f.day = 29,
  f.shift = S::kNextSaturday;
  add("09000229.~~", f);
  f.shift = S::kNone;
  add("09000229.__", f);
  f = F(K::kMonthlyPopup), f.hhnn = 900, f.day = 25, f.shift = S::kNextSaturday;
  add("0900__25.~~", f);
  f.shift = S::kPreviousSundayHoliday;
  add("0900__25.-_", f);
  f = F(K::kWeeklyPopup), f.hhnn = 1800, f.weeks = 2 | 8, f.weekday = 2;
  add("1800__10.MON", f);
  f.weeks = kLastWeek;
  add("1800__32.MON", f);
  f.weeks = kEveryWeek;
  add("1800____.MON", f);
  f = F(K::kDailyPopup), f.hhnn = 730;
  add("0730____.__", f);
  f = F(K::kElapsedPopup), f.seconds = 600;
  add("W0000600.__", f);
  f = F(K::kBirthday), f.month = 2, f.day = 29, f.year = 1980;
  add("BORN0229.1980", f);
  return cases;
}

TEST(EntryNameTest, BuildsAndParsesEveryKind) {
  for (const NameCase& c : EveryKind()) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BuildEntryName(c.fields), c.name);
    std::optional<EntryFields> parsed = ParseEntryName(c.name);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, c.fields);
    // Files copied from elsewhere may come in any letter case.
    std::string lower = c.name;
    for (char& ch : lower) ch = char(std::tolower(ch));
    parsed = ParseEntryName(lower);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, c.fields);
  }
}

TEST(EntryNameTest, RejectsMalformedNames) {
  for (const char* name : {
           "",               // empty
           "____0115.7",     // short extension
           "____0115x71",    // no dot
           "____0115.71.",   // dot in the extension
           "____01a5.71",    // non-digit date
           "____0230.71",    // no year has 30 February
           "____0431.__",    // nor 31 April
           "____1301.__",    // month 13
           "____0100.__",    // day 0
           "______32.__",    // monthly day 32
           "______3_.__",    // half a day
           "~___0101.71",    // one-day names have no move
           "~~__0101.__",    // unknown shift code
           "0900__25.-+",    // unknown popup code
           "2400____.__",    // hour 24
           "0960____.__",    // minute 60
           "0900____.XYZ",   // unknown weekday
           "0900__1a.TUE",   // mask with a letter
           "0900_1__.TUE",   // misplaced mask
           "0900____.~_",    // daily popups do not move
           "_x~~~___.TUE",   // flag that is neither on nor off
           "_~~~~~__.TUE",   // flags beyond the fifth position
           "W000060x.__",    // seconds with a letter
           "W0000600.~~",    // elapsed popups do not move
           "BORN0229.1981",  // 1981 had no 29 February
           "BORN0225.abcd",  // year not a number
           "BORN0225.0000",  // year zero
           "BORN0225.198",   // three-digit year
       }) {
    EXPECT_FALSE(ParseEntryName(name).has_value()) << name;
  }
}

TEST(EntryNameTest, BuildRefusesFieldsNoNameCanCarry) {
  EntryFields f = F(EntryKind::kWeeklyPopup);
  f.hhnn = 900;
  f.weekday = 3;
  f.weeks = kLastWeek | kWeek1;  // the last week stands alone
  EXPECT_EQ(BuildEntryName(f), "");
  f.weeks = 0;
  EXPECT_EQ(BuildEntryName(f), "");
  f.weeks = 4;
  f.weekday = 8;
  EXPECT_EQ(BuildEntryName(f), "");

  f = F(EntryKind::kYearlySchedule);
  f.month = 2;
  f.day = 30;
  EXPECT_EQ(BuildEntryName(f), "");
  f = F(EntryKind::kBirthday);
  f.month = 2;
  f.day = 29;
  f.year = 1900;  // not a leap year
  EXPECT_EQ(BuildEntryName(f), "");
  f = F(EntryKind::kOneDayPopup);
  f.hhnn = 1260;
  f.month = 1;
  f.day = 1;
  EXPECT_EQ(BuildEntryName(f), "");
}

TEST(EntryNameTest, FieldsFromADate) {
  const CivilDate d{2071, 1, 15};  // a Thursday
  EXPECT_EQ(BuildEntryName(EntryFieldsForDate(EntryKind::kOneDaySchedule, d)),
            "____0115.71");
  EXPECT_EQ(BuildEntryName(EntryFieldsForDate(EntryKind::kOneDayPopup, d, 730)),
            "07300115.71");
  EXPECT_EQ(
      BuildEntryName(EntryFieldsForDate(EntryKind::kWeeklyPopup, d, 1800)),
      "1800____.THU");
  EXPECT_EQ(BuildEntryName(EntryFieldsForDate(EntryKind::kBirthday, d)),
            "BORN0115.2071");
  EntryFields yearly = EntryFieldsForDate(EntryKind::kYearlySchedule, d);
  yearly.shift = ShiftCode::kNextSaturday;
  EXPECT_EQ(BuildEntryName(yearly), "_~~~0115.__");
}

TEST(EntryNameTest, ClassifiesInTheManagersOrder) {
  struct {
    const char* name;
    EntryClass expected;
  } cases[] = {
      {"BORN0229.1980", EntryClass::kBirthday},
      {"born0229.1980", EntryClass::kBirthday},
      {"BORNxxxx", EntryClass::kBirthday},  // by its first characters only
      {"W0000600.__", EntryClass::kElapsedPopup},
      {"w0000600.__", EntryClass::kElapsedPopup},
      {"~_~_~___.TUE", EntryClass::kWeeklySchedule},
      {"________.tue", EntryClass::kWeeklySchedule},
      // A shift code with a two-character extension is no weekly name.
      {"____0115.71", EntryClass::kSchedule},
      {"_~~~__25.__", EntryClass::kSchedule},
      {"~___0101.__", EntryClass::kSchedule},
      {"0900__25.~~", EntryClass::kPopup},
      {"0730____.__", EntryClass::kPopup},
      {"readme.txt", EntryClass::kPopup},
      {"", EntryClass::kPopup},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClassifyEntryName(c.name), c.expected) << c.name;
  }
  EXPECT_TRUE(IsPopupClass(EntryClass::kElapsedPopup));
  EXPECT_FALSE(IsPopupClass(EntryClass::kWeeklySchedule));
}

TEST(EntryNameTest, CenturyRuleSlidesWithTheCurrentYear) {
  struct {
    int yy, current, expected;
  } cases[] = {
      // In 1999 the window is 1930-2029: the classic pivot at 30.
      {29, 1999, 2029},
      {30, 1999, 1930},
      {0, 1999, 2000},
      {99, 1999, 1999},
      // From 2030 on, new entries still read as this century.
      {30, 2030, 2030},
      {60, 2030, 2060},
      {61, 2030, 1961},
      {71, 2026, 1971},
      {56, 2026, 2056},
      {57, 2026, 1957},
      {0, 2100, 2100},
      {99, 2100, 2099},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CenturyRule(c.yy, c.current), c.expected)
        << c.yy << " in " << c.current;
  }
}

TEST(EntryNameTest, ElapsedNameRoundsDownToTenSeconds) {
  EXPECT_EQ(ElapsedNameForUptime(0), "W0000000.__");
  EXPECT_EQ(ElapsedNameForUptime(609), "W0000600.__");
  EXPECT_EQ(ElapsedNameForUptime(9999999), "W9999990.__");
  EXPECT_EQ(ElapsedNameForUptime(10000000), "");  // beyond seven digits
}

TEST(EntryNameTest, ShiftCodeTables) {
  EXPECT_EQ(ScheduleShiftText(ShiftCode::kPreviousSaturday), "~_~~");
  EXPECT_EQ(PopupShiftText(ShiftCode::kNextSundayHoliday), "~_");
  EXPECT_EQ(ShiftDescription(ShiftCode::kNextSaturday), "(土曜/休日:翌日)");
  EXPECT_EQ(ShiftDescription(ShiftCode::kNone), "");
}

}  // namespace
}  // namespace mirokata
