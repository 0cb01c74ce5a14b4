#include "widgets/analog_clock_widget.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QTime>

#include "platform/clock.h"

namespace mirokata {

AnalogClock::AnalogClock(QWidget* parent) : QWidget(parent) {
  resize(200, 200);
  setAttribute(Qt::WA_OpaquePaintEvent);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] {
    // The first event comes at once; then checks every 990 ms, just
    // under a second, so that no second is missed.
    timer_.setInterval(990);
    Step();
  });
  UpdateTimer();
}

AnalogClock* AnalogClock::CreateForMoonPanel(QWidget* parent) {
  auto* clock = new AnalogClock(parent);
  clock->setGeometry(112, 30, 70, 70);
  clock->SetBorder(ClockBorder::kNone);
  clock->SetColor(Qt::black);
  clock->SetPointerColor(QColor(255, 255, 0));
  clock->SetSecondsColor(QColor(255, 0, 0));
  clock->SetScaleColor(QColor(255, 255, 255));
  clock->SetDisplayText(false);
  clock->SetDisplayPoints(true);
  clock->setEnabled(false);
  return clock;
}

void AnalogClock::ApplyTick(bool shown, int hour) {
  SetPointerColor(hour < 12 ? QColor(255, 255, 255) : QColor(255, 255, 0));
  if (shown) {
    setEnabled(true);
    setVisible(true);
  } else {
    setVisible(false);
    setEnabled(false);
  }
}

#define MIROKATA_CLOCK_SETTER(Name, member, Type) \
  void AnalogClock::Name(Type value) {            \
    if (member == value) return;                  \
    member = value;                               \
    Invalidate();                                 \
  }
MIROKATA_CLOCK_SETTER(SetBorder, border_, ClockBorder)
MIROKATA_CLOCK_SETTER(SetColor, color_, const QColor&)
MIROKATA_CLOCK_SETTER(SetScaleColor, scale_color_, const QColor&)
MIROKATA_CLOCK_SETTER(SetFontColor, font_color_, const QColor&)
MIROKATA_CLOCK_SETTER(SetDisplayText, display_text_, bool)
MIROKATA_CLOCK_SETTER(SetDisplayPoints, display_points_, bool)
#undef MIROKATA_CLOCK_SETTER

// The hands are not part of the cached dial: a new colour only repaints.
void AnalogClock::SetPointerColor(const QColor& color) {
  if (pointer_color_ == color) return;
  pointer_color_ = color;
  update();
}

void AnalogClock::SetSecondsColor(const QColor& color) {
  if (seconds_color_ == color) return;
  seconds_color_ = color;
  update();
}

void AnalogClock::Invalidate() {
  dial_ = QPixmap();
  update();
}

bool AnalogClock::Step() {
  int hour, minute, second;
  if (clock_ != nullptr) {
    LocalTime now = clock_->Now();
    hour = now.hour, minute = now.minute, second = now.second;
  } else {
    QTime now = QTime::currentTime();
    hour = now.hour(), minute = now.minute(), second = now.second();
  }
  if (last_second_ == second) return false;
  hour_ = hour;
  minute_ = minute;
  last_second_ = second;
  update();
  return true;
}

void AnalogClock::UpdateTimer() {
  if (isEnabled()) {
    if (!timer_.isActive()) timer_.start(1);
  } else {
    timer_.stop();
  }
}

void AnalogClock::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) UpdateTimer();
  if (event->type() == QEvent::FontChange ||
      event->type() == QEvent::PaletteChange) {
    dial_ = QPixmap();
  }
  QWidget::changeEvent(event);
}

void AnalogClock::resizeEvent(QResizeEvent* event) {
  dial_ = QPixmap();
  QWidget::resizeEvent(event);
}

void AnalogClock::PaintDial(QPainter& p, const ClockFace& face) {
  const QRect all = rect();
  p.setPen(QPen(Qt::white, 1));
  p.setBrush(color_);
  switch (border_) {
    case ClockBorder::kSingle: {
      const qreal corner = face.radius() / 3 / 2.0;
      p.fillRect(all, palette().color(QPalette::Window));
      p.drawRoundedRect(QRectF(all).adjusted(0.5, 0.5, -0.5, -0.5), corner,
                        corner);
      break;
    }
    case ClockBorder::kRaised:
    case ClockBorder::kLowered: {
      p.fillRect(all, color_);
      QColor light = palette().color(QPalette::Light);
      QColor dark = palette().color(QPalette::Dark);
      if (border_ == ClockBorder::kLowered) std::swap(light, dark);
      for (int i = 0; i < 2; ++i) {
        const QRect r = all.adjusted(i, i, -i, -i);
        p.setPen(light);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(dark);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
      }
      break;
    }
    case ClockBorder::kNone:
      p.fillRect(all, color_);
      break;
  }

  p.setRenderHint(QPainter::Antialiasing);
  const QFontMetrics metrics(font());
  for (const DialMark& mark : face.Marks()) {
    switch (mark.kind) {
      case DialMark::Kind::kDot: {
        const int r = mark.dot_radius;
        p.setPen(QPen(scale_color_, 1));
        p.setBrush(color_);
        p.drawEllipse(QRectF(mark.at.x - r, mark.at.y - r, 2 * r, 2 * r));
        break;
      }
      case DialMark::Kind::kLine:
        p.setPen(QPen(scale_color_, 2));
        p.drawLine(mark.at.x, mark.at.y, mark.to.x, mark.to.y);
        break;
      case DialMark::Kind::kNumeral: {
        const QString text = QString::number(mark.numeral);
        const int w = metrics.horizontalAdvance(text);
        const int h = metrics.height();
        p.setPen(font_color_);
        p.setFont(font());
        p.drawText(QRect(mark.at.x - w / 2, mark.at.y - h / 2, w, h),
                   Qt::AlignCenter, text);
        break;
      }
    }
  }
}

void AnalogClock::paintEvent(QPaintEvent*) {
  const ClockFace face(width(), height(), display_text_, display_points_);
  const qreal ratio = devicePixelRatioF();
  if (dial_.isNull() || dial_.size() != size() * ratio) {
    dial_ = QPixmap(size() * ratio);
    dial_.setDevicePixelRatio(ratio);
    QPainter dial(&dial_);
    PaintDial(dial, face);
  }
  QPainter p(this);
  p.drawPixmap(0, 0, dial_);
  if (!last_second_) return;  // no hands before the first step

  p.setRenderHint(QPainter::Antialiasing);
  const ClockPoint c = face.centre();
  auto hand = [&](ClockPoint end, const QColor& colour, int width) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c.x, c.y, end.x, end.y);
  };
  hand(face.SecondsEnd(*last_second_), seconds_color_, 1);
  hand(face.MinuteEnd(minute_), pointer_color_, face.minute_pen());
  hand(face.HourEnd(hour_, minute_), pointer_color_, face.hour_pen());
  const int d = face.centre_dot_radius();
  p.setPen(QPen(QColor(192, 192, 192), 1));
  p.setBrush(QColor(128, 128, 128));
  p.drawEllipse(QRectF(c.x - d, c.y - d, 2 * d, 2 * d));
}

}  // namespace mirokata
