// The launcher menu in the settings file: up to three levels, each level
// named by its path ("Main", "Main-" + a submenu title, and one more) and
// kept in three sections ("ExecTitle_", "ExecSub_", "ExecCommand_" + path);
// the run table `ExecCommand` that numbers the runnable items of the built
// menu; and the editor's checks and writes of one level.
#ifndef MIROKATA_MAINWIN_LAUNCHER_MENU_H_
#define MIROKATA_MAINWIN_LAUNCHER_MENU_H_

#include <string>
#include <string_view>
#include <vector>

#include "base/settings_file.h"

namespace mirokata {

class Shell;

inline constexpr std::string_view kLauncherTopPath = "Main";
inline constexpr int kLauncherDepth = 3;

// One item of a level as stored.
struct LauncherEntry {
  std::string title;    // "-" is a separator line
  std::string command;  // command text; "-" for a separator
  bool submenu = false;
  bool operator==(const LauncherEntry&) const = default;
  bool separator() const { return title == "-"; }
};

// A level's items in index order. `Count` is not trusted: only indices
// below it whose title key is present count, so an absurd `Count` costs
// nothing and a level lists at most the keys it holds.
std::vector<LauncherEntry> ReadLauncherLevel(const SettingsReader& settings,
                                             std::string_view path);

std::string LauncherSubPath(std::string_view path, std::string_view title);

// The built menu: items with their run numbers (command items only).
struct LauncherNode {
  std::string title;
  bool separator = false;
  int number = -1;  // key in `ExecCommand`; -1 for submenus, separators
  std::vector<LauncherNode> children;  // a submenu's items
  bool submenu = false;
};
struct LauncherMenu {
  std::vector<LauncherNode> items;
  std::vector<std::string> commands;  // by run number
};

LauncherMenu ReadLauncherMenu(const SettingsReader& settings);
// Reads the menu and replaces `ExecCommand` with its run table in one
// write, so the table always matches what is shown.
LauncherMenu BuildLauncherMenu(SettingsFile& settings);

// Opens `ExecCommand`/number as a command text; nothing when it is empty.
bool RunLauncherItem(SettingsFile& settings, Shell& shell, int number);
// Opens a command text: the file through the shell with its parameters, in
// the file's folder.
bool OpenCommandText(Shell& shell, std::string_view command_text);

enum class LauncherRefusal {
  kNone,
  kDuplicateTitle,  // a title repeats within the level
  kSamePath,        // two submenus would share one section
  kNotWritten,      // the file could not be written or a name is unusable
};

// Whether `items` may become level `path`: titles (separators aside) must
// differ within the level, ignoring letter case as section names do, and
// no two submenus of the whole menu, with this level replaced, may have
// the same path ("A" > "B-C" and "A-B" > "C" are both Main-A-B-C).
LauncherRefusal CheckLauncherLevel(const SettingsReader& settings,
                                   std::string_view path,
                                   const std::vector<LauncherEntry>& items);

// The editor's "save": after the checks, the three sections of the level
// are replaced in one batch.
LauncherRefusal SaveLauncherLevel(SettingsFile& settings, std::string_view path,
                                  const std::vector<LauncherEntry>& items);

// "MAIN" in any letter case cannot be a title.
bool IsReservedLauncherTitle(std::string_view title);

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_LAUNCHER_MENU_H_
