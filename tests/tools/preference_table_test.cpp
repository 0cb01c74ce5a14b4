#include "tools/preference_table.h"

#include <gtest/gtest.h>
#include <strings.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "base/settings_file.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

int Index(const char* section, const char* key) {
  const int i = PreferenceIndex(section, key);
  EXPECT_GE(i, 0) << section << "/" << key;
  return i;
}

TEST(PreferenceTableTest, EveryItemIsOneKeyWithADefaultItKeeps) {
  std::set<std::string> seen;
  int per_page[kPreferencePageCount] = {};
  for (const PreferenceItem& item : PreferenceTable()) {
    std::string name = item.section + "/" + item.key;
    for (char& c : name) c = static_cast<char>(tolower(c));
    EXPECT_TRUE(seen.insert(name).second) << "twice: " << name;
    EXPECT_EQ(NormalizePreference(item, true, item.default_value),
              item.default_value)
        << name;
    if (item.control == PreferenceControl::kChoice) {
      EXPECT_EQ(item.high + 1, static_cast<int>(item.options.size())) << name;
    }
    ++per_page[static_cast<int>(item.page)];
  }
  // Every page but the version's has settings.
  for (int p = 0; p + 1 < kPreferencePageCount; ++p) {
    EXPECT_GT(per_page[p], 0) << PreferencePageTitle(PreferencePage(p));
  }
  // The phone book: twelve titles and six captions for each page.
  EXPECT_EQ(per_page[static_cast<int>(PreferencePage::kPhoneBook)], 12 * 7 + 5);
  EXPECT_EQ(PreferenceIndex("telephone", "11SECTION_5"),
            PreferenceIndex("TelePhone", "11Section_5"));
}

TEST(PreferenceTableTest, LoadingKeepsRangesAndDefaults) {
  TempFolder dir;
  SettingsFile settings(dir / "mirokata.ini");
  const struct {
    const char* section;
    const char* key;
    const char* stored;  // nullptr: absent
    const char* shown;
  } cases[] = {
      {"Form", "Interval", "abc", "1000"},         // garbage: the default
      {"Form", "Interval", "50", "1000"},          // clamped up
      {"Form", "Interval", "999999", "10000"},     // clamped down
      {"Form", "Interval", " 2500 ", "2500"},      // as the reader reads it
      {"Setup", "Cal_DBLC", "7", "4"},             // past the last choice
      {"Setup", "Cal_DBLC", "-3", "0"},            // before the first
      {"Form", "Delete", "5", "1"},                // any non-zero is on
      {"Form", "Waveplay", "yes", "1"},            // garbage: default on
      {"CalendarEx", "PopView", nullptr, "0"},     // absent: off, as used
      {"CalendarEx", "HolidayLaw", nullptr, "1"},  // on by default
      {"Memo", "top", nullptr, ""},                // unset placement
      {"Memo", "Width", "3", "16"},
      {"Memo", "Width", "x", ""},
      {"Memo", "FontName", "Not Installed Font", "Not Installed Font"},
      {"CalendarEx", "WeekdayColor", "2147483663", "-2147483633"},
      {"To_do", "PastBackColor", "junk", "-2147483646"},
      {"TelePhone", "3Section_5", nullptr, "IPアドレス"},
      {"TelePhone", "Title_11", nullptr, "他"},
      {"TelePhone", "Sleep", "-1", "0"},
  };
  for (const auto& c : cases) {
    settings.Open().EraseSection(c.section);
    if (c.stored) settings.WriteString(c.section, c.key, c.stored);
    const PreferenceValues values = PreferenceValues::Load(settings.Open());
    EXPECT_EQ(values.Get(Index(c.section, c.key)), c.shown)
        << c.section << "/" << c.key << " = " << (c.stored ? c.stored : "-");
  }
}

class PreferenceSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Touch("mirokata.ini",
               "[Form]\r\nInterval=junk\r\nWaveplay=0\r\n"
               "[Memo]\r\ntop=40\r\n[Other]\r\nkept=1\r\n");
  }
  bool Save(const PreferenceValues& values) {
    return settings_.Batch(
        [&](SettingsBatch& batch) { values.WriteChanged(batch); });
  }
  TempFolder dir_;
  SettingsFile settings_{dir_ / "mirokata.ini"};
};

TEST_F(PreferenceSaveTest, OnlyWhatChangedIsWritten) {
  PreferenceValues values = PreferenceValues::Load(settings_.Open());
  EXPECT_TRUE(values.ChangedItems().empty());
  values.SetBool(Index("CalendarEx", "PopView"), true);
  values.SetInt(Index("Form", "Interval"), 1234);  // clamped to itself
  values.Set(Index("Memo", "top"), "");            // back to unset
  values.SetInt(Index("Setup", "Reboot"), 1);      // the default: unchanged
  ASSERT_EQ(values.ChangedItems().size(), 3u);
  ASSERT_TRUE(Save(values));
  Settings s = settings_.Open();
  EXPECT_EQ(s.ReadString("CalendarEx", "PopView", ""), "1");
  EXPECT_EQ(s.ReadString("Form", "Interval", ""), "1234");
  EXPECT_EQ(s.ReadString("Form", "Waveplay", ""), "0");
  EXPECT_FALSE(s.HasKey("Memo", "top"));
  EXPECT_FALSE(s.HasKey("Setup", "Reboot"));
  EXPECT_EQ(s.ReadString("Other", "kept", ""), "1");
}

TEST_F(PreferenceSaveTest, AChangeTakenBackWritesNothing) {
  const std::string before = ReadAll(settings_.path());
  PreferenceValues values = PreferenceValues::Load(settings_.Open());
  const int wave = Index("Form", "Waveplay");
  values.SetBool(wave, true);
  EXPECT_TRUE(values.Changed(wave));
  values.SetBool(wave, false);
  // Typing the default over garbage is no change either: the garbage reads
  // as the default everywhere.
  values.SetInt(Index("Form", "Interval"), 1000);
  EXPECT_TRUE(values.ChangedItems().empty());
  ASSERT_TRUE(Save(values));
  EXPECT_EQ(ReadAll(settings_.path()), before);
}

}  // namespace
}  // namespace mirokata
