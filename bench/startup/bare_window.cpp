// A bare Qt Widgets window: what any Qt program pays to show something.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("Bare Qt window");
  window.resize(240, 190);
  window.show();
  return app.exec();
}
