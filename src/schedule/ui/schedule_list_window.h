// The schedule list ("スケジュール一覧"): a tall read-only window beside the
// main calendar listing a range of days around a start date in three panes
// (past, today, future), with copy, export to a text file and printing.
#ifndef MIROKATA_SCHEDULE_UI_SCHEDULE_LIST_WINDOW_H_
#define MIROKATA_SCHEDULE_UI_SCHEDULE_LIST_WINDOW_H_

#include <QMargins>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/command.h"
#include "base/services.h"
#include "base/weekday_names.h"
#include "calendar/gregorian.h"
#include "schedule/schedule_list.h"

class QFileDialog;
class QMenu;
class QPrintDialog;
class QPrinter;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTextDocument;
class QTextEdit;
class QTimer;

namespace mirokata {

class DateBoxes;
class EntryFolder;

struct ScheduleListHost {
  // Runs the editors' commands ("ポップアップ", "スケジュール"); may be null.
  CommandHost* commands = nullptr;
  // The main window's frame on the desktop: the list always takes its
  // width, and a maximized list its left edge.
  std::function<QRect()> main_frame;
};

class ScheduleListWindow : public QWidget {
  Q_OBJECT

 public:
  ScheduleListWindow(const Services& services, ScheduleListHost host,
                     QWidget* parent = nullptr);
  ~ScheduleListWindow() override;

  // "一覧": lists the range of the boxes.
  void Build();
  // Sets the start date (corrected like the boxes correct it).
  void SetStartDate(const CivilDate& date);
  void BackToToday();
  void SetDays(int before, int after);

  CivilDate start_date() const;
  int days_before() const;
  int days_after() const;
  bool build_enabled() const;
  bool today_enabled() const;
  const ScheduleList& list() const { return list_; }
  QString pane_text(ListPane pane) const;
  QTextEdit* pane(ListPane pane) const { return panes_[pane]; }
  std::array<int, 3> pane_heights() const;
  // The width the window keeps: the main window's, or the maximized one's.
  int kept_width() const;

  // "テキスト出力": the save dialog, proposing TODOLIST.TXT in the program's
  // folder; open while the window is.
  void Export();
  QFileDialog* save_dialog() const;
  // Writes the export to `path`, asking first when the file is there.
  void ExportTo(const QString& path);
  // "印刷": the print dialog; prints once it is accepted.
  void Print();
  // The printout on `printer` (the print dialog's, or a PDF file's), named
  // by the window's caption.
  void PrintTo(QPrinter* printer) const;
  QPrintDialog* print_dialog() const;
  // What is printed: the export's text, black on white.
  std::unique_ptr<QTextDocument> PrintDocument() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void DateChanged();
  void DaysChanged();
  void WriteExport(const std::string& path);
  void PlacePanes(int past, int today);
  bool Fits(const std::array<int, 3>& heights) const;
  bool FutureSqueezed(const std::array<int, 3>& heights) const;
  void BarDropped(int position, int index);
  void ShowPaneMenu(QTextEdit* pane, const QPoint& at);
  void RunCommand(Command command);
  EntryFolder* Folder();
  CivilDate Today() const;
  void PlayCue(const char* name);
  QRect MainFrame() const;
  // Notes the geometry when it has the kept width; false when not.
  bool Settle();
  void KeepWidth();
  void ToggleMaximized();

  Services services_;
  ScheduleListHost host_;
  WeekdayNames ddd_names_;
  std::unique_ptr<EntryFolder> folder_;
  ScheduleList list_;
  bool shown_once_ = false;
  int stored_past_ = -1;
  int stored_today_ = -1;
  // The last geometry at the kept width: a width the desktop gave since is
  // taken back, the dragged border moving the window.
  QRect settled_;
  QMargins frame_margins_;
  QTimer* keep_width_timer_ = nullptr;
  // Set while maximized: the geometry to go back to.
  std::optional<QRect> restore_geometry_;
  int maximized_width_ = 0;

  QSpinBox* before_ = nullptr;
  QSpinBox* after_ = nullptr;
  DateBoxes* date_ = nullptr;
  QPushButton* today_ = nullptr;
  QPushButton* build_ = nullptr;
  QPushButton* popup_editor_ = nullptr;
  QPushButton* schedule_editor_ = nullptr;
  QWidget* controls_ = nullptr;
  QSplitter* splitter_ = nullptr;
  std::array<QTextEdit*, 3> panes_{};
  QMenu* menu_ = nullptr;
  QPointer<QTextEdit> menu_pane_;
  QPointer<QFileDialog> save_dialog_;
  QPointer<QPrintDialog> print_dialog_;
};

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_UI_SCHEDULE_LIST_WINDOW_H_
