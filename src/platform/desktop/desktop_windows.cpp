#include "platform/desktop/desktop_windows.h"

#include <cctype>

namespace mirokata {
namespace {

std::string Lower(std::string_view s) {
  std::string out;
  for (char c : s) {
    out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

// file:// address of an absolute path, bytes outside the unreserved set and
// '/' percent-encoded.
std::string FileUri(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' ||
        c == '~') {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

}  // namespace

bool CloseWindowContaining(DesktopWindows& windows, std::string_view text) {
  if (text.empty()) return false;
  for (const std::string& title : windows.ListWindowTitles()) {
    if (title.find(text) != std::string::npos) {
      return windows.RequestClose(title);
    }
  }
  return false;
}

DesktopKind DesktopKindOf(std::string_view xdg_current_desktop) {
  std::string_view rest = xdg_current_desktop;
  while (!rest.empty()) {
    size_t colon = rest.find(':');
    std::string name = Lower(rest.substr(0, colon));
    if (name == "gnome" || name == "gnome-classic" || name == "gnome-flashback")
      return DesktopKind::kGnome;
    if (name == "xfce") return DesktopKind::kXfce;
    if (name == "kde") return DesktopKind::kKde;
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return DesktopKind::kUnknown;
}

std::vector<DesktopCommand> WallpaperCommands(
    DesktopKind kind, const std::string& path,
    const std::vector<std::string>& xfce_image_properties) {
  std::vector<DesktopCommand> commands;
  switch (kind) {
    case DesktopKind::kGnome: {
      const std::string uri = FileUri(path);
      for (const char* key : {"picture-uri", "picture-uri-dark"}) {
        commands.push_back(
            {"gsettings", {"set", "org.gnome.desktop.background", key, uri}});
      }
      break;
    }
    case DesktopKind::kXfce:
      if (xfce_image_properties.empty()) {
        commands.push_back({"xfconf-query",
                            {"-c", "xfce4-desktop", "-p",
                             "/backdrop/screen0/monitor0/workspace0/last-image",
                             "-n", "-t", "string", "-s", path}});
      }
      for (const std::string& property : xfce_image_properties) {
        commands.push_back(
            {"xfconf-query",
             {"-c", "xfce4-desktop", "-p", property, "-s", path}});
      }
      break;
    case DesktopKind::kKde:
      commands.push_back({"plasma-apply-wallpaperimage", {path}});
      break;
    case DesktopKind::kUnknown:
      break;
  }
  return commands;
}

}  // namespace mirokata
