#include "mainwin/launcher_actions.h"

#include <QString>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/desktop_entry.h"
#include "platform/file_io.h"
#include "platform/shell.h"

namespace mirokata {

namespace {

namespace fs = std::filesystem;

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string_view NameOf(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() &&
         AsciiLower(text.substr(text.size() - tail.size())) == tail;
}

// Names of the folder's entries that are not folders (hidden ones aside),
// sorted. Errors give what could be read.
std::vector<std::string> FileNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code dir_ec;
    if (it->is_directory(dir_ec)) continue;  // a link to one counts too
    names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Join(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

}  // namespace

Associations ReadAssociations(const SettingsReader& settings) {
  Associations table;
  table.fallback = settings.ReadString("Ext_Form", "Exec", "");
  for (const std::string& key : settings.ListKeys("Ext_Exec")) {
    table.programs.emplace_back(AsciiLower(key),
                                settings.ReadString("Ext_Exec", key, ""));
  }
  return table;
}

bool SaveAssociations(SettingsFile& settings, const Associations& table) {
  SettingsBatch::Entries entries;
  for (const auto& [ext, program] : table.programs) {
    entries.emplace_back(AsciiLower(ext), program);
  }
  SettingsBatch batch = settings.StartBatch();
  if (!batch.WriteInteger("Ext_Form", "Count",
                          static_cast<int>(entries.size())) ||
      !batch.WriteString("Ext_Form", "Exec", table.fallback)) {
    return false;
  }
  if (entries.empty()) {
    batch.EraseSection("Ext_Exec");
  } else if (!batch.ReplaceSection("Ext_Exec", entries)) {
    return false;
  }
  return batch.Commit();
}

std::string LowerExtensionOf(std::string_view path) {
  const std::string_view name = NameOf(path);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos || dot + 1 == name.size()) return {};
  return AsciiLower(name.substr(dot));
}

std::string AssociationFor(const SettingsReader& settings,
                           std::string_view path) {
  const std::string ext = LowerExtensionOf(path);
  if (!ext.empty()) {
    std::string program = settings.ReadString("Ext_Exec", ext, "");
    if (!program.empty()) return program;
  }
  return settings.ReadString("Ext_Form", "Exec", "");
}

DropLaunchResult OpenWithAssociations(const SettingsReader& settings,
                                      Shell& shell,
                                      const std::vector<std::string>& paths) {
  DropLaunchResult result;
  for (const std::string& path : paths) {
    const CommandText command =
        SplitCommandText(AssociationFor(settings, path));
    if (command.file.empty()) continue;
    std::vector<std::string> arguments = SplitArguments(command.parameters);
    arguments.push_back(path);
    const std::string folder = FolderOfPath(command.file);
    bool ok = false;
    if (EndsWithNoCase(command.file, ".desktop")) {
      std::string contents;
      if (ReadFileHead(command.file, 1024 * 1024, &contents) ==
          ReadResult::kOk) {
        const DesktopLaunch launch =
            ParseDesktopEntry(contents, arguments, command.file);
        if (launch.kind == DesktopLaunch::Kind::kProgram) {
          ok = shell.StartProgram(
              launch.program, launch.arguments,
              launch.working_folder.empty() ? folder : launch.working_folder);
        }
      }
    } else {
      ok = shell.StartProgram(command.file, arguments, folder);
    }
    if (ok) {
      ++result.started;
    } else {
      result.failed = true;
    }
  }
  return result;
}

std::string DroppedNamesText(const std::vector<std::string>& paths,
                             bool names_only, bool separate) {
  auto name = [&](const std::string& p) {
    return names_only ? std::string(NameOf(p)) : p;
  };
  if (paths.size() == 1) return name(paths[0]);
  std::string text;
  for (size_t i = 0; i < paths.size(); ++i) {
    if (separate) {
      if (i > 0) text += ' ';
      text += name(paths[i]);
    } else {
      text += name(paths[i]);
      text += "\r\n";
    }
  }
  return text;
}

std::vector<std::string> ListShortcuts(const std::string& folder,
                                       std::string_view typed) {
  const QString prefix = Q(typed);
  // Folded once per name: the box refreshes after every key.
  std::vector<std::pair<QString, std::string>> listed;
  for (std::string& name : FileNamesIn(folder)) {
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.resize(dot);
    const QString stem = Q(name);
    if (stem.startsWith(prefix, Qt::CaseInsensitive)) {
      listed.emplace_back(stem.toCaseFolded(), std::move(name));
    }
  }
  std::sort(listed.begin(), listed.end());
  std::vector<std::string> names;
  names.reserve(listed.size());
  for (auto& entry : listed) {
    if (names.empty() || names.back() != entry.second) {
      names.push_back(std::move(entry.second));
    }
  }
  return names;
}

bool TypedMatchesFirst(std::string_view typed,
                       const std::vector<std::string>& listed) {
  return !typed.empty() && !listed.empty() &&
         Q(typed).compare(Q(listed.front()), Qt::CaseInsensitive) == 0;
}

std::string ResolveLauncherText(const std::string& folder,
                                std::string_view typed) {
  if (typed.empty()) return {};
  const bool plain_word = typed.find('/') == std::string_view::npos &&
                          typed != "." && typed != "..";
  if (plain_word) {
    const QString word = Q(typed);
    const QString with_dot = word + QLatin1Char('.');
    for (const std::string& name : FileNamesIn(folder)) {
      const QString n = Q(name);
      if (n.compare(word, Qt::CaseInsensitive) == 0 ||
          (n.size() > with_dot.size() &&
           n.startsWith(with_dot, Qt::CaseInsensitive))) {
        return Join(folder, name);
      }
    }
    return std::string(typed);
  }
  CommandText command = SplitCommandText(typed);
  const std::string& file = command.file;
  const bool relative = !file.empty() && file[0] != '/' && file[0] != '~';
  if (relative) {
    command.file = file == "." ? folder : Join(folder, file);
  }
  if (command.parameters.empty()) return command.file;
  return command.file + "?" + command.parameters;
}

const std::vector<WebSearch>& WebSearches() {
  static const std::vector<WebSearch> kSearches = {
      {"Google 日本語", "https://www.google.co.jp/search?lr=lang_ja&q="},
      {"Google イメージ", "https://www.google.co.jp/images?hl=ja&q="},
      {"goo 英和",
       "https://dictionary.goo.ne.jp/cgi-bin/dict_search.cgi?sw=0&MT="},
      {"goo 和英",
       "https://dictionary.goo.ne.jp/cgi-bin/dict_search.cgi?sw=1&MT="},
      {"goo 国語",
       "https://dictionary.goo.ne.jp/cgi-bin/dict_search.cgi?sw=2&MT="},
  };
  return kSearches;
}

std::string WebSearchAddress(std::string_view prefix, std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string address(prefix);
  for (unsigned char c : text) {
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '.' ||
                            c == '_' || c == '~';
    if (unreserved) {
      address += static_cast<char>(c);
    } else {
      address += '%';
      address += kHex[c >> 4];
      address += kHex[c & 15];
    }
  }
  return address;
}

}  // namespace mirokata
