#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include "mainwin/launcher_actions.h"
#include "mainwin/launcher_menu.h"
#include "platform/testing/fake_shell.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;
using Kind = FakeShell::Call::Kind;

class LauncherTest : public ::testing::Test {
 protected:
  void WriteRaw(const std::string& text) {
    std::ofstream(ini_, std::ios::binary) << text;
  }
  std::string ReadRaw() {
    std::ifstream in(ini_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  TempFolder dir_;
  const std::string ini_ = dir_ / "mirokata.ini";
  FakeShell shell_;
};

LauncherEntry Command(std::string title, std::string command) {
  return {std::move(title), std::move(command), false};
}
LauncherEntry Sub(std::string title) { return {std::move(title), "", true}; }
LauncherEntry Separator() { return {"-", "-", false}; }

TEST_F(LauncherTest, ASubmenuIsStoredUnderItsTitleAndBuiltBelowIt) {
  // A stale run table from an older menu must not survive the build.
  WriteRaw("[ExecCommand]\r\n0=old\r\n7=stale\r\n");
  SettingsFile file(ini_);
  ASSERT_EQ(SaveLauncherLevel(file, "Main",
                              {Sub("Tools"), Command("Editor", "/usr/bin/ed")}),
            LauncherRefusal::kNone);
  ASSERT_EQ(SaveLauncherLevel(file, "Main-Tools",
                              {Command("Calc", "/usr/bin/calc?-x"), Separator(),
                               Command("Term", "xterm")}),
            LauncherRefusal::kNone);
  {
    Settings s = file.Open();
    EXPECT_EQ(s.ReadInteger("ExecTitle_Main-Tools", "Count", 0), 3);
    EXPECT_EQ(s.ReadInteger("ExecSub_Main", "0", 0), 1);
  }
  const LauncherMenu menu = BuildLauncherMenu(file);
  ASSERT_EQ(menu.items.size(), 2u);
  const LauncherNode& tools = menu.items[0];
  EXPECT_TRUE(tools.submenu);
  EXPECT_EQ(tools.title, "Tools");
  ASSERT_EQ(tools.children.size(), 3u);
  EXPECT_EQ(tools.children[0].title, "Calc");
  EXPECT_TRUE(tools.children[1].separator);
  EXPECT_EQ(tools.children[2].title, "Term");
  EXPECT_EQ(menu.items[1].title, "Editor");

  // The run table is exactly the built menu's runnable items.
  Settings s = file.Open();
  const std::vector<std::string> keys = s.ListKeys("ExecCommand");
  ASSERT_EQ(keys.size(), menu.commands.size());
  const LauncherNode* runnable[] = {&tools.children[0], &tools.children[2],
                                    &menu.items[1]};
  for (const LauncherNode* node : runnable) {
    ASSERT_GE(node->number, 0) << node->title;
    EXPECT_EQ(s.ReadString("ExecCommand", std::to_string(node->number), ""),
              menu.commands[node->number]);
  }
  EXPECT_EQ(menu.commands[tools.children[0].number], "/usr/bin/calc?-x");

  ASSERT_TRUE(RunLauncherItem(file, shell_, tools.children[0].number));
  ASSERT_EQ(shell_.calls().size(), 1u);
  EXPECT_EQ(shell_.calls()[0].kind, Kind::kOpen);
  EXPECT_EQ(shell_.calls()[0].target, "/usr/bin/calc");
  EXPECT_EQ(shell_.calls()[0].parameters, "-x");
  EXPECT_EQ(shell_.calls()[0].working_folder, "/usr/bin/");
  EXPECT_FALSE(RunLauncherItem(file, shell_, 99));  // nothing stored
  EXPECT_EQ(shell_.calls().size(), 1u);
}

TEST_F(LauncherTest, StoredCountsAreNotTrusted) {
  struct Case {
    const char* name;
    const char* ini;
    std::vector<std::string> titles;
  };
  const Case cases[] = {
      {"absurd count",
       "[ExecTitle_Main]\r\nCount=2147483647\r\n0=a\r\n1=b\r\n",
       {"a", "b"}},
      {"count below the keys",
       "[ExecTitle_Main]\r\nCount=1\r\n0=a\r\n1=b\r\n",
       {"a"}},
      {"negative count", "[ExecTitle_Main]\r\nCount=-3\r\n0=a\r\n", {}},
      {"missing titles",
       "[ExecTitle_Main]\r\nCount=4\r\n3=d\r\n1=b\r\n",
       {"b", "d"}},
      {"odd keys",
       "[ExecTitle_Main]\r\nCount=9\r\n01=x\r\n-1=y\r\n2=c\r\n",
       {"c"}},
      {"empty title", "[ExecTitle_Main]\r\nCount=1\r\n0=\r\n", {""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteRaw(c.ini);
    SettingsFile file(ini_);
    std::vector<std::string> titles;
    for (const LauncherNode& n : ReadLauncherMenu(file.Open()).items) {
      titles.push_back(n.title);
    }
    EXPECT_EQ(titles, c.titles);
  }
}

TEST_F(LauncherTest, AThirdLevelHasOnlyCommandItems) {
  WriteRaw(
      "[ExecTitle_Main]\r\nCount=1\r\n0=A\r\n[ExecSub_Main]\r\n0=1\r\n"
      "[ExecTitle_Main-A]\r\nCount=1\r\n0=B\r\n[ExecSub_Main-A]\r\n0=1\r\n"
      "[ExecTitle_Main-A-B]\r\nCount=1\r\n0=C\r\n[ExecSub_Main-A-B]\r\n0=1\r\n"
      "[ExecCommand_Main-A-B]\r\n0=/bin/c\r\n"
      "[ExecTitle_Main-A-B-C]\r\nCount=1\r\n0=D\r\n");
  SettingsFile file(ini_);
  const LauncherMenu menu = ReadLauncherMenu(file.Open());
  const LauncherNode& c = menu.items.at(0).children.at(0).children.at(0);
  EXPECT_FALSE(c.submenu);
  EXPECT_TRUE(c.children.empty());
  EXPECT_EQ(menu.commands, (std::vector<std::string>{"/bin/c"}));
}

TEST_F(LauncherTest, TheEditorRefusesTitlesAndPathsThatWouldCollide) {
  SettingsFile file(ini_);
  ASSERT_EQ(SaveLauncherLevel(file, "Main", {Sub("A"), Sub("A-B")}),
            LauncherRefusal::kNone);
  ASSERT_EQ(SaveLauncherLevel(file, "Main-A", {Sub("B-C")}),
            LauncherRefusal::kNone);
  const std::string before = ReadRaw();

  struct Case {
    const char* name;
    const char* path;
    std::vector<LauncherEntry> items;
    LauncherRefusal expected;
  };
  const Case cases[] = {
      {"a title twice",
       "Main-A-B-C",
       {Command("x", "/a"), Command("y", "/b"), Command("x", "/c")},
       LauncherRefusal::kDuplicateTitle},
      {"a title twice in other letter case",
       "Main",
       {Sub("A"), Sub("A-B"), Command("a", "/x")},
       LauncherRefusal::kDuplicateTitle},
      {"A > B-C against A-B > C",
       "Main-A-B",
       {Sub("C")},
       LauncherRefusal::kSamePath},
      {"A > B against the top-level A-B",
       "Main-A",
       {Sub("B-C"), Sub("b")},
       LauncherRefusal::kSamePath},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SaveLauncherLevel(file, c.path, c.items), c.expected);
    EXPECT_EQ(ReadRaw(), before) << "a refused level was written";
  }
  // Separators repeat freely; "MAIN" in any case is no title.
  EXPECT_EQ(SaveLauncherLevel(file, "Main-A-B",
                              {Separator(), Command("C", "/c"), Separator()}),
            LauncherRefusal::kNone);
  for (const char* t : {"MAIN", "main", "Main", " mAiN "}) {
    EXPECT_TRUE(IsReservedLauncherTitle(t)) << t;
  }
  EXPECT_FALSE(IsReservedLauncherTitle("Mains"));
}

TEST_F(LauncherTest, CtrlDropGivesEachFileToItsProgramAsOneArgument) {
  const std::string entry = dir_ / "viewer.desktop";
  std::ofstream(entry) << "[Desktop Entry]\nType=Application\nName=V\n"
                          "Exec=/usr/bin/view --one %f\n";
  WriteRaw(
      "[Ext_Exec]\r\n.txt=/opt/ed/edit?--new \"two words\"\r\n"
      ".png=" +
      entry + "\r\n[Ext_Form]\r\nCount=99\r\nExec=/usr/bin/fallback\r\n");
  struct Case {
    const char* name;
    std::string path;
    std::string program;
    std::vector<std::string> arguments;
    std::string folder;
  };
  const std::string hostile = "/d/a\" --x \"b.TXT";
  const Case cases[] = {
      {"capital extension",
       "/d/NOTE.TXT",
       "/opt/ed/edit",
       {"--new", "two words", "/d/NOTE.TXT"},
       "/opt/ed/"},
      {"quotes in the name",
       hostile,
       "/opt/ed/edit",
       {"--new", "two words", hostile},
       "/opt/ed/"},
      {"shell characters",
       "/d/$(rm -rf ~);x.txt",
       "/opt/ed/edit",
       {"--new", "two words", "/d/$(rm -rf ~);x.txt"},
       "/opt/ed/"},
      {"unlisted extension",
       "/d/x.pdf",
       "/usr/bin/fallback",
       {"/d/x.pdf"},
       "/usr/bin/"},
      {"no extension",
       "/d/README",
       "/usr/bin/fallback",
       {"/d/README"},
       "/usr/bin/"},
      {"a desktop entry as the program",
       "/d/p.PNG",
       "/usr/bin/view",
       {"--one", "/d/p.PNG"},
       dir_.path() + "/"},
  };
  SettingsFile file(ini_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    shell_.Clear();
    const DropLaunchResult r =
        OpenWithAssociations(file.Open(), shell_, {c.path});
    EXPECT_EQ(r.started, 1);
    ASSERT_EQ(shell_.calls().size(), 1u);
    const FakeShell::Call& call = shell_.calls()[0];
    EXPECT_EQ(call.kind, Kind::kStartProgram);
    EXPECT_EQ(call.target, c.program);
    EXPECT_EQ(call.arguments, c.arguments);
    EXPECT_EQ(call.working_folder, c.folder);
  }
  // Without a fallback, an unlisted file is skipped, never started itself.
  ASSERT_TRUE(file.WriteString("Ext_Form", "Exec", ""));
  shell_.Clear();
  const DropLaunchResult r =
      OpenWithAssociations(file.Open(), shell_, {"/d/x.pdf", "/d/y.exe"});
  EXPECT_EQ(r.started, 0);
  EXPECT_FALSE(r.failed);
  EXPECT_TRUE(shell_.calls().empty());
}

TEST_F(LauncherTest, AssociationsSaveInOneBatchWithoutTrustingCount) {
  WriteRaw(
      "[Ext_Form]\r\nCount=40\r\nExec=/bin/a\r\n"
      "[Ext_Exec]\r\n.txt=/bin/ed\r\n.jpg=/bin/view\r\n");
  SettingsFile file(ini_);
  Associations table = ReadAssociations(file.Open());
  ASSERT_EQ(table.programs.size(), 2u);
  table.programs.erase(table.programs.begin());
  table.programs.emplace_back(".PDF", "/bin/pdf");
  table.fallback = "/bin/b";
  ASSERT_TRUE(SaveAssociations(file, table));
  Settings s = file.Open();
  EXPECT_EQ(s.ListKeys("Ext_Exec"), (std::vector<std::string>{".jpg", ".pdf"}));
  EXPECT_EQ(s.ReadInteger("Ext_Form", "Count", 0), 2);
  EXPECT_EQ(s.ReadString("Ext_Form", "Exec", ""), "/bin/b");
  EXPECT_EQ(AssociationFor(s, "/x/y.Pdf"), "/bin/pdf");
  EXPECT_EQ(AssociationFor(s, "/x/y.txt"), "/bin/b");
}

TEST(DroppedNamesTest, ClipboardTextFollowsShiftAndSeparate) {
  const std::vector<std::string> three = {"/a/one.txt", "/b/two words",
                                          "/c/three"};
  struct Case {
    std::vector<std::string> paths;
    bool names_only, separate;
    std::string expected;
  };
  const Case cases[] = {
      {three, false, false, "/a/one.txt\r\n/b/two words\r\n/c/three\r\n"},
      {three, true, false, "one.txt\r\ntwo words\r\nthree\r\n"},
      {three, false, true, "/a/one.txt /b/two words /c/three"},
      {three, true, true, "one.txt two words three"},
      {{"/a/one.txt"}, false, false, "/a/one.txt"},
      {{"/a/one.txt"}, true, true, "one.txt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DroppedNamesText(c.paths, c.names_only, c.separate), c.expected)
        << c.names_only << c.separate;
  }
}

class LauncherBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.TouchAll({"Firefox.desktop", "fire.lnk", "notes.txt", "[ab].desktop",
                   "*x.sh", ".hidden", "Fx", "日記.desktop"});
    fs::create_directory(dir_ / "fireplace");
    fs::create_symlink(dir_ / "fireplace", dir_ / "firelink");
    fs::create_symlink(dir_ / "gone", dir_ / "fireghost.lnk");
  }
  TempFolder dir_;
};

TEST_F(LauncherBoxTest, ListsNamesStartingWithTheTextLiterally) {
  struct Case {
    const char* typed;
    std::vector<std::string> listed;
  };
  const Case cases[] = {
      {"FI", {"fire", "Firefox", "fireghost"}},
      {"firef", {"Firefox"}},
      {"[a", {"[ab]"}},
      {"[", {"[ab]"}},
      {"*", {"*x"}},
      {"?", {}},
      {"日", {"日記"}},
      {"zz", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ListShortcuts(dir_.path(), c.typed), c.listed) << c.typed;
  }
  EXPECT_EQ(ListShortcuts(dir_.path(), "").size(), 8u);
  EXPECT_TRUE(ListShortcuts(dir_ / "missing", "").empty());
  EXPECT_TRUE(TypedMatchesFirst("FIRE", ListShortcuts(dir_.path(), "FIRE")));
  EXPECT_FALSE(TypedMatchesFirst("fir", ListShortcuts(dir_.path(), "fir")));
}

TEST_F(LauncherBoxTest, EnterResolvesAgainstTheShortcutFolder) {
  char before[4096];
  ASSERT_NE(getcwd(before, sizeof before), nullptr);
  const std::string& f = dir_.path();
  struct Case {
    const char* typed;
    std::string command;
  };
  const Case cases[] = {
      {"firefox", f + "/Firefox.desktop"},
      {"NOTES", f + "/notes.txt"},
      {"fx", f + "/Fx"},
      {".", f},
      {"./notes.txt", f + "/./notes.txt"},
      {"sub/tool?-v x", f + "/sub/tool?-v x"},
      {"/usr/bin/env?a", "/usr/bin/env?a"},
      {"fireplace", "fireplace"},  // a folder is not a shortcut
      {"xterm", "xterm"},
      {"fir", "fir"},  // only whole names
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveLauncherText(f, c.typed), c.command) << c.typed;
  }
  char after[4096];
  ASSERT_NE(getcwd(after, sizeof after), nullptr);
  EXPECT_STREQ(before, after);
}

TEST(WebSearchTest, TheTextIsOneEncodedQueryValue) {
  EXPECT_EQ(WebSearchAddress("https://x/search?q=", "a&b#c+d%e f"),
            "https://x/search?q=a%26b%23c%2Bd%25e%20f");
  EXPECT_EQ(WebSearchAddress("p=", "日本"), "p=%E6%97%A5%E6%9C%AC");
  ASSERT_EQ(WebSearches().size(), 5u);
  EXPECT_STREQ(WebSearches()[0].caption, "Google 日本語");
  EXPECT_TRUE(std::string(WebSearches()[4].prefix)
                  .ends_with("cgi-bin/dict_search.cgi?sw=2&MT="));
}

}  // namespace
}  // namespace mirokata
