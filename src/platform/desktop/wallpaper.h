// SetDesktopWallpaper: the one way the program changes the wallpaper.
#ifndef MIROKATA_PLATFORM_DESKTOP_WALLPAPER_H_
#define MIROKATA_PLATFORM_DESKTOP_WALLPAPER_H_

#include <QImage>
#include <functional>
#include <string>

namespace mirokata {

class DesktopWindows;

// The settings key that records the last wallpaper file the program set:
// [Desktop] Wallpaper=<path>. Other desktops keep the user's wallpaper in
// a per-user registry value of this name; here it is ours alone, so the
// path is still known when the desktop offers no way to read it back.
inline constexpr char kWallpaperSection[] = "Desktop";
inline constexpr char kWallpaperKey[] = "Wallpaper";

// The popup window's wallpaper file, beside the program.
inline constexpr char kPopupWallpaperFile[] = "Yov_Wallpaper.BMP";

// Saves the picture as a bitmap file at `file_path` (atomically), makes it
// the desktop's wallpaper and hands the path to `record` (when given),
// which keeps it as [Desktop] Wallpaper. False, with nothing changed, when the picture is empty or the
// file cannot be written; the desktop's answer is not waited for.
bool SetDesktopWallpaper(const QImage& picture, const std::string& file_path,
                         DesktopWindows& desktop,
                         const std::function<void(const std::string&)>& record);

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_DESKTOP_WALLPAPER_H_
