// What the launcher does outside its menu: the program's own file
// associations, files dropped on the main window, the launcher box over
// the shortcut folder and its web search.
#ifndef MIROKATA_MAINWIN_LAUNCHER_ACTIONS_H_
#define MIROKATA_MAINWIN_LAUNCHER_ACTIONS_H_

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/settings_file.h"

namespace mirokata {

class Shell;

// --- Associations (`Ext_Exec`, `Ext_Form`) ---

struct Associations {
  std::string fallback;  // `Ext_Form`/`Exec`
  // Lower-case extension with its dot, and its program's command text,
  // as listed (every key present; the stored `Count` is not trusted).
  std::vector<std::pair<std::string, std::string>> programs;
};

Associations ReadAssociations(const SettingsReader& settings);
// `Count`, `Exec` and the whole `Ext_Exec` section in one batch.
bool SaveAssociations(SettingsFile& settings, const Associations& table);

// ".txt" of "/a/b/Note.TXT"; empty when the name has none.
std::string LowerExtensionOf(std::string_view path);

// The command text that opens `path`: its extension's program, else the
// fallback; empty when neither is set.
std::string AssociationFor(const SettingsReader& settings,
                           std::string_view path);

// Ctrl-drop: each file is given to its associated program as one argument
// of its own after the program's parameters; never through a shell, and a
// file without a program is skipped (never started itself). Returns how
// many programs were started; false in `failed` when one would not start.
struct DropLaunchResult {
  int started = 0;
  bool failed = false;
};
DropLaunchResult OpenWithAssociations(const SettingsReader& settings,
                                      Shell& shell,
                                      const std::vector<std::string>& paths);

// --- Names dropped without Ctrl ---

// The clipboard text: full paths, or with `names_only` (Shift) the names
// without folders; one name as it is, several each followed by "\r\n", or
// with `separate` joined by single spaces.
std::string DroppedNamesText(const std::vector<std::string>& paths,
                             bool names_only, bool separate);

// --- The launcher box ---

// The shortcut folder's entries that are not folders and whose names start
// with `typed` (letter case ignored, no wildcards), without extension,
// sorted.
std::vector<std::string> ListShortcuts(const std::string& folder,
                                       std::string_view typed);
// The box shows a match when the text is the first listed name.
bool TypedMatchesFirst(std::string_view typed,
                       const std::vector<std::string>& listed);

// What Enter opens: the shortcut named exactly `typed` or `typed` + "." +
// an extension; else the typed command text with "." and relative paths
// taken from the shortcut folder (the process's folder never changes).
std::string ResolveLauncherText(const std::string& folder,
                                std::string_view typed);

struct WebSearch {
  const char* caption;
  const char* prefix;  // the address up to the query value
};
const std::vector<WebSearch>& WebSearches();
// The prefix plus the text UTF-8 percent-encoded as one query value.
std::string WebSearchAddress(std::string_view prefix, std::string_view text);

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_LAUNCHER_ACTIONS_H_
