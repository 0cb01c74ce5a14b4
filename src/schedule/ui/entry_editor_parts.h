// Pieces the schedule editor and the popup editor share: the entry text
// box, the edit menu of a text box, the year/month/day boxes, and the
// session that loads, saves and deletes the entry the boxes address.
#ifndef MIROKATA_SCHEDULE_UI_ENTRY_EDITOR_PARTS_H_
#define MIROKATA_SCHEDULE_UI_ENTRY_EDITOR_PARTS_H_

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTabBar>
#include <QTextEdit>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/services.h"
#include "calendar/gregorian.h"
#include "schedule/editor_state.h"
#include "schedule/entry_editing.h"
#include "schedule/entry_files.h"

class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;

namespace mirokata {

class Clock;

CivilDate TodayOfClock(const Clock* clock);

// The editors' font and controls, each with its accessible name.
QFont EditorFont();
QPushButton* MakeButton(QWidget* parent, const char* caption, const char* hint);
QTabBar* MakeTabs(QWidget* parent, int count);
// A titled group of radio buttons, the first one checked.
QGroupBox* MakeRadioGroup(QWidget* parent, const char* title,
                          std::initializer_list<const char*> captions,
                          QRadioButton** buttons);
// "週指定": "第１週" ... "第５週" checked, then "最終週".
QGroupBox* MakeWeekGroup(QWidget* parent, QCheckBox** boxes);
// The copy string: read-only look, selectable, Ctrl+C.
QLineEdit* MakeCopyString(QWidget* parent);

// What an editor tells the windows around it when it closes.
struct EditorNeighbours {
  // The open schedule manager, shown and rebuilt.
  std::function<void()> rebuild_manager;
  // The open schedule list, after a schedule was written or deleted.
  std::function<void()> rebuild_schedule_list;

  // What every editor does as it closes: keeps its place in `section`,
  // plays "clo" and has the windows around it rebuilt.
  void EditorClosed(const QWidget* window, const Services& services,
                    std::string_view section, bool schedule_changed) const;
};

// "やり直し(&U)", "切り抜き(&T)", "コピー(&C)", "貼り付け(&P)",
// "すべてを選択(&S)", acting on `target` (a QTextEdit or a QLineEdit).
QMenu* MakeEditMenu(QWidget* target, QWidget* parent);

// The entry text: rich text in, but only plain text and RTF (through the
// program's own reader) come in by paste or drop, so what is shown is what
// is saved.
class EntryTextEdit : public QTextEdit {
  Q_OBJECT

 public:
  explicit EntryTextEdit(QWidget* parent = nullptr);

  // Loads file data (RTF or plain text) as unchanged text in the box's own
  // colour, caret at the start.
  void LoadEntry(std::string_view data);
  // Appends text as new lines.
  void AppendLines(const QString& text);

  // Paste and drop.
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
};

// The repetition choices of both editors: the tabs, "休日なら",
// "土曜日は" and "週指定".
class RepetitionBoxes : public QObject {
  Q_OBJECT

 public:
  RepetitionBoxes(QWidget* parent, int tab_count);

  // What the boxes say, into an editor state; "最終週" just checked clears
  // the numbered weeks.
  template <typename State>
  void Read(State* state) const {
    state->tab = tabs_->currentIndex();
    state->move = move_[1]->isChecked()   ? HolidayMove::kPrevious
                  : move_[2]->isChecked() ? HolidayMove::kNext
                                          : HolidayMove::kStay;
    state->saturday_is_holiday = saturday_[1]->isChecked();
    const bool last_was = state->weeks.last;
    for (int i = 0; i < 5; ++i) {
      state->weeks.numbered[i] = weeks_[i]->isChecked();
    }
    state->weeks.last = weeks_[5]->isChecked();
    if (state->weeks.last && !last_was) state->weeks.numbered.fill(false);
  }

  // Shows a state and its view without reporting changes.
  template <typename State, typename View>
  void Show(const State& state, const View& view) {
    showing_ = true;
    for (int i = 0; i < tabs_->count(); ++i) {
      tabs_->setTabText(i, QString::fromStdString(view.tab_captions[i]));
    }
    ShowChoices(state.tab, state.move, state.saturday_is_holiday, state.weeks,
                view.move_enabled, view.saturday_enabled, view.weeks_enabled,
                view.numbered_weeks_enabled);
    showing_ = false;
  }

  QTabBar* tabs() const { return tabs_; }
  QGroupBox* move_group() const { return move_group_; }
  QGroupBox* saturday_group() const { return saturday_group_; }
  QGroupBox* weeks_group() const { return weeks_group_; }
  QRadioButton* move_button(HolidayMove move) const {
    return move_[static_cast<int>(move)];
  }
  QRadioButton* saturday_button(bool holiday) const {
    return saturday_[holiday ? 1 : 0];
  }
  QCheckBox* week_box(int i) const { return weeks_[i]; }  // 5 = last week

 signals:
  // The user chose another tab (the editors play "c1"), or clicked a
  // radio button or a week box.
  void TabChanged();
  void Changed();

 private:
  void ShowChoices(int tab, HolidayMove move, bool saturday,
                   const WeekBoxes& weeks, bool move_enabled,
                   bool saturday_enabled, bool weeks_enabled,
                   bool numbered_enabled);

  // Filled by the groups' constructors below, so declared before them.
  std::array<QRadioButton*, 3> move_{};
  std::array<QRadioButton*, 2> saturday_{};
  std::array<QCheckBox*, 6> weeks_{};
  QTabBar* tabs_;
  QGroupBox* move_group_;
  QGroupBox* saturday_group_;
  QGroupBox* weeks_group_;
  bool showing_ = false;
};

// Year, month and day, the button back to today and the days from today
// ("Offs"); changes are reported once a value is complete (Enter, the
// arrows, leaving the box), never for each digit typed.
class DateBoxes : public QWidget {
  Q_OBJECT

 public:
  DateBoxes(int min_year, QWidget* parent = nullptr);

  CivilDate date() const;
  // Puts a caption after each box ("年", "月", "日").
  void AddCaptions(const char* year, const char* month, const char* day);
  // Sets the boxes without reporting a change.
  void SetDate(const CivilDate& date);
  // The days from `today` to the date shown.
  void ShowOffset(const CivilDate& today);

  QSpinBox* year_box() const { return year_; }
  QSpinBox* month_box() const { return month_; }
  QSpinBox* day_box() const { return day_; }
  QPushButton* today_button() const { return today_; }
  QLabel* offset_label() const { return offset_; }

 signals:
  void Changed();

 private:
  QSpinBox* year_;
  QSpinBox* month_;
  QSpinBox* day_;
  QPushButton* today_;
  QLabel* offset_;
};

// The entry the boxes address and its text box: what was loaded (to tell a
// change by another window), the discard notice, saving and deleting with
// their questions and failure messages.
class EntryEditSession {
 public:
  // `window` is disabled while a question is open and places the boxes.
  EntryEditSession(const Services& services, QWidget* window,
                   EntryTextEdit* text, bool popup);

  EntryFolder& folder() { return *folder_; }
  const std::string& name() const { return name_; }
  std::string full_path() const { return folder_->FullPath(name_); }
  // The file was there at the last load or save (readable or not).
  bool exists() const { return loaded_.stamp.exists; }
  bool unreadable() const { return loaded_.result == ReadResult::kUnreadable; }
  bool modified() const;
  // True while a question of this window is open.
  bool busy() const { return busy_; }
  // Runs whenever what the buttons depend on may have changed (a question
  // answered, a save or delete done, another entry loaded).
  void SetChangedHandler(std::function<void()> changed) {
    changed_ = std::move(changed);
  }

  // Addresses `name`: unsaved text is discarded (with the notice) and the
  // entry is loaded. The same name again keeps the text as it is. True when
  // another entry was loaded.
  bool Address(const std::string& name);
  // Loads the addressed entry again, as after a change elsewhere.
  void Reload();

  // Writes the text. When the file changed since it was loaded, asks first.
  // `saved` runs once the text is on disk, with the window still open.
  void Save(std::function<void()> saved);
  // Asks (unless `Form`/`Delete` says not to), then deletes the entry
  // addressed when the question was asked. `deleted` runs once it is gone.
  void Delete(std::function<void()> deleted);

 private:
  void WriteText(bool force, std::function<void()> saved);
  void Fail(const std::string& text);
  void SetBusy(bool busy);

  Services services_;
  QPointer<QWidget> window_;
  EntryTextEdit* text_;
  bool popup_;
  std::unique_ptr<EntryFolder> folder_;
  std::string name_;
  LoadedEntry loaded_;
  bool busy_ = false;
  std::function<void()> changed_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_UI_ENTRY_EDITOR_PARTS_H_
