// The two halves of changing the desktop wallpaper: writing its bitmap file,
// which may take a while and so runs off the user-interface thread, and
// handing that file to the desktop.
#ifndef MIROKATA_PLATFORM_DESKTOP_WALLPAPER_H_
#define MIROKATA_PLATFORM_DESKTOP_WALLPAPER_H_

#include <QImage>
#include <functional>
#include <optional>
#include <string>

#include "platform/desktop/desktop_windows.h"

namespace mirokata {

// The settings key that records the last wallpaper file the program set:
// [Desktop] Wallpaper=<path>. Other desktops keep the user's wallpaper in
// a per-user registry value of this name; here it is ours alone, so the
// path is still known when the desktop offers no way to read it back.
inline constexpr char kWallpaperSection[] = "Desktop";
inline constexpr char kWallpaperKey[] = "Wallpaper";

// The popup window's wallpaper file, beside the program.
inline constexpr char kPopupWallpaperFile[] = "Yov_Wallpaper.BMP";

// Saves the picture as a bitmap file at `file_path` (atomically, flushed to
// disk) and gives its pixels for the desktop; nullopt, with nothing
// changed, when the picture is empty or the file cannot be written.
// Touches no window system and no settings: safe on a worker thread.
std::optional<WallpaperImage> WriteWallpaperFile(const QImage& picture,
                                                 const std::string& file_path);

// Makes the written file the desktop's wallpaper and hands its path to
// `record` (when given), which keeps it as [Desktop] Wallpaper. The
// desktop's answer is not waited for.
void ApplyWallpaper(const WallpaperImage& image, const std::string& file_path,
                    DesktopWindows& desktop,
                    const std::function<void(const std::string&)>& record);

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_DESKTOP_WALLPAPER_H_
