// Finding the message box a test expects on the screen.
#ifndef MIROKATA_TESTS_SUPPORT_MESSAGE_BOXES_H_
#define MIROKATA_TESTS_SUPPORT_MESSAGE_BOXES_H_

#include <QApplication>
#include <QMessageBox>

namespace mirokata {

// The shown box with exactly this text, or null.
inline QMessageBox* FindShownMessageBox(const char* text) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (box && box->isVisible() && box->text() == QString::fromUtf8(text)) {
      return box;
    }
  }
  return nullptr;
}

}  // namespace mirokata

#endif  // MIROKATA_TESTS_SUPPORT_MESSAGE_BOXES_H_
