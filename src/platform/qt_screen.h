// Screen geometry through QScreen.
#ifndef MIROKATA_PLATFORM_QT_SCREEN_H_
#define MIROKATA_PLATFORM_QT_SCREEN_H_

#include "platform/screen.h"

namespace mirokata {

class QtScreen : public Screen {
 public:
  ScreenRect Geometry() const override;
  ScreenRect AvailableGeometry() const override;
  ScreenRect AvailableGeometryAt(int x, int y) const override;
  std::vector<ScreenRect> AvailableGeometries() const override;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_QT_SCREEN_H_
