// The main() of a QtTest program that runs on the shared X display of the
// test run (MIROKATA_TEST_DISPLAY) when there is one, offscreen otherwise.
#ifndef MIROKATA_TESTS_SUPPORT_X11_TEST_MAIN_H_
#define MIROKATA_TESTS_SUPPORT_X11_TEST_MAIN_H_

#include <QApplication>
#include <QByteArray>
#include <QtTest>

#define MIROKATA_X11_TEST_MAIN(TestClass)                        \
  int main(int argc, char** argv) {                              \
    const QByteArray display = qgetenv("MIROKATA_TEST_DISPLAY"); \
    if (!display.isEmpty()) {                                    \
      qputenv("DISPLAY", display);                               \
      qputenv("QT_QPA_PLATFORM", "xcb");                         \
    }                                                            \
    QApplication app(argc, argv);                                \
    TestClass test;                                              \
    return QTest::qExec(&test, argc, argv);                      \
  }

#endif  // MIROKATA_TESTS_SUPPORT_X11_TEST_MAIN_H_
