// The yardstick of the idle benchmark: a bare Qt window whose label shows
// the time, refreshed by a one-second timer.
#include <QApplication>
#include <QLabel>
#include <QTime>
#include <QTimer>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel label;
  label.setWindowTitle("Clock label");
  label.resize(240, 190);
  label.setAlignment(Qt::AlignCenter);
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&label] {
    label.setText(QTime::currentTime().toString("hh:mm:ss"));
  });
  timer.start(1000);
  label.show();
  return app.exec();
}
