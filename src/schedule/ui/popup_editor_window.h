// "ポップアップの登録": writes, changes and deletes one timed reminder with
// its options (closing, sound, picture, program, windows to close, mail),
// keeps twenty boilerplate texts and can add the text to the day's
// schedule.
#ifndef MIROKATA_SCHEDULE_UI_POPUP_EDITOR_WINDOW_H_
#define MIROKATA_SCHEDULE_UI_POPUP_EDITOR_WINDOW_H_

#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "base/services.h"
#include "schedule/editor_state.h"
#include "schedule/entry_editing.h"
#include "schedule/ui/entry_editor_parts.h"
#include "schedule/ui/schedule_editor_window.h"
#include "widgets/picture_chooser_dialog.h"
#include "widgets/sound_chooser_dialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabBar;
class QTextEdit;

namespace mirokata {

class PopupEditorWindow : public QWidget {
  Q_OBJECT

 public:
  PopupEditorWindow(const Services& services, EditorNeighbours neighbours,
                    const PopupEditorState& state, QWidget* parent = nullptr);
  ~PopupEditorWindow() override;

  // The state the main window opens with: the day, the one-day tab, the
  // time now plus the `before` minutes.
  static PopupEditorState StartingState(const Services& services,
                                        const CivilDate& date);

  const PopupEditorState& state() const { return state_; }
  const PopupEditorView& view() const { return view_; }
  void SetState(const PopupEditorState& state);
  const EntryEditSession& session() const { return session_; }

  void SaveEntry(bool close_after);
  void DeleteEntry();
  void SetElapsedMode(bool elapsed);
  void BackToToday();
  void OpenSoundChooser();
  void OpenPictureChooser();
  void SelectBoilerplate(int slot);
  void InsertBoilerplate();
  void DeleteBoilerplate();
  void StartRename();

  // Parts for tests.
  QSpinBox* hour_box() const { return hour_; }
  QSpinBox* minute_box() const { return minute_; }
  DateBoxes* date_boxes() const { return date_; }
  QTabBar* tabs() const { return repetition_->tabs(); }
  QRadioButton* move_button(HolidayMove move) const {
    return repetition_->move_button(move);
  }
  QRadioButton* saturday_button(bool holiday) const {
    return repetition_->saturday_button(holiday);
  }
  QCheckBox* week_box(int i) const { return repetition_->week_box(i); }
  QLabel* panel() const { return panel_; }
  QLabel* time_note() const { return time_note_; }
  EntryTextEdit* text() const { return text_; }
  QLineEdit* copy_string() const { return copy_; }
  QSpinBox* seconds_box() const { return seconds_; }
  QCheckBox* auto_close() const { return auto_close_; }
  QSpinBox* close_seconds() const { return close_seconds_; }
  QCheckBox* wallpaper_box() const { return wallpaper_; }
  QCheckBox* stretch_box() const { return stretch_; }
  QLineEdit* program_box() const { return program_; }
  QLineEdit* title_box() const { return close_title_; }
  QCheckBox* mail_box() const { return mail_; }
  QCheckBox* add_to_schedule() const { return add_schedule_; }
  QComboBox* boilerplate_titles() const { return teikei_titles_; }
  QTextEdit* boilerplate_text() const { return teikei_text_; }
  QLineEdit* rename_box() const { return rename_; }
  QPushButton* save_button() const { return save_; }
  QPushButton* save_close_button() const { return save_close_; }
  QPushButton* delete_button() const { return delete_; }
  SoundChooserDialog* sound_chooser() const { return sound_chooser_; }
  PictureChooser* picture_chooser() const { return picture_chooser_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildUi();
  QWidget* BuildOptions();
  QWidget* BuildBoilerplates();
  QWidget* BuildElapsedPanel();
  void ReadBoxes();
  void Reevaluate();
  void ShowState();
  void LoadOptions();
  void ShowPictureChoice(bool own_picture);
  void UpdateButtons();
  void MarkChanged();
  void WriteOptionsAndSchedule(bool close_after);
  void ShowBeforeNotes();
  int BeforeMinutes() const;

  Services services_;
  EditorNeighbours neighbours_;
  EntryTextEdit* text_;
  PopupEditorState state_;
  PopupEditorView view_;
  bool showing_ = false;
  bool options_changed_ = false;
  bool schedule_changed_ = false;
  std::optional<std::string> chosen_sound_;
  std::optional<std::string> chosen_picture_;
  PopupOptions stored_;
  BoilerplateStore boilerplates_;
  int slot_ = -1;

  QSpinBox* hour_ = nullptr;
  QSpinBox* minute_ = nullptr;
  QLabel* panel_ = nullptr;
  QLabel* time_note_ = nullptr;
  DateBoxes* date_ = nullptr;
  QPushButton* to_elapsed_ = nullptr;
  QWidget* time_panel_ = nullptr;
  RepetitionBoxes* repetition_ = nullptr;
  QWidget* elapsed_panel_ = nullptr;
  QSpinBox* seconds_ = nullptr;
  QSpinBox* unit_ = nullptr;
  QSpinBox* count_ = nullptr;
  QLabel* elapsed_note_ = nullptr;
  QLineEdit* copy_ = nullptr;
  QCheckBox* auto_close_ = nullptr;
  QSpinBox* close_seconds_ = nullptr;
  QCheckBox* wallpaper_ = nullptr;
  QCheckBox* stretch_ = nullptr;
  QLineEdit* program_ = nullptr;
  QLineEdit* close_title_ = nullptr;
  QCheckBox* mail_ = nullptr;
  QCheckBox* add_schedule_ = nullptr;
  QComboBox* teikei_titles_ = nullptr;
  QLineEdit* rename_ = nullptr;
  QPushButton* rename_button_ = nullptr;
  QTextEdit* teikei_text_ = nullptr;
  QPushButton* teikei_insert_ = nullptr;
  QPushButton* teikei_delete_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* save_close_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPointer<SoundChooserDialog> sound_chooser_;
  QPointer<PictureChooser> picture_chooser_;
  EntryEditSession session_;
};

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_UI_POPUP_EDITOR_WINDOW_H_
