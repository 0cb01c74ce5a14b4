#include "base/window_placement.h"

#include <algorithm>
#include <cstdint>

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

namespace {

// Squared distance from the point to the nearest pixel of the rectangle;
// 0 inside it.
int64_t DistanceSquared(Point p, ScreenRect s) {
  const int64_t left = s.x, top = s.y;
  const int64_t right = left + std::max(s.width, 1) - 1;
  const int64_t bottom = top + std::max(s.height, 1) - 1;
  const int64_t dx = std::max({left - p.left, int64_t{0}, p.left - right});
  const int64_t dy = std::max({top - p.top, int64_t{0}, p.top - bottom});
  return dx * dx + dy * dy;
}

}  // namespace

ScreenRect ScreenNearest(Point point, const std::vector<ScreenRect>& screens) {
  const ScreenRect* best = nullptr;
  int64_t best_distance = 0;
  for (const ScreenRect& s : screens) {
    const int64_t d = DistanceSquared(point, s);
    if (best == nullptr || d < best_distance) {
      best = &s;
      best_distance = d;
    }
  }
  return best ? *best : ScreenRect{};
}

Point ClampToScreens(Point position, Size window,
                     const std::vector<ScreenRect>& screens) {
  const Point centre{position.left + window.width / 2,
                     position.top + window.height / 2};
  return ClampToScreen(position, window, ScreenNearest(centre, screens));
}

Point ReadPlacement(const Settings& settings, std::string_view section,
                    Point defaults, Size window,
                    const std::vector<ScreenRect>& screens) {
  Point p{settings.ReadInteger(section, "left", defaults.left),
          settings.ReadInteger(section, "top", defaults.top)};
  return ClampToScreens(p, window, screens);
}

void WritePlacement(Settings& settings, std::string_view section,
                    Point position) {
  settings.Batch(
      [&](SettingsBatch& b) { WritePlacement(b, section, position); });
}

void WritePlacement(SettingsBatch& batch, std::string_view section,
                    Point position) {
  batch.WriteInteger(section, "top", position.top);
  batch.WriteInteger(section, "left", position.left);
}

}  // namespace mirokata
