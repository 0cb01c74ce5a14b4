// Picks a sound file (wave or MIDI) for reminders, birthdays and mail.
#ifndef MIROKATA_PLATFORM_UI_SOUND_CHOOSER_DIALOG_H_
#define MIROKATA_PLATFORM_UI_SOUND_CHOOSER_DIALOG_H_

#include <QDialog>
#include <QString>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QListView;
class QMenu;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace mirokata {

class Sound;

// Modal: the caller opens it with the current file, runs exec() (never from
// the tick) and reads SelectedPath() afterwards.
class SoundChooserDialog : public QDialog {
  Q_OBJECT

 public:
  SoundChooserDialog(Sound& sound, const QString& current_file,
                     QWidget* parent = nullptr);
  ~SoundChooserDialog() override;

  // Full path of the selected file; empty when none is selected.
  QString SelectedPath() const { return selected_path_; }

  // Shown folder (for tests and callers that want to start elsewhere).
  void ShowFolder(const QString& folder);
  QString ShownFolder() const;
  // Index into the filter box: 0 "*.WAV;*.MID", 1 "*.WAV", 2 "*.MID".
  void SetFilterIndex(int index);
  // Selects a file of the shown folder by name; false when it is not listed.
  bool SelectFile(const QString& file_name);
  // Plays the selected file ("試聴", "音色テスト", double click).
  void PlaySelected();
  // "設定して閉じる" / "閉じる(&C)": stops playback and accepts.
  void SetAndClose();

  // Parts for tests.
  QPushButton* test_button() const { return test_button_; }
  QLabel* path_label() const { return path_label_; }
  QComboBox* filter_box() const { return filter_box_; }
  QListView* file_list() const { return file_list_; }
  QMenu* context_menu() const { return context_menu_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyFilter();
  void UpdateSelection();
  void FolderActivated(const QModelIndex& index);

  Sound& sound_;
  QString selected_path_;
  QFileSystemModel* folder_model_ = nullptr;
  QFileSystemModel* file_model_ = nullptr;
  QComboBox* drive_box_ = nullptr;
  QTreeView* folder_tree_ = nullptr;
  QListView* file_list_ = nullptr;
  QComboBox* filter_box_ = nullptr;
  QLabel* path_label_ = nullptr;
  QPushButton* test_button_ = nullptr;
  QPushButton* close_button_ = nullptr;
  QMenu* context_menu_ = nullptr;
  QString pending_file_;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_UI_SOUND_CHOOSER_DIALOG_H_
