// Launching freedesktop.org desktop entries (".desktop" files), the Linux
// counterpart of a shortcut file.
#ifndef MIROKATA_PLATFORM_DESKTOP_ENTRY_H_
#define MIROKATA_PLATFORM_DESKTOP_ENTRY_H_

#include <string>
#include <string_view>
#include <vector>

namespace mirokata {

struct DesktopLaunch {
  enum class Kind { kNone, kProgram, kAddress } kind = Kind::kNone;
  std::string program;  // kProgram: the first word of Exec
  std::vector<std::string> arguments;
  std::string working_folder;  // Path=, may be empty
  std::string address;         // kAddress: URL= of a Link entry
};

// What the [Desktop Entry] group of `contents` (UTF-8) asks to run. `files`
// fill the %f/%F/%u/%U field codes (one for %f/%u, all for %F/%U);
// `entry_path` fills %k; without any of those codes `files` are appended.
// Malformed or non-launchable entries give kNone.
DesktopLaunch ParseDesktopEntry(std::string_view contents,
                                const std::vector<std::string>& files,
                                const std::string& entry_path);

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_DESKTOP_ENTRY_H_
