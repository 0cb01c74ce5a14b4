// The preferences window: the table's ten pages, the pages the subsystems
// bring, the two folder choices, the lock's switch and the start at login.
// Nothing is written until OK, and then only what the user changed, in one
// settings batch; Cancel and the close button write nothing.
#ifndef MIROKATA_TOOLS_UI_PREFERENCES_WINDOW_H_
#define MIROKATA_TOOLS_UI_PREFERENCES_WINDOW_H_

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/command.h"
#include "base/services.h"
#include "mainwin/month_grid.h"
#include "platform/messages.h"
#include "tools/preference_table.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace mirokata {

class PreferencesPages;

inline constexpr char kNextStartNotice[] =
    "この設定は次回起動時に\r有効になります。";
inline constexpr char kPreferencesGreeting[] =
    "自分好みにカスタマイズしましょう。";
inline constexpr char kNoPasswordSetMessage[] =
    "パスワードが設定されていないので、パスワード機能は使えません。";

class PreferencesWindow : public QWidget {
  Q_OBJECT

 public:
  // What the window needs of the rest of the program; each may be empty.
  struct Hooks {
    // Asks for the password; `done` hears later whether it passed.
    std::function<void(std::function<void(bool)>)> password_confirm;
    // Shows colours on the month grid before they are saved.
    std::function<void(const GridColors&)> preview_grid;
    // Runs a command of the main window ("関連付けの設定", the mail
    // server settings).
    std::function<void(Command)> run_command;
    // The popup window's own picture, for the clipboard button.
    std::function<QImage()> default_popup_picture;
  };

  // Pickers that answer later (the defaults open dialogs with open()).
  // An empty answer is Cancel.
  enum class FileKind { kFolder, kSound, kProgram, kPicture };
  using FileChooser =
      std::function<void(QWidget* parent, FileKind kind, const QString& start,
                         std::function<void(const QString&)> done)>;
  using ColorChooser =
      std::function<void(QWidget* parent, const QColor& start,
                         std::function<void(const QColor&)> done)>;

  PreferencesWindow(const Services& services, PreferencesPages* pages,
                    Hooks hooks, QWidget* parent = nullptr);
  ~PreferencesWindow() override;

  void set_file_chooser(FileChooser chooser) {
    file_chooser_ = std::move(chooser);
  }
  void set_color_chooser(ColorChooser chooser) {
    color_chooser_ = std::move(chooser);
  }

  // OK: checks the subsystems' pages, writes every change in one batch and
  // closes. False (and open) when a page refused or the file could not be
  // written.
  bool Accept();
  // Cancel: closes without writing; the grid gets its colours back.
  void Reject();

  // The folder buttons: the notice, then the chooser; kept until OK.
  void ChooseDataFolder();
  void ChoosePrivacyFolder();
  // The holiday editor's "保存" and "削除"; kept until OK.
  void StoreHoliday();
  void DeleteHoliday();
  // The table item's control (check box, radio group, number, text field,
  // colour button, font list or path field).
  QWidget* control(int index) const { return controls_[index]; }
  // Picks a value as the user would through the control.
  void SetValue(int index, const QString& value);
  const PreferenceValues& values() const { return values_; }
  QTabWidget* tabs() const { return tabs_; }
  QCheckBox* lock_box() const;
  QCheckBox* autostart_box() const { return autostart_; }
  QSpinBox* holiday_month() const { return holiday_month_; }
  QSpinBox* holiday_day() const { return holiday_day_; }
  QLineEdit* holiday_name() const { return holiday_name_; }
  QPushButton* ok_button() const { return ok_; }
  QPushButton* cancel_button() const { return cancel_; }
  QString shown_data_folder() const;
  QString shown_privacy_folder() const;
  bool privacy_button_enabled() const;
  QString status_text() const;

 signals:
  // After OK has written the file.
  void Saved();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildPages();
  QWidget* MakeControl(int index);
  QWidget* MakePathControl(int index);
  QWidget* MakeHolidayEditor();
  QWidget* MakePhoneBookGrid();
  QWidget* MakeVersionPage();
  QWidget* MakeFolders();
  void AddPageExtras(PreferencePage page, QWidget* page_widget);
  // A value changed through its control.
  void Changed(int index);
  // Puts the value into its control without counting as a change.
  void Show(int index);
  void PickColor(int index);
  void ResetItems(const std::vector<int>& indexes);
  // The grid gets back the colours it had when the window opened.
  void RestoreGrid();
  void ToggleLock(bool wanted);
  void UpdateEnabling();
  void ShowHolidayName();
  void PreviewGrid();
  GridColors ShownGridColors() const;
  void Notice(MessageKind kind, const char* text);
  void PlayCue(const char* name);
  int IndexOf(const char* section, const char* key) const;

  Services services_;
  PreferencesPages* pages_;
  Hooks hooks_;
  FileChooser file_chooser_;
  ColorChooser color_chooser_;
  PreferenceValues values_;
  std::vector<QWidget*> controls_;
  bool filling_ = false;
  bool done_ = false;
  bool data_folder_chosen_ = false;

  // Kept until OK.
  std::optional<std::string> data_folder_;
  std::optional<std::string> privacy_folder_;    // as stored ("" = the data)
  std::map<std::string, std::string> holidays_;  // "mm/dd" -> name
  bool autostart_on_ = false;
  GridColors loaded_grid_{};

  QTabWidget* tabs_ = nullptr;
  QLabel* status_ = nullptr;
  QCheckBox* autostart_ = nullptr;
  QLineEdit* data_field_ = nullptr;
  QLineEdit* privacy_field_ = nullptr;
  QPushButton* privacy_button_ = nullptr;
  QSpinBox* holiday_month_ = nullptr;
  QSpinBox* holiday_day_ = nullptr;
  QLineEdit* holiday_name_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace mirokata

#endif  // MIROKATA_TOOLS_UI_PREFERENCES_WINDOW_H_
