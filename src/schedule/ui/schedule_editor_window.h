// "スケジュールの登録": writes, changes and deletes one schedule entry for
// a date, once or every year, month or chosen weeks.
#ifndef MIROKATA_SCHEDULE_UI_SCHEDULE_EDITOR_WINDOW_H_
#define MIROKATA_SCHEDULE_UI_SCHEDULE_EDITOR_WINDOW_H_

#include <QWidget>
#include <array>
#include <functional>

#include "base/services.h"
#include "schedule/editor_state.h"
#include "schedule/ui/entry_editor_parts.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace mirokata {

class ScheduleEditorWindow : public QWidget {
  Q_OBJECT

 public:
  ScheduleEditorWindow(const Services& services, EditorNeighbours neighbours,
                       const ScheduleEditorState& state,
                       QWidget* parent = nullptr);
  ~ScheduleEditorWindow() override;

  const ScheduleEditorState& state() const { return state_; }
  const ScheduleEditorView& view() const { return view_; }
  // Sets every box and re-evaluates.
  void SetState(const ScheduleEditorState& state);
  const EntryEditSession& session() const { return session_; }

  void SaveEntry(bool close_after);
  void DeleteEntry();
  void InsertCopyString();
  void BackToToday();

  // Parts for tests.
  DateBoxes* date_boxes() const { return date_; }
  QTabBar* tabs() const { return repetition_->tabs(); }
  QRadioButton* move_button(HolidayMove move) const {
    return repetition_->move_button(move);
  }
  QRadioButton* saturday_button(bool holiday) const {
    return repetition_->saturday_button(holiday);
  }
  QCheckBox* week_box(int i) const { return repetition_->week_box(i); }
  EntryTextEdit* text() const { return text_; }
  QLineEdit* copy_string() const { return copy_; }
  QPushButton* save_button() const { return save_; }
  QPushButton* save_close_button() const { return save_close_; }
  QPushButton* delete_button() const { return delete_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildUi();
  void ReadBoxes();
  void Reevaluate();
  void ShowState();
  void UpdateButtons();

  Services services_;
  EditorNeighbours neighbours_;
  EntryTextEdit* text_;
  ScheduleEditorState state_;
  ScheduleEditorView view_;
  bool showing_ = false;
  bool schedule_changed_ = false;

  DateBoxes* date_ = nullptr;
  RepetitionBoxes* repetition_ = nullptr;
  QLineEdit* copy_ = nullptr;
  QPushButton* insert_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* save_close_ = nullptr;
  QPushButton* delete_ = nullptr;
  QAction* save_exit_ = nullptr;
  QAction* delete_exit_ = nullptr;
  EntryEditSession session_;
};

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_UI_SCHEDULE_EDITOR_WINDOW_H_
