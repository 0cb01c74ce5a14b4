#include "platform/qt_screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace mirokata {
namespace {

// Used only when the platform reports no screen at all.
constexpr ScreenRect kFallback{0, 0, 1024, 768};

ScreenRect ToRect(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}

}  // namespace

ScreenRect QtScreen::Geometry() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? ToRect(screen->geometry()) : kFallback;
}

ScreenRect QtScreen::AvailableGeometry() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? ToRect(screen->availableGeometry()) : kFallback;
}

ScreenRect QtScreen::AvailableGeometryAt(int x, int y) const {
  const QScreen* screen = QGuiApplication::screenAt(QPoint(x, y));
  if (screen == nullptr) return AvailableGeometry();
  return ToRect(screen->availableGeometry());
}

std::vector<ScreenRect> QtScreen::AvailableGeometries() const {
  std::vector<ScreenRect> out{AvailableGeometry()};
  const QScreen* primary = QGuiApplication::primaryScreen();
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen != primary) out.push_back(ToRect(screen->availableGeometry()));
  }
  return out;
}

}  // namespace mirokata
