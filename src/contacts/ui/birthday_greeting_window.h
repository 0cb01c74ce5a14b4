// The greeting on a birthday: today's birthdays with their ages and notes,
// on top of the other windows.
#ifndef MIROKATA_CONTACTS_UI_BIRTHDAY_GREETING_WINDOW_H_
#define MIROKATA_CONTACTS_UI_BIRTHDAY_GREETING_WINDOW_H_

#include <QWidget>
#include <functional>
#include <string>

#include "base/services.h"

class QPlainTextEdit;
class QToolButton;

namespace mirokata {

class BirthdayGreetingWindow : public QWidget {
  Q_OBJECT

 public:
  // open_book runs when the picture is clicked.
  BirthdayGreetingWindow(const Services& services,
                         std::function<void()> open_book,
                         QWidget* parent = nullptr);

  // Today's birthdays of the data folder, in place of what was shown.
  void Refill(const std::string& folder);

  QPlainTextEdit* text_box() const { return text_; }
  QToolButton* picture_button() const { return picture_; }

  // "ＭＳ ゴシック" where it is installed, else a fixed-pitch font that
  // has Japanese.
  static QFont GreetingFont();

 private:
  Services services_;
  QPlainTextEdit* text_ = nullptr;
  QToolButton* picture_ = nullptr;
};

}  // namespace mirokata

#endif  // MIROKATA_CONTACTS_UI_BIRTHDAY_GREETING_WINDOW_H_
