// The desktop's other top-level windows and its wallpaper.
#ifndef MIROKATA_PLATFORM_DESKTOP_DESKTOP_WINDOWS_H_
#define MIROKATA_PLATFORM_DESKTOP_DESKTOP_WINDOWS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mirokata {

// A picture for the desktop background: 0xAARRGGBB per pixel, rows top to
// bottom without padding.
struct WallpaperImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;
};

// Talks to the window system about windows of other programs. Every call
// returns at once (nothing waits for another program), and everything does
// nothing when there is no window system.
class DesktopWindows {
 public:
  virtual ~DesktopWindows() = default;

  // Titles of the managed top-level windows of other programs, oldest first.
  // This program's own windows are never listed.
  virtual std::vector<std::string> ListWindowTitles() = 0;

  // Asks the first window whose title equals `title` to close, as its close
  // box would. False when there is no such window (or no window system).
  virtual bool RequestClose(const std::string& title) = 0;

  // Makes the picture the desktop background: as the root window's
  // background (seen under any window manager) and, where the session's
  // desktop is known, through that desktop's own setting, to which
  // `file_path` (the picture saved as a file) is given.
  virtual void SetWallpaper(const WallpaperImage& image,
                            const std::string& file_path) = 0;
};

// The closing rule of a reminder's program actions: the first window whose
// title contains `text` gives the full title, and the window with that title
// is asked to close. Without a match nothing happens. Returns whether a close
// request went out.
bool CloseWindowContaining(DesktopWindows& windows, std::string_view text);

// The X11 implementation when a display can be opened (from $DISPLAY), and
// otherwise one that does nothing.
std::unique_ptr<DesktopWindows> CreateDesktopWindows();

// One program start (no shell) that sets a desktop's wallpaper.
struct DesktopCommand {
  std::string program;
  std::vector<std::string> arguments;
  bool operator==(const DesktopCommand&) const = default;
};

// The desktop named by $XDG_CURRENT_DESKTOP (a colon-separated list).
enum class DesktopKind { kUnknown, kGnome, kXfce, kKde };
DesktopKind DesktopKindOf(std::string_view xdg_current_desktop);

// The commands that make `path` the wallpaper of that desktop. For Xfce,
// `xfce_image_properties` are the backdrop properties that end in
// "/last-image" (as `xfconf-query -c xfce4-desktop -l` lists them); when
// empty the first monitor's property is created.
std::vector<DesktopCommand> WallpaperCommands(
    DesktopKind kind, const std::string& path,
    const std::vector<std::string>& xfce_image_properties = {});

// Sets the wallpaper through the session desktop's own setting (from
// $XDG_CURRENT_DESKTOP); nothing for an unknown desktop. Programs are
// started with argument lists, never through a shell, and not waited for;
// Xfce's listing is read when it comes in (needs a running event loop).
void ApplyDesktopWallpaperSetting(const std::string& path);

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_DESKTOP_DESKTOP_WINDOWS_H_
