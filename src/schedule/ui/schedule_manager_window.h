// The schedule manager ("スケジュール管理"): a narrow tool window listing the
// data folder's entries as one line each, in three modes (all, past one-day
// entries, the one-day entries of a chosen day), with a preview of the
// selected entry, deletion, and the editors opened through the host.
#ifndef MIROKATA_SCHEDULE_UI_SCHEDULE_MANAGER_WINDOW_H_
#define MIROKATA_SCHEDULE_UI_SCHEDULE_MANAGER_WINDOW_H_

#include <QColor>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/services.h"
#include "base/weekday_names.h"
#include "calendar/gregorian.h"
#include "schedule/manager_lines.h"

class QAction;
class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;

namespace mirokata {

class EntryFolder;

// What the manager needs from the rest of the program.
struct ScheduleManagerHost {
  // Opens the editor that matches the entry; false when nothing opens (the
  // window beeps).
  std::function<bool(const std::string& on_disk_name)> open_entry;
  std::function<void(const CivilDate&)> open_popup_editor;
  std::function<void(const CivilDate&)> open_schedule_editor;
  // Rebuilds the schedule list when it is open.
  std::function<void()> rebuild_schedule_list;
};

class ScheduleManagerWindow : public QWidget {
  Q_OBJECT

 public:
  ScheduleManagerWindow(const Services& services, ScheduleManagerHost host,
                        const CivilDate& chosen_day, QWidget* parent = nullptr);
  ~ScheduleManagerWindow() override;

  // Sets the chosen day and builds its list.
  void SetChosenDay(const CivilDate& day);
  // Builds the list of the current mode again, keeping the selected line
  // when it is still there.
  void Rebuild();

  void ShowAll();
  void ShowPast();
  void ShowChosenDay();
  void PreviousDay();
  void NextDay();
  void BackToToday();
  // "修正" and a double click: the selected entry's editor.
  void EditSelected();
  // Deletes the selected entry, after the question unless it is turned off.
  void DeleteSelected();
  // "iCalendarから読み込む" / "iCalendarに書き出す": a file dialog, then
  // the file; a box says what was done.
  void ImportIcalendar();
  void ExportIcalendar();
  void ImportIcalendarFile(const QString& path);
  void ExportIcalendarFile(const QString& path);

  ManagerMode mode() const { return mode_; }
  const CivilDate& chosen_day() const { return chosen_day_; }
  // In list order.
  const std::vector<ManagerLine>& lines() const { return lines_; }
  int current_row() const;
  void SelectRow(int row);
  QString strip_text() const;
  QColor strip_color() const;
  QString preview_text() const;
  QString status_text() const;
  QString date_caption() const;
  bool may_have_changed() const { return changed_; }
  void SetNoConfirmation(bool on);
  bool asking() const { return asking_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build(ManagerMode mode, bool keep_selection);
  void FillList();
  void ShowLine(int row);
  void ClearSelection();
  void DeleteEntry(const std::string& name);
  void ShowDay();
  void SetStrip(const QString& text, const QColor& color);
  void PlaceSplitter(int list_height);
  int ListHeight() const;
  CivilDate Today() const;
  EntryFolder& Folder();
  void PlayCue(const char* name);

  Services services_;
  ScheduleManagerHost host_;
  CivilDate chosen_day_;
  ManagerMode mode_ = ManagerMode::kChosenDay;
  WeekdayNames ddd_names_;
  std::unique_ptr<EntryFolder> folder_;
  std::vector<ManagerLine> lines_;
  std::string selected_name_;
  std::string selected_path_;
  bool changed_ = false;
  bool asking_ = false;
  bool shown_once_ = false;
  int list_height_ = 0;

  QPushButton* all_ = nullptr;
  QPushButton* past_ = nullptr;
  QPushButton* date_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* today_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* popup_editor_ = nullptr;
  QPushButton* schedule_editor_ = nullptr;
  QCheckBox* no_confirmation_ = nullptr;
  QWidget* button_panel_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QListWidget* list_ = nullptr;
  QLabel* strip_ = nullptr;
  QPlainTextEdit* preview_ = nullptr;
  QLabel* status_ = nullptr;
  QMenu* menu_ = nullptr;
  QAction* past_action_ = nullptr;
  QAction* all_action_ = nullptr;
  QAction* day_action_ = nullptr;
  QAction* edit_action_ = nullptr;
  QAction* delete_action_ = nullptr;
};

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_UI_SCHEDULE_MANAGER_WINDOW_H_
