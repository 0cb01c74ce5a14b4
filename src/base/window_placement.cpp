#include "base/window_placement.h"

#include <algorithm>

#include "base/settings_file.h"

namespace mirokata {

Point ClampToScreen(Point p, Size w, ScreenRect s) {
  const int right = s.x + s.width;
  const int bottom = s.y + s.height;
  if (p.left + w.width > right) p.left = right - w.width;
  if (p.top + w.height > bottom) p.top = bottom - w.height;
  p.left = std::max(p.left, s.x);
  p.top = std::max(p.top, s.y);
  return p;
}

Point ReadPlacement(const Settings& settings, std::string_view section,
                    Point defaults, Size window, ScreenRect screen) {
  Point p{settings.ReadInteger(section, "left", defaults.left),
          settings.ReadInteger(section, "top", defaults.top)};
  return ClampToScreen(p, window, screen);
}

void WritePlacement(Settings& settings, std::string_view section,
                    Point position) {
  settings.Batch([&](SettingsBatch& b) {
    b.WriteInteger(section, "top", position.top);
    b.WriteInteger(section, "left", position.left);
  });
}

}  // namespace mirokata
