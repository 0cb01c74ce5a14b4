// Screen geometry for placing windows.
#ifndef MIROKATA_PLATFORM_SCREEN_H_
#define MIROKATA_PLATFORM_SCREEN_H_

#include <vector>

namespace mirokata {

struct ScreenRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

class Screen {
 public:
  virtual ~Screen() = default;
  // The whole primary screen in desktop coordinates.
  virtual ScreenRect Geometry() const = 0;
  // The primary screen without panels and docks.
  virtual ScreenRect AvailableGeometry() const = 0;
  // Available geometry of the screen that holds the point (the primary one
  // when none does).
  virtual ScreenRect AvailableGeometryAt(int x, int y) const = 0;
  // Available geometry of every screen, the primary one first.
  virtual std::vector<ScreenRect> AvailableGeometries() const = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_SCREEN_H_
