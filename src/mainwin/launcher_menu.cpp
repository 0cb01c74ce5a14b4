#include "mainwin/launcher_menu.h"

#include <algorithm>
#include <climits>
#include <set>
#include <utility>

#include "platform/shell.h"

namespace mirokata {

namespace {

std::string Section(std::string_view kind, std::string_view path) {
  std::string s(kind);
  s += path;
  return s;
}

// Names as the settings file compares them: ASCII case and outer blanks
// do not count.
std::string Fold(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  std::string folded(text.substr(first, last - first + 1));
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

// The index of a key "0", "1", ... (no sign, no leading zero).
int IndexOf(std::string_view key) {
  if (key.empty() || key.size() > 10 || (key.size() > 1 && key[0] == '0')) {
    return -1;
  }
  long long value = 0;
  for (char c : key) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value > INT_MAX ? -1 : static_cast<int>(value);
}

void BuildLevel(const SettingsReader& settings, const std::string& path,
                int depth, std::vector<LauncherNode>* nodes,
                std::vector<std::string>* commands) {
  for (LauncherEntry& e : ReadLauncherLevel(settings, path)) {
    LauncherNode node;
    node.title = e.title;
    if (e.separator()) {
      node.separator = true;
    } else if (e.submenu && depth < kLauncherDepth) {
      node.submenu = true;
      BuildLevel(settings, LauncherSubPath(path, e.title), depth + 1,
                 &node.children, commands);
    } else {
      node.number = static_cast<int>(commands->size());
      commands->push_back(std::move(e.command));
    }
    nodes->push_back(std::move(node));
  }
}

}  // namespace

std::vector<LauncherEntry> ReadLauncherLevel(const SettingsReader& settings,
                                             std::string_view path) {
  const std::string titles = Section("ExecTitle_", path);
  const std::string subs = Section("ExecSub_", path);
  const std::string commands = Section("ExecCommand_", path);
  const int count = settings.ReadInteger(titles, "Count", 0);
  std::vector<std::pair<int, std::string>> present;
  for (const std::string& key : settings.ListKeys(titles)) {
    const int index = IndexOf(key);
    if (index >= 0 && index < count) present.emplace_back(index, key);
  }
  std::sort(present.begin(), present.end());
  std::vector<LauncherEntry> items;
  items.reserve(present.size());
  for (const auto& [index, key] : present) {
    LauncherEntry e;
    e.title = settings.ReadString(titles, key, "");
    e.submenu = settings.ReadInteger(subs, key, 0) == 1;
    e.command = settings.ReadString(commands, key, "");
    items.push_back(std::move(e));
  }
  return items;
}

std::string LauncherSubPath(std::string_view path, std::string_view title) {
  std::string sub(path);
  sub += '-';
  sub += title;
  return sub;
}

LauncherMenu ReadLauncherMenu(const SettingsReader& settings) {
  LauncherMenu menu;
  BuildLevel(settings, std::string(kLauncherTopPath), 1, &menu.items,
             &menu.commands);
  return menu;
}

LauncherMenu BuildLauncherMenu(SettingsFile& settings) {
  Settings s = settings.Open();
  LauncherMenu menu = ReadLauncherMenu(s);
  SettingsBatch::Entries table;
  table.reserve(menu.commands.size());
  for (size_t i = 0; i < menu.commands.size(); ++i) {
    table.emplace_back(std::to_string(i), menu.commands[i]);
  }
  s.Batch([&](SettingsBatch& b) {
    if (table.empty()) {
      b.EraseSection("ExecCommand");
    } else {
      b.ReplaceSection("ExecCommand", table);
    }
  });
  return menu;
}

bool OpenCommandText(Shell& shell, std::string_view command_text) {
  const CommandText command = SplitCommandText(command_text);
  if (command.file.empty()) return false;
  return shell.Open(command.file, command.parameters,
                    FolderOfPath(command.file));
}

bool RunLauncherItem(SettingsFile& settings, Shell& shell, int number) {
  if (number < 0) return false;
  const std::string command =
      settings.ReadString("ExecCommand", std::to_string(number), "");
  if (command.empty()) return false;
  return OpenCommandText(shell, command);
}

bool IsReservedLauncherTitle(std::string_view title) {
  return Fold(title) == "main";
}

LauncherRefusal CheckLauncherLevel(const SettingsReader& settings,
                                   std::string_view path,
                                   const std::vector<LauncherEntry>& items) {
  std::set<std::string> titles;
  for (const LauncherEntry& e : items) {
    if (e.separator()) continue;
    if (!titles.insert(Fold(e.title)).second) {
      return LauncherRefusal::kDuplicateTitle;
    }
  }
  // Every submenu path of the menu with this level as it would become.
  const std::string target = Fold(path);
  std::set<std::string> paths;
  bool clash = false;
  auto walk = [&](auto&& self, const std::string& level, int depth) -> void {
    if (clash || depth >= kLauncherDepth) return;
    const std::vector<LauncherEntry> entries =
        Fold(level) == target ? items : ReadLauncherLevel(settings, level);
    for (const LauncherEntry& e : entries) {
      if (!e.submenu || e.separator()) continue;
      const std::string sub = LauncherSubPath(level, e.title);
      if (!paths.insert(Fold(sub)).second) {
        clash = true;
        return;
      }
      self(self, sub, depth + 1);
    }
  };
  walk(walk, std::string(kLauncherTopPath), 1);
  return clash ? LauncherRefusal::kSamePath : LauncherRefusal::kNone;
}

LauncherRefusal SaveLauncherLevel(SettingsFile& settings, std::string_view path,
                                  const std::vector<LauncherEntry>& items) {
  Settings s = settings.Open();
  const LauncherRefusal refusal = CheckLauncherLevel(s, path, items);
  if (refusal != LauncherRefusal::kNone) return refusal;
  SettingsBatch::Entries titles, subs, commands;
  titles.emplace_back("Count", std::to_string(items.size()));
  for (size_t i = 0; i < items.size(); ++i) {
    const std::string key = std::to_string(i);
    const LauncherEntry& e = items[i];
    titles.emplace_back(key, e.title);
    subs.emplace_back(key, e.submenu && !e.separator() ? "1" : "0");
    commands.emplace_back(key, e.separator() ? "-" : e.command);
  }
  // A refused name leaves the file as it was, not half of the level.
  SettingsBatch batch = s.StartBatch();
  if (!batch.ReplaceSection(Section("ExecTitle_", path), titles) ||
      !batch.ReplaceSection(Section("ExecSub_", path), subs) ||
      !batch.ReplaceSection(Section("ExecCommand_", path), commands) ||
      !batch.Commit()) {
    return LauncherRefusal::kNotWritten;
  }
  return LauncherRefusal::kNone;
}

}  // namespace mirokata
