// The day pop-view: a small tool window beside the pointer with the
// DayInfo of a clicked day and buttons that open the organiser's windows.
// It opens without taking the focus, beside the window that was clicked
// rather than over it, and closes on Esc (typed in either), when it loses
// the focus, or when the main window closes it (the program was
// deactivated).
#ifndef MIROKATA_MAINWIN_UI_DAY_POP_VIEW_H_
#define MIROKATA_MAINWIN_UI_DAY_POP_VIEW_H_

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "mainwin/day_panel.h"

class QPlainTextEdit;
class QToolButton;

namespace mirokata {

class Screen;
class SoundCues;

// The button row, in order.
enum class PopViewCommand : int {
  kScheduleEditor = 0,
  kPopupEditor,
  kDiaryList,
  kBirthdayBook,
  kScheduleList,
  kScheduleManager,
  kTodoBoard,
  kPhoneBook,
};
inline constexpr int kPopViewCommandCount = 8;

// The hint of each button.
const char* PopViewCommandHint(PopViewCommand command);

class DayPopView : public QWidget {
  Q_OBJECT

 public:
  explicit DayPopView(QWidget* parent = nullptr);

  // Caption, colours and lines of the day.
  void SetDay(const CivilDate& date, int days_from_today,
              const std::vector<std::string>& lines,
              const DayInfoColors& colors);

  // A button runs its command; buttons without one stay disabled.
  void SetCommand(PopViewCommand command, std::function<void()> run);
  bool HasCommand(PopViewCommand command) const;

  // Places the window beside the pointer on the screen that holds it, not
  // over `owner` (the window clicked, which keeps the focus and whose Esc
  // closes this one; may be null), shows it without taking the focus and
  // plays "pop".
  void ShowAt(const QPoint& pointer, const Screen* screen, SoundCues* cues,
              QWidget* owner = nullptr);

  QString text() const;
  QPlainTextEdit* textBox() const { return text_; }
  QToolButton* button(PopViewCommand command) const {
    return buttons_[static_cast<int>(command)];
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  void closed();

 private:
  QPlainTextEdit* text_;
  std::array<QToolButton*, kPopViewCommandCount> buttons_{};
  std::array<std::function<void()>, kPopViewCommandCount> commands_;
  bool was_active_ = false;
  QPointer<QWidget> owner_;
};

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_UI_DAY_POP_VIEW_H_
