#include "widgets/startup_message_window.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>

#include "base/services.h"

namespace mirokata {

StartupMessageWindow::StartupMessageWindow(const QString& message,
                                           QWidget* parent, Kind kind)
    : QWidget(parent,
              Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                  (kind == Kind::kSplash ? Qt::SplashScreen : Qt::Tool)),
      message_(message) {
  // Not "Mirokata" alone: that title is the main window's.
  setWindowTitle(QString::fromUtf8(kProductName) + ' ' +
                 QString::fromUtf8(kVersionText));
  setFixedSize(260, 96);
}

void StartupMessageWindow::ShowNow() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }
  show();
  repaint();
}

void StartupMessageWindow::resizeEvent(QResizeEvent*) {
  QPainterPath path;
  path.addRoundedRect(rect(), 14, 14);
  setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void StartupMessageWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient fill(0, 0, 0, height());
  fill.setColorAt(0, QColor(0xf4, 0xf7, 0xff));
  fill.setColorAt(1, QColor(0xc9, 0xd6, 0xf0));
  p.setBrush(fill);
  p.setPen(QPen(QColor(0x50, 0x68, 0x98), 2));
  p.drawRoundedRect(rect().adjusted(1, 1, -1, -1), 13, 13);

  QFont title = font();
  title.setPixelSize(20);
  title.setBold(true);
  p.setFont(title);
  p.setPen(QColor(0x22, 0x33, 0x66));
  p.drawText(QRect(0, 10, width(), 30), Qt::AlignCenter,
             QString::fromUtf8(kProductName));
  QFont small = font();
  small.setPixelSize(11);
  p.setFont(small);
  p.drawText(QRect(0, 40, width(), 18), Qt::AlignCenter,
             QString::fromUtf8(kVersionText));
  QFont body = font();
  body.setPixelSize(13);
  p.setFont(body);
  p.setPen(Qt::black);
  p.drawText(QRect(0, 62, width(), 24), Qt::AlignCenter, message_);
}

}  // namespace mirokata
