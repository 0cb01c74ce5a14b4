#include "base/autostart.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_folder.h"

namespace mirokata {
namespace {

std::string ExecLine(const std::string& text) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("Exec=", 0) == 0) return line.substr(5);
  }
  return {};
}

// The program's path as the desktop's launcher must read it back: quoted
// when it holds reserved characters, then escaped as a string value.
TEST(AutostartTest, ExecQuotesThePathAsDesktopEntriesNeed) {
  const struct {
    const char* program;
    const char* exec;
  } cases[] = {
      {"/usr/bin/mirokata", "/usr/bin/mirokata"},
      {"/home/u/my apps/mirokata", "\"/home/u/my apps/mirokata\""},
      {"/opt/a$b/mirokata", "\"/opt/a\\\\$b/mirokata\""},
      {"/opt/a\"b\\c/mirokata", "\"/opt/a\\\\\"b\\\\\\\\c/mirokata\""},
      {"/opt/100%/mirokata", "/opt/100%%/mirokata"},
      {"/home/u/予定/mirokata", "/home/u/予定/mirokata"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program);
    EXPECT_EQ(ExecLine(AutostartEntryText(c.program)), c.exec);
  }
}

TEST(AutostartTest, SwitchWritesAndRemovesTheEntry) {
  TempFolder home;
  const std::string config = home / "config";
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  const std::string entry = config + "/autostart/mirokata.desktop";
  EXPECT_EQ(AutostartEntryPath(), entry);
  EXPECT_FALSE(AutostartEnabled());

  // Folders that are not there yet are made; the entry is an ordinary
  // readable file.
  ASSERT_TRUE(SetAutostart(true, "/usr/bin/mirokata"));
  EXPECT_TRUE(AutostartEnabled());
  struct stat st {};
  ASSERT_EQ(::stat(entry.c_str(), &st), 0);
  EXPECT_EQ(
      st.st_mode & 07777, 0666u & ~[] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
      }());
  ASSERT_EQ(::stat(config.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // A desktop that switched it off keeps the file with Hidden=true.
  std::ofstream(entry, std::ios::app) << "Hidden=true\n";
  EXPECT_FALSE(AutostartEnabled());

  ASSERT_TRUE(SetAutostart(false, "/usr/bin/mirokata"));
  EXPECT_FALSE(std::filesystem::exists(entry));
  EXPECT_TRUE(SetAutostart(false, "/usr/bin/mirokata"));  // already gone

  // A config folder that cannot be made is reported, not ignored.
  std::ofstream(home / "file") << "x";
  setenv("XDG_CONFIG_HOME", (home / "file").c_str(), 1);
  std::string error;
  EXPECT_FALSE(SetAutostart(true, "/usr/bin/mirokata", &error));
  EXPECT_FALSE(error.empty());
  unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace mirokata
