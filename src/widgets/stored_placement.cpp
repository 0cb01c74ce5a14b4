#include "widgets/stored_placement.h"

#include <QWidget>
#include <vector>

#include "base/settings_file.h"
#include "base/window_placement.h"
#include "platform/screen.h"

namespace mirokata {

void PlaceAtStoredPosition(QWidget* window, const Services& services,
                           std::string_view section, bool fit_contents) {
  if (fit_contents) window->adjustSize();
  std::vector<ScreenRect> screens = services.screen
                                        ? services.screen->AvailableGeometries()
                                        : std::vector<ScreenRect>{};
  // Without a screen to go by, the usual desktop size.
  if (screens.empty()) screens.push_back({0, 0, 1280, 800});
  const Point at = ReadPlacement(services.settings->Open(), section, {0, 0},
                                 {window->width(), window->height()}, screens);
  window->move(at.left, at.top);
}

void StorePosition(const QWidget* window, const Services& services,
                   std::string_view section) {
  Settings s = services.settings->Open();
  WritePlacement(s, section, {window->x(), window->y()});
}

}  // namespace mirokata
