// The one QApplication of a benchmark that opens windows, on the offscreen
// platform, made at the first call and kept to the end of the program.
#ifndef MIROKATA_BENCH_COMMON_OFFSCREEN_APPLICATION_H_
#define MIROKATA_BENCH_COMMON_OFFSCREEN_APPLICATION_H_

#include <stdlib.h>

#include <QApplication>

namespace mirokata {

inline QApplication& OffscreenApplication() {
  static int argc = 1;
  static char name[] = "mirokata_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    // A platform chosen in the environment stays.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return new QApplication(argc, argv);
  }();
  return *app;
}

}  // namespace mirokata

#endif  // MIROKATA_BENCH_COMMON_OFFSCREEN_APPLICATION_H_
