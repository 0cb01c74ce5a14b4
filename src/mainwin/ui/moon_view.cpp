#include "mainwin/ui/moon_view.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "calendar/moon.h"

namespace mirokata {

namespace {

// Half the width of the disc's row h pixels above or below the centre; the
// shadow uses the same rows, so it never leaves a lit seam at the limb.
int RowHalfWidth(int radius, int h) {
  return static_cast<int>(std::rint(std::sqrt(radius * radius - h * h)));
}

// Dark seas of the near side, in disc coordinates (x right, y down, radius
// 1), with their size and how much they darken.
struct Sea {
  double x, y, rx, ry, depth;
};
constexpr Sea kSeas[] = {
    {-0.33, -0.36, 0.30, 0.24, 0.30},  // Imbrium
    {-0.58, 0.02, 0.26, 0.42, 0.26},   // Procellarum
    {0.16, -0.38, 0.17, 0.15, 0.28},   // Serenitatis
    {0.30, -0.08, 0.22, 0.18, 0.30},   // Tranquillitatis
    {0.64, -0.26, 0.12, 0.10, 0.32},   // Crisium
    {0.55, 0.18, 0.13, 0.17, 0.24},    // Fecunditatis
    {0.33, 0.32, 0.11, 0.10, 0.22},    // Nectaris
    {-0.20, 0.38, 0.20, 0.14, 0.22},   // Nubium
    {-0.44, 0.44, 0.14, 0.10, 0.20},   // Humorum
    {-0.05, -0.68, 0.34, 0.08, 0.16},  // Frigoris
};

double Smooth(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

QRgb MoonShade(double x, double y) {
  const double rho2 = std::min(1.0, x * x + y * y);
  // Limb darkening.
  double light = 0.80 + 0.20 * std::sqrt(1 - rho2);
  for (const Sea& sea : kSeas) {
    const double dx = (x - sea.x) / sea.rx;
    const double dy = (y - sea.y) / sea.ry;
    light -=
        1.4 * sea.depth * (1 - Smooth(0.25, 1.0, std::sqrt(dx * dx + dy * dy)));
  }
  // Tycho, the bright crater in the south.
  const double tx = x + 0.10;
  const double ty = y - 0.72;
  light += 0.18 * (1 - Smooth(0.0, 0.09, std::sqrt(tx * tx + ty * ty)));
  light = std::clamp(light, 0.35, 1.0);
  const auto channel = [light](double full) {
    return static_cast<int>(std::lround(full * light));
  };
  return qRgb(channel(244), channel(238), channel(214));
}

}  // namespace

MoonDisc MoonDiscOf(MoonSize size) {
  switch (size) {
    case MoonSize::k32:
      return {32, 15, 14, 14};
    case MoonSize::k16:
      return {16, 7, 7, 7};
    case MoonSize::k64:
      break;
  }
  return {64, 31, 28, 28};
}

namespace {

QImage DrawFullMoon(MoonSize size) {
  const MoonDisc disc = MoonDiscOf(size);
  QImage image(disc.side, disc.side, QImage::Format_RGB32);
  image.fill(Qt::black);
  for (int h = -disc.radius; h <= disc.radius; ++h) {
    const int y = disc.cy + h;
    if (y < 0 || y >= disc.side) continue;
    const int w = RowHalfWidth(disc.radius, std::abs(h));
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = std::max(0, disc.cx - w);
         x <= std::min(disc.side - 1, disc.cx + w); ++x) {
      line[x] =
          MoonShade(double(x - disc.cx) / disc.radius, double(h) / disc.radius);
    }
  }
  return image;
}

}  // namespace

QImage FullMoonPicture(MoonSize size) {
  // Drawn once per size at first use; the copies share the pixels until
  // drawn on.
  switch (size) {
    case MoonSize::k32: {
      static const QImage picture = DrawFullMoon(MoonSize::k32);
      return picture;
    }
    case MoonSize::k16: {
      static const QImage picture = DrawFullMoon(MoonSize::k16);
      return picture;
    }
    case MoonSize::k64:
      break;
  }
  static const QImage picture = DrawFullMoon(MoonSize::k64);
  return picture;
}

QImage MoonPicture(MoonSize size, long double phase_angle) {
  QImage image = FullMoonPicture(size);
  const MoonDisc disc = MoonDiscOf(size);
  long double k = std::fmod(phase_angle, 360.0L);
  if (k < 0) k += 360;
  if (!std::isfinite(k)) k = 0;
  const double c = std::cos(static_cast<double>(k) * M_PI / 180);
  const bool waxing = k < 180;
  for (int h = 0; h <= disc.radius; ++h) {
    const int w = RowHalfWidth(disc.radius, h);
    const int t = static_cast<int>(std::rint(w * c));
    // Between the terminator and the limb on the unlit side.
    const int from = waxing ? disc.cx - w : disc.cx + t;
    const int to = waxing ? disc.cx - t : disc.cx + w;
    for (int y : {disc.cy - h, disc.cy + h}) {
      if (y < 0 || y >= disc.side) continue;
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = std::max(0, from); x <= std::min(disc.side - 1, to); ++x) {
        line[x] = qRgb(0, 0, 0);
      }
    }
  }
  return image;
}

MoonView::MoonView(QWidget* parent) : QWidget(parent) { Redraw(); }

void MoonView::SetMoonSize(MoonSize size) {
  size_ = size;
  Redraw();
}

void MoonView::SetDate(long double t) {
  date_ = t;
  Redraw();
}

QIcon MoonView::icon() const { return QIcon(QPixmap::fromImage(picture())); }

QSize MoonView::sizeHint() const {
  const int side = MoonDiscOf(size_).side;
  return QSize(side, side);
}

void MoonView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, picture());
}

const QImage& MoonView::picture() const {
  if (picture_.isNull()) picture_ = MoonPicture(size_, phase_angle_);
  return picture_;
}

void MoonView::Redraw() {
  long double k = PhaseAngle(date_);
  if (k < 0) k += 360;
  phase_angle_ = k;
  // Drawn when first needed: a hidden panel never draws.
  picture_ = QImage();
  const int side = MoonDiscOf(size_).side;
  setFixedSize(side, side);
  update();
}

}  // namespace mirokata
