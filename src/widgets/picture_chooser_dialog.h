// PictureChooser: the one dialog in which a picture file is picked.
#ifndef MIROKATA_PICTURE_UI_PICTURE_CHOOSER_DIALOG_H_
#define MIROKATA_PICTURE_UI_PICTURE_CHOOSER_DIALOG_H_

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace mirokata {

class JpegJobs;
class SoundCues;

// Drive box, folder list and file list of "*.bmp;*.jpg", the chosen file's
// full path, an optional preview (JPEG files decoded quickly, in turn with
// all other JPEG work, on the dialog's own progress bar) and "設定". The
// caller shows it modally and then reads SelectedFile(), which is empty
// when no file was selected.
class PictureChooser : public QDialog {
  Q_OBJECT

 public:
  // `cues` may be null (no sounds); both must outlive the dialog.
  PictureChooser(JpegJobs* jobs, SoundCues* cues, QWidget* parent = nullptr);
  ~PictureChooser() override;

  // Opens the file's folder and selects the file (when it is there).
  void SetSelectedFile(const QString& path);
  // The full path shown in the dialog, however the dialog was closed.
  QString SelectedFile() const;
  // Opens a folder (the drive box follows).
  void SetFolder(const QString& folder);
  QString folder() const { return folder_; }

  void SetPreviewEnabled(bool on);

  // For tests.
  QListWidget* folder_list() const { return folders_; }
  QListWidget* file_list() const { return files_; }
  QLabel* preview() const { return preview_; }
  QProgressBar* progress_bar() const { return progress_; }
  QPushButton* ok_button() const { return ok_; }
  bool preview_pending() const { return preview_job_ != 0; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void FillDrives();
  void FillLists();
  void OnFileChanged();
  void UpdatePreview();
  void CancelPreview();

  JpegJobs* jobs_;
  SoundCues* cues_;
  QString folder_;
  QComboBox* drives_;
  QListWidget* folders_;
  QListWidget* files_;
  QLabel* path_;
  QCheckBox* preview_check_;
  QLabel* preview_;
  QProgressBar* progress_;
  QPushButton* ok_;
  int preview_job_ = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_PICTURE_UI_PICTURE_CHOOSER_DIALOG_H_
