// Desktop entries as launcher shortcuts: what their Exec line starts.
#include "platform/desktop_entry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirokata {
namespace {

using Kind = DesktopLaunch::Kind;

TEST(DesktopEntry, ExecLineBecomesProgramAndArguments) {
  struct Case {
    const char* exec;
    std::vector<std::string> files;
    std::vector<std::string> command;  // program, then arguments
  };
  const Case cases[] = {
      {"gedit %U", {"/a b/x.txt", "y"}, {"gedit", "/a b/x.txt", "y"}},
      {"gedit %f", {"one", "two"}, {"gedit", "one"}},
      {"gedit %f", {}, {"gedit"}},
      {"\"/opt/My App/run\" --x=%u", {"u"}, {"/opt/My App/run", "--x=u"}},
      {"app \"a \\\"q\\\" \\$HOME \\\\ \\`\"",
       {},
       {"app", "a \"q\" $HOME \\ `"}},
      {"app 100%% %c %k %d %i",
       {},
       {"app", "100%", "Memo", "/e/m.desktop", "--icon", "memo"}},
      // \s is a plain blank once the value is read: it separates words.
      {"app\\sname \"a\\sb\"", {}, {"app", "name", "a b"}},
      // No field code: the parameters still reach the program.
      {"xclock -digital",
       {"-update", "1"},
       {"xclock", "-digital", "-update", "1"}},
      // Shell syntax is no syntax here.
      {"sh -c \"rm -rf ~\" ; reboot",
       {},
       {"sh", "-c", "rm -rf ~", ";", "reboot"}},
  };
  for (const Case& c : cases) {
    const std::string entry = std::string(
                                  "[Desktop Entry]\nType=Application\n"
                                  "Name=Memo\nIcon=memo\nExec=") +
                              c.exec + "\nPath=/work\n";
    const DesktopLaunch launch =
        ParseDesktopEntry(entry, c.files, "/e/m.desktop");
    ASSERT_EQ(launch.kind, Kind::kProgram) << c.exec;
    std::vector<std::string> command = {launch.program};
    command.insert(command.end(), launch.arguments.begin(),
                   launch.arguments.end());
    EXPECT_EQ(command, c.command) << c.exec;
    EXPECT_EQ(launch.working_folder, "/work");
  }
}

TEST(DesktopEntry, OnlyTheMainGroupCountsAndBadEntriesStartNothing) {
  struct Case {
    const char* contents;
    Kind kind;
    const char* what;  // program or address
  };
  const Case cases[] = {
      {"[Desktop Entry]\nType=Link\nURL=https://example.org/\n", Kind::kAddress,
       "https://example.org/"},
      {"# c\n[Desktop Action new]\nExec=wrong\n[Desktop Entry]\r\n"
       "Type=Application\r\nExec=right\r\n",
       Kind::kProgram, "right"},
      {"[Desktop Entry]\nType=Application\nExec=\"unterminated\n", Kind::kNone,
       ""},
      {"[Desktop Entry]\nType=Application\n", Kind::kNone, ""},
      {"[Desktop Entry]\nType=Directory\nExec=x\n", Kind::kNone, ""},
      {"[Desktop Entry]\nType=Application\nExec=%f\n", Kind::kNone, ""},
      {"Exec=x\nType=Application\n", Kind::kNone, ""},
      {"", Kind::kNone, ""},
      {"\x01\xff[\n=\n", Kind::kNone, ""},
  };
  for (const Case& c : cases) {
    const DesktopLaunch launch = ParseDesktopEntry(c.contents, {}, "");
    EXPECT_EQ(launch.kind, c.kind) << c.contents;
    if (c.kind == Kind::kProgram) {
      EXPECT_EQ(launch.program, c.what);
    }
    if (c.kind == Kind::kAddress) {
      EXPECT_EQ(launch.address, c.what);
    }
  }
}

}  // namespace
}  // namespace mirokata
