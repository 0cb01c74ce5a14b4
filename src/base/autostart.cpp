#include "base/autostart.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/file_io.h"

namespace mirokata {
namespace {

constexpr char kEntryName[] = "mirokata.desktop";

std::string ConfigHome() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  // The base directory rules ignore a relative value.
  if (config != nullptr && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  return std::string(home) + "/.config";
}

// Exec's own quoting, then the escaping of any string value in the file.
std::string ExecArgument(const std::string& program) {
  static constexpr char kReserved[] = " \t\n\"'\\><~|&;$*?#()`";
  std::string word;
  if (program.find_first_of(kReserved) == std::string::npos) {
    word = program;
  } else {
    word = "\"";
    for (char c : program) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') word += '\\';
      word += c;
    }
    word += '"';
  }
  std::string value;
  for (char c : word) {
    if (c == '\\') {
      value += "\\\\";
    } else if (c == '%') {
      value += "%%";
    } else if (c == '\n') {
      value += "\\n";
    } else {
      value += c;
    }
  }
  return value;
}

bool MakeFolder(const std::string& path, mode_t mode, std::string* error) {
  if (::mkdir(path.c_str(), mode) == 0 || errno == EEXIST) return true;
  if (error) *error = path + ": " + std::strerror(errno);
  return false;
}

}  // namespace

std::string AutostartEntryPath() {
  const std::string config = ConfigHome();
  if (config.empty()) return {};
  return config + "/autostart/" + kEntryName;
}

std::string AutostartEntryText(const std::string& program) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Mirokata\n"
         "Name[ja]=ミロカタ\n"
         "Comment=Desktop calendar and organiser\n"
         "Exec=" +
         ExecArgument(program) +
         "\n"
         "Icon=mirokata\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartEnabled() {
  const std::string path = AutostartEntryPath();
  std::string text;
  if (path.empty() || ReadWholeFile(path, &text) != ReadResult::kOk) {
    return false;
  }
  // A desktop's own switch leaves the file and hides it.
  return text.find("\nHidden=true") == std::string::npos;
}

bool SetAutostart(bool enabled, const std::string& program,
                  std::string* error) {
  const std::string path = AutostartEntryPath();
  if (path.empty()) {
    if (error) *error = "no home folder";
    return false;
  }
  if (!enabled) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return true;
    if (error) *error = path + ": " + std::strerror(errno);
    return false;
  }
  const std::string config = ConfigHome();
  return MakeFolder(config, 0700, error) &&
         MakeFolder(config + "/autostart", PublicFolderMode(), error) &&
         WriteFileAtomic(path, AutostartEntryText(program), PublicFileMode(),
                         error);
}

}  // namespace mirokata
