// The date jump: a year, month and day typed in, their weekday and
// distance from today, and the month grid moved there.
#ifndef MIROKATA_TOOLS_UI_DATE_JUMP_WINDOW_H_
#define MIROKATA_TOOLS_UI_DATE_JUMP_WINDOW_H_

#include <QWidget>
#include <functional>

#include "base/command.h"
#include "base/services.h"
#include "calendar/gregorian.h"

class QLabel;
class QPushButton;
class QSpinBox;

namespace mirokata {

class DateJumpWindow : public QWidget {
  Q_OBJECT

 public:
  // Starts at `shown`, the grid's date; `jump` selects a date on the grid.
  // `commands` (may be null) opens the editors after a jump.
  DateJumpWindow(const Services& services, const CivilDate& shown,
                 std::function<void(const CivilDate&)> jump,
                 CommandHost* commands, QWidget* parent = nullptr);

  CivilDate date() const;
  void SetDate(const CivilDate& date);
  void SetToday();
  // "指定日にセット": the grid goes to the date and the window closes.
  void JumpAndClose();
  QString weekday_caption() const;
  bool today_enabled() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void Changed();
  void JumpThen(Command command);
  CivilDate Today() const;
  void PlayCue(const char* name);

  Services services_;
  std::function<void(const CivilDate&)> jump_;
  CommandHost* commands_;
  bool shown_once_ = false;
  QSpinBox* year_ = nullptr;
  QSpinBox* month_ = nullptr;
  QSpinBox* day_ = nullptr;
  QLabel* weekday_ = nullptr;
  QPushButton* today_ = nullptr;
};

}  // namespace mirokata

#endif  // MIROKATA_TOOLS_UI_DATE_JUMP_WINDOW_H_
