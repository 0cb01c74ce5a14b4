// Picks a sound file (wave or MIDI) for reminders, birthdays and mail.
#ifndef MIROKATA_WIDGETS_SOUND_CHOOSER_DIALOG_H_
#define MIROKATA_WIDGETS_SOUND_CHOOSER_DIALOG_H_

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;

namespace mirokata {

class Sound;

// Modal: the caller opens it with the current file, runs exec() (never from
// the tick) and reads SelectedPath() afterwards. However it closes, the file
// being tried out stops.
class SoundChooserDialog : public QDialog {
  Q_OBJECT

 public:
  SoundChooserDialog(Sound& sound, const QString& current_file,
                     QWidget* parent = nullptr);
  ~SoundChooserDialog() override;

  // Full path of the selected file; empty when none is selected.
  QString SelectedPath() const { return selected_path_; }

  // Shows a folder (its drive, its folder chain and its matching files).
  void ShowFolder(const QString& folder);
  QString ShownFolder() const { return folder_; }
  // Index into the filter box: 0 "*.WAV;*.MID", 1 "*.WAV", 2 "*.MID".
  void SetFilterIndex(int index);
  // Selects a file of the shown folder by name; false when it is not listed.
  bool SelectFile(const QString& file_name);
  // File names the list shows now, in order.
  QStringList ListedFiles() const;
  // Plays the selected file ("試聴", "音色テスト", double click).
  void PlaySelected();
  // "設定して閉じる" / "閉じる(&C)": stops playback and closes.
  void SetAndClose();

  void done(int result) override;

  // Parts for tests.
  QPushButton* test_button() const { return test_button_; }
  QPushButton* close_button() const { return close_button_; }
  QLabel* path_label() const { return path_label_; }
  QComboBox* drive_box() const { return drive_box_; }
  QComboBox* filter_box() const { return filter_box_; }
  QListWidget* folder_list() const { return folder_list_; }
  QListWidget* file_list() const { return file_list_; }
  QMenu* context_menu() const { return context_menu_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FillDrives();
  void FillFolders();
  void FillFiles();
  void UpdateSelection();
  void FolderItemActivated(QListWidgetItem* item);

  Sound& sound_;
  QString folder_;
  QString selected_path_;
  QComboBox* drive_box_ = nullptr;
  QListWidget* folder_list_ = nullptr;
  QListWidget* file_list_ = nullptr;
  QComboBox* filter_box_ = nullptr;
  QLabel* path_label_ = nullptr;
  QPushButton* test_button_ = nullptr;
  QPushButton* close_button_ = nullptr;
  QMenu* context_menu_ = nullptr;
  bool centred_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_WIDGETS_SOUND_CHOOSER_DIALOG_H_
