// Finding and closing the top-level windows of a widget test, and reading
// back the files they wrote.
#ifndef MIROKATA_TESTS_SUPPORT_WINDOW_QUERIES_H_
#define MIROKATA_TESTS_SUPPORT_WINDOW_QUERIES_H_

#include <QApplication>
#include <QList>
#include <QMenu>
#include <QWidget>
#include <string>

#include "platform/file_io.h"
#include "support/fake_world.h"

namespace mirokata {

// The windows of a kind that exist (the fake host opens without showing);
// with visible_only, those shown.
template <typename W>
QList<W*> Open(bool visible_only = false) {
  QList<W*> out;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    auto* w = qobject_cast<W*>(top);
    if (w && (!visible_only || w->isVisible())) out.append(w);
  }
  return out;
}

inline void CloseAll() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (!qobject_cast<QMenu*>(top)) top->close();
  }
  FlushEvents();
}

inline std::string ReadFile(const std::string& path) {
  std::string data;
  ReadWholeFile(path, &data);
  return data;
}

}  // namespace mirokata

#endif  // MIROKATA_TESTS_SUPPORT_WINDOW_QUERIES_H_
