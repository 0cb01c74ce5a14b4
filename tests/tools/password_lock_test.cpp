#include "tools/password_lock.h"

#include <gtest/gtest.h>

#include <string>

#include "base/settings_file.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

TEST(PasswordHashTest, MatchesOnlyTheSamePassword) {
  const std::string stored = HashPassword("秘密 Pass=\\1", 1000);
  EXPECT_TRUE(IsPasswordHash(stored));
  EXPECT_EQ(stored.rfind("$pbkdf2-sha256$1000$", 0), 0u) << stored;
  EXPECT_EQ(stored.find("秘密"), std::string::npos);
  EXPECT_TRUE(PasswordMatches(stored, "秘密 Pass=\\1"));
  EXPECT_FALSE(PasswordMatches(stored, "秘密 pass=\\1"));
  EXPECT_FALSE(PasswordMatches(stored, "秘密 Pass=\\"));
  EXPECT_FALSE(PasswordMatches(stored, ""));
  // A fresh salt each time.
  EXPECT_NE(HashPassword("x", 1000), HashPassword("x", 1000));
  // The older plain form compares exactly, letter case included.
  EXPECT_TRUE(PasswordMatches("Open", "Open"));
  EXPECT_FALSE(PasswordMatches("Open", "open"));
}

TEST(PasswordHashTest, DamagedValuesMatchNothing) {
  const std::string good = HashPassword("pw", 1000);
  const std::string salt_and_hash = good.substr(good.find('$', 16));
  const std::string cases[] = {
      "$pbkdf2-sha256$",
      "$pbkdf2-sha256$1000",
      "$pbkdf2-sha256$0" + salt_and_hash,
      "$pbkdf2-sha256$-5" + salt_and_hash,
      "$pbkdf2-sha256$99999999999" + salt_and_hash,
      "$pbkdf2-sha256$2000000000" + salt_and_hash,
      "$pbkdf2-sha256$1e3" + salt_and_hash,
      "$pbkdf2-sha256$1000$$",
      "$pbkdf2-sha256$1000$!!!$AAAA",
      "$pbkdf2-sha256$1000$c2FsdA$c2hvcnQ",
      good + "$extra",
  };
  for (const std::string& stored : cases) {
    EXPECT_FALSE(PasswordMatches(stored, "pw")) << stored;
  }
  EXPECT_TRUE(PasswordMatches(good, "pw"));
}

class PasswordSettingsTest : public ::testing::Test {
 protected:
  TempFolder tmp_;
  SettingsFile settings_{tmp_ / "mirokata.ini"};
};

TEST_F(PasswordSettingsTest, BuiltInPhraseUntilAPasswordIsSet) {
  EXPECT_EQ(std::string(kBuiltInPassPhrase).size(), 51u);
  EXPECT_TRUE(CheckPassword(settings_, kBuiltInPassPhrase));
  EXPECT_FALSE(CheckPassword(settings_, ""));
  ASSERT_TRUE(StorePassword(settings_, "新しい", true));
  EXPECT_FALSE(CheckPassword(settings_, kBuiltInPassPhrase));
  EXPECT_TRUE(CheckPassword(settings_, "新しい"));
  EXPECT_TRUE(settings_.ReadBool("Password", "tel", false));
  EXPECT_TRUE(IsPasswordHash(settings_.ReadString("Password", "Password", "")));
}

TEST_F(PasswordSettingsTest, OlderPlainValueBecomesAHashAtItsFirstCheck) {
  settings_.WriteString("Password", "Password", "Tomo2000");
  EXPECT_FALSE(CheckPassword(settings_, "tomo2000"));
  EXPECT_EQ(settings_.ReadString("Password", "Password", ""), "Tomo2000");
  EXPECT_TRUE(CheckPassword(settings_, "Tomo2000"));
  const std::string stored = settings_.ReadString("Password", "Password", "");
  EXPECT_TRUE(IsPasswordHash(stored));
  EXPECT_EQ(stored.find("Tomo2000"), std::string::npos);
  EXPECT_TRUE(CheckPassword(settings_, "Tomo2000"));
  EXPECT_FALSE(CheckPassword(settings_, "Tomo200"));
}

TEST_F(PasswordSettingsTest, WhichPartsAskAndTheirAccessTimes) {
  const struct {
    bool use, tel;
    bool diary, telephone, period;
  } cases[] = {{false, true, false, false, false},
               {true, false, true, false, true},
               {true, true, true, true, true}};
  for (const auto& c : cases) {
    settings_.Batch([&](SettingsBatch& b) {
      b.WriteBool("Password", "Use", c.use);
      b.WriteBool("Password", "tel", c.tel);
    });
    Settings s = settings_.Open();
    EXPECT_EQ(PartLocked(s, LockedPart::kDiary), c.diary);
    EXPECT_EQ(PartLocked(s, LockedPart::kTelephone), c.telephone);
    EXPECT_EQ(PartLocked(s, LockedPart::kPeriod), c.period);
  }
  LocalTime now{};
  now.year = 2026;
  now.month = 12;
  now.day = 1;
  now.hour = 7;
  now.minute = 5;
  now.second = 9;
  WriteAccessTime(settings_, LockedPart::kTelephone, now);
  EXPECT_EQ(settings_.ReadString("Password", "Telephone", ""),
            "2026/12/01 07:05:09");
}

}  // namespace
}  // namespace mirokata
