// The window of one diary page: weather, title, picture and the formatted
// body. It reads the page when first shown and writes it back when it
// closes after a change; a failed write keeps the window open.
#ifndef MIROKATA_NOTES_UI_DIARY_WINDOW_H_
#define MIROKATA_NOTES_UI_DIARY_WINDOW_H_

#include <QFileDialog>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "base/services.h"
#include "base/weekday_names.h"
#include "calendar/gregorian.h"
#include "notes/diary_page.h"
#include "notes/diary_session.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QStatusBar;

namespace mirokata {

class RichTextEditor;
class RichTextPane;

class DiaryWindow : public QWidget {
  Q_OBJECT

 public:
  // `folder`: the diary folder. The page is read at the first show.
  DiaryWindow(const Services& services, std::string folder,
              const CivilDate& date, QWidget* parent = nullptr);
  ~DiaryWindow() override;

  const CivilDate& date() const { return date_; }
  // Reads the page (once). False when the page was refused or broken: the
  // window then closes without writing.
  bool Load();

  bool modified() const { return session_ && session_->modified(); }
  bool read_only() const { return read_only_; }
  void SetReadOnly(bool on);
  // Appends a weather word (a button) or replaces the field (its menu).
  void AddWeather(const QString& word);
  // Selects the first occurrence of `text`, line by line from the top, and
  // focuses the editor; false when there is none.
  bool FindFromTop(const QString& text);
  // The export: a save dialog; the page is marked not to be saved only
  // once the chosen file is written.
  void Export();
  // Asks (unless `Form`/`Delete` says not to), deletes the page and closes.
  void Delete();
  // Switches between the text and the picture.
  void TogglePicture();
  void ChoosePicture();
  void SetPicture(const QString& path);
  // The find and replace dialogs, and printing with the page's lines above.
  void OpenFind();
  void OpenReplace();
  void Print();
  QStringList PrintHeaderLines() const;

  QLineEdit* title_field() const { return title_; }
  QLineEdit* weather_field() const { return weather_; }
  RichTextEditor* editor() const { return editor_; }
  RichTextPane* pane() const { return pane_; }
  QPushButton* delete_button() const { return delete_button_; }
  QFileDialog* export_dialog() const { return export_dialog_; }
  QString status() const;
  QString picture() const { return QString::fromStdString(picture_); }
  bool picture_shown() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildUi();
  void ApplyHeader(const DiaryHeader& header);
  void ApplyColors();
  void PlaceFromSettings();
  void KeepOnScreen();
  void UpdateCaption();
  // The widgets' state into the session's page.
  void StorePage();
  void ExportTo(const QString& path);
  void LoadShownPicture();
  void MarkModified();

  Services services_;
  std::string folder_;
  CivilDate date_;
  WeekdayNames ddd_;
  std::unique_ptr<DiaryPageSession> session_;
  std::string picture_;
  bool loaded_ = false;
  bool refused_ = false;
  bool loading_ = true;
  bool read_only_ = false;
  bool picture_loaded_ = false;
  QLineEdit* title_ = nullptr;
  QLineEdit* weather_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  RichTextPane* pane_ = nullptr;
  RichTextEditor* editor_ = nullptr;
  QLabel* picture_view_ = nullptr;
  QPushButton* picture_button_ = nullptr;
  QPushButton* delete_button_ = nullptr;
  QStatusBar* status_ = nullptr;
  QPointer<QFileDialog> export_dialog_;
};

}  // namespace mirokata

#endif  // MIROKATA_NOTES_UI_DIARY_WINDOW_H_
