// Any bytes as the settings file: the launcher menu and the memo index
// built from it must not crash; every run number of the menu must name one
// command, the menu must stop at three levels, and every memo listed must
// have a name that is "Memo" and digits.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "base/settings_file.h"
#include "mainwin/launcher_menu.h"
#include "notes/memo_store.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    char tmpl[] = "/tmp/mirokata-launcher-memo-fuzz-XXXXXX";
    const char* made = mkdtemp(tmpl);
    if (!made) abort();
    return std::string(made);
  }();
  return folder;
}

void CheckLevel(const std::vector<mirokata::LauncherNode>& nodes, int depth,
                size_t commands) {
  if (depth > mirokata::kLauncherDepth && !nodes.empty()) abort();
  for (const mirokata::LauncherNode& n : nodes) {
    if (n.number >= 0 && static_cast<size_t>(n.number) >= commands) abort();
    if (!n.submenu && !n.children.empty()) abort();
    CheckLevel(n.children, depth + 1, commands);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mirokata;
  const std::string path = Folder() + "/mirokata.ini";
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), std::streamsize(size));
  SettingsFile file(path);
  Settings s = file.Open();

  const LauncherMenu menu = ReadLauncherMenu(s);
  CheckLevel(menu.items, 1, menu.commands.size());
  CheckLauncherLevel(s, "Main", ReadLauncherLevel(s, "Main"));

  for (const MemoCategory& c : ReadAllMemoCategories(s)) {
    for (const MemoEntry& m : c.memos) {
      const std::optional<int> n = MemoNumberOf(m.name);
      if (!n || MemoName(*n) != m.name) abort();
    }
  }
  const std::optional<int> next = NextMemoNumber(s, Folder() + "/Memo");
  if (next && *next <= 0) abort();
  MemosShownAtExit(s);
  return 0;
}
