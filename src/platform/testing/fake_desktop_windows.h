// A recording stand-in for DesktopWindows in tests.
#ifndef MIROKATA_PLATFORM_TESTING_FAKE_DESKTOP_WINDOWS_H_
#define MIROKATA_PLATFORM_TESTING_FAKE_DESKTOP_WINDOWS_H_

#include <algorithm>
#include <string>
#include <vector>

#include "platform/desktop/desktop_windows.h"

namespace mirokata {

class FakeDesktopWindows : public DesktopWindows {
 public:
  struct Wallpaper {
    int width = 0;
    int height = 0;
    std::string file_path;
  };

  // Titles of the other programs' windows, oldest first; a close request
  // removes the window as a well-behaved program would.
  std::vector<std::string> titles;
  std::vector<std::string> close_requests;
  std::vector<Wallpaper> wallpapers;

  std::vector<std::string> ListWindowTitles() override { return titles; }

  bool RequestClose(const std::string& title) override {
    auto it = std::find(titles.begin(), titles.end(), title);
    if (it == titles.end()) return false;
    close_requests.push_back(title);
    titles.erase(it);
    return true;
  }

  void SetWallpaper(const WallpaperImage& image,
                    const std::string& file_path) override {
    wallpapers.push_back({image.width, image.height, file_path});
  }
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_TESTING_FAKE_DESKTOP_WINDOWS_H_
