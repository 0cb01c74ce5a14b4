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

// What an editor tells the windows around it when it closes.
struct EditorNeighbours {
  // The open schedule manager, shown and rebuilt.
  std::function<void()> rebuild_manager;
  // The open schedule list, after a schedule was written or deleted.
  std::function<void()> rebuild_schedule_list;
};

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
  QTabBar* tabs() const { return tabs_; }
  QRadioButton* move_button(HolidayMove move) const {
    return move_[static_cast<int>(move)];
  }
  QRadioButton* saturday_button(bool holiday) const {
    return saturday_[holiday ? 1 : 0];
  }
  QCheckBox* week_box(int i) const { return weeks_[i]; }  // 0-4, 5 = last
  EntryTextEdit* text() const { return text_; }
  QLineEdit* copy_string() const { return copy_; }
  QPushButton* save_button() const { return save_; }
  QPushButton* save_close_button() const { return save_close_; }
  QPushButton* delete_button() const { return delete_; }
  QPushButton* today_button() const { return today_; }
  QLabel* offset_label() const { return offset_; }

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
  QTabBar* tabs_ = nullptr;
  QGroupBox* move_group_ = nullptr;
  QGroupBox* saturday_group_ = nullptr;
  QGroupBox* weeks_group_ = nullptr;
  std::array<QRadioButton*, 3> move_{};
  std::array<QRadioButton*, 2> saturday_{};
  std::array<QCheckBox*, 6> weeks_{};
  QLineEdit* copy_ = nullptr;
  QPushButton* insert_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* save_close_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* today_ = nullptr;
  QLabel* offset_ = nullptr;
  QAction* save_exit_ = nullptr;
  QAction* delete_exit_ = nullptr;
  EntryEditSession session_;
};

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_UI_SCHEDULE_EDITOR_WINDOW_H_
