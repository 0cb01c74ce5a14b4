#include "base/folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "base/program_folder.h"
#include "base/settings_file.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

struct FolderCase {
  const char* name;
  ProgramFolderInputs inputs;
  bool exe_writable;
  const char* expected;
};

TEST(ProgramFolderTest, ChoosesByPrecedence) {
  const FolderCase cases[] = {
      {"option wins",
       {"/opt/a", "/env/b", "/bin", "", "/home/u", "/cwd"},
       true,
       "/opt/a/"},
      {"relative option",
       {"rel/x", std::nullopt, "/bin", "", "/home/u", "/cwd"},
       true,
       "/cwd/rel/x/"},
      {"environment",
       {std::nullopt, "/env/b/", "/bin", "", "/home/u", "/"},
       true,
       "/env/b/"},
      {"empty environment ignored",
       {std::nullopt, "", "/app", "", "/h", "/"},
       true,
       "/app/"},
      {"writable executable folder",
       {std::nullopt, std::nullopt, "/app", "/xdg", "/h", "/"},
       true,
       "/app/"},
      {"read-only: XDG data home",
       {std::nullopt, std::nullopt, "/usr/bin", "/xdg", "/h", "/"},
       false,
       "/xdg/mirokata/"},
      {"read-only: default data home",
       {std::nullopt, std::nullopt, "/usr/bin", "", "/h", "/"},
       false,
       "/h/.local/share/mirokata/"},
      // As the administrator, an installed program's folder is writable;
      // it still keeps no one's files.
      {"installed, writable: XDG data home",
       {std::nullopt, std::nullopt, "/usr/bin", "/xdg", "/h", "/"},
       true,
       "/xdg/mirokata/"},
      {"installed under /usr/local",
       {std::nullopt, std::nullopt, "/usr/local/bin/", "", "/h", "/"},
       true,
       "/h/.local/share/mirokata/"},
      {"/bin itself",
       {std::nullopt, std::nullopt, "/bin", "", "/h", "/"},
       true,
       "/h/.local/share/mirokata/"},
      {"a folder only named like one",
       {std::nullopt, std::nullopt, "/usrx/bin", "", "/h", "/"},
       true,
       "/usrx/bin/"},
      {"relative XDG value ignored",
       {std::nullopt, std::nullopt, "/usr/bin", "xdg", "/h", "/"},
       false,
       "/h/.local/share/mirokata/"},
  };
  for (const FolderCase& c : cases) {
    std::string asked;
    std::string got = ResolveProgramFolder(c.inputs, [&](const std::string& p) {
      asked = p;
      return c.exe_writable;
    });
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

TEST(ProgramFolderTest, PathsKeepTheirTextAndStillWork) {
  TempFolder dir;
  const std::string program = dir.path() + "/";
  EXPECT_EQ(JoinPath("/d", "Todo"), "/d/Todo");
  EXPECT_EQ(SettingsFilePath(program), dir.path() + "//mirokata.ini");
  // The doubled separator is harmless for the file system.
  SettingsFile file(SettingsFilePath(program));
  ASSERT_TRUE(file.WriteString("Form", "k", "v"));
  EXPECT_TRUE(FileExists(dir / "mirokata.ini"));
}

class DataFolderTest : public ::testing::Test {
 protected:
  TempFolder dir_;
  std::string program_ = dir_.path() + "/";
  SettingsFile file_{dir_ / "mirokata.ini"};
};

TEST_F(DataFolderTest, DefaultsAndPrivacyFallback) {
  Settings s = file_.Open();
  EXPECT_EQ(DataFolder(s), ".");
  EXPECT_TRUE(IsNoDataFolder(DataFolder(s)));
  s.WriteString("Calendar", "directory", "/data/");
  EXPECT_EQ(DataFolder(file_.Open()), "/data/");
  EXPECT_EQ(PrivacyFolder(file_.Open()), "/data/");
  file_.WriteString("PRIVACY", "Directory", "/media/usb");
  EXPECT_EQ(PrivacyFolder(file_.Open()), "/media/usb");
}

TEST_F(DataFolderTest, FirstStartCreatesScheduleFolder) {
  Settings s = file_.Open();
  const std::string stored = SetUpFirstDataFolder(s, program_);
  EXPECT_EQ(stored, dir_.path() + "//Schedule");
  EXPECT_EQ(file_.ReadString("Calendar", "Directory", ""), stored);
  EXPECT_TRUE(FolderExists(dir_ / "Schedule"));
  // An existing folder keeps its contents; the path is stored all the same.
  std::ofstream(dir_ / "Schedule/keep") << "x";
  SetUpFirstDataFolder(s, program_);
  EXPECT_TRUE(FileExists(dir_ / "Schedule/keep"));
}

TEST_F(DataFolderTest, MissingFolderIsForgottenAtStart) {
  std::filesystem::create_directory(dir_ / "data");
  file_.WriteString("Calendar", "Directory", dir_ / "data");
  Settings s = file_.Open();
  ForgetMissingDataFolder(s);
  EXPECT_EQ(file_.ReadString("Calendar", "Directory", ""), dir_ / "data");

  std::filesystem::rename(dir_ / "data", dir_ / "renamed");
  Settings again = file_.Open();
  ForgetMissingDataFolder(again);
  EXPECT_EQ(file_.ReadString("Calendar", "Directory", ""), ".");

  // A plain file of that name is no data folder either.
  std::ofstream(dir_ / "file") << "x";
  file_.WriteString("Calendar", "Directory", dir_ / "file");
  Settings third = file_.Open();
  ForgetMissingDataFolder(third);
  EXPECT_EQ(file_.ReadString("Calendar", "Directory", ""), ".");
}

TEST_F(DataFolderTest, ChoosingTheDataFolder) {
  Settings s = file_.Open();
  DataFolderChoice c = StoreChosenDataFolder(s, "/srv/sched");
  EXPECT_EQ(c.stored, "/srv/sched");
  EXPECT_FALSE(c.is_root);
  EXPECT_TRUE(c.privacy_follows);
  EXPECT_EQ(file_.ReadString("Calendar", "Directory", ""), "/srv/sched");

  // The root stays stored, with a warning.
  c = StoreChosenDataFolder(s, "/");
  EXPECT_TRUE(c.is_root);
  EXPECT_EQ(file_.ReadString("Calendar", "Directory", ""), "/");
  EXPECT_EQ(JoinPath(DataFolder(file_.Open()), "0900__25.~~"), "//0900__25.~~");

  file_.WriteString("Privacy", "Directory", "/media/usb");
  EXPECT_FALSE(StoreChosenDataFolder(s, "/srv").privacy_follows);
}

TEST_F(DataFolderTest, ChoosingThePrivacyFolder) {
  struct Case {
    const char* chosen;
    const char* data_folder;
    const char* stored;
    const char* shown;
  } cases[] = {
      {"/media/usb/", "/data", "/media/usb", "/media/usb"},
      {"/media/usb", "/data", "/media/usb", "/media/usb"},
      {"/data", "/data", "", "/data"},  // the data folder itself
      {"/data/", "/data", "", "/data"},
      {"/", "/data", "/", "/"},  // never empty by accident
  };
  for (const Case& c : cases) {
    Settings s = file_.Open();
    EXPECT_EQ(StoreChosenPrivacyFolder(s, c.chosen, c.data_folder), c.shown);
    EXPECT_EQ(file_.ReadString("Privacy", "Directory", "?"), c.stored)
        << c.chosen;
  }
}

}  // namespace
}  // namespace mirokata
