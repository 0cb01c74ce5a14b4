// The preferences window. For now it holds the folder choices, the two
// start-up switches that need a data folder, the start at login and the
// password lock's switch.
#ifndef MIROKATA_APP_PREFERENCES_DIALOG_H_
#define MIROKATA_APP_PREFERENCES_DIALOG_H_

#include <QString>
#include <QWidget>
#include <functional>

#include "base/services.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace mirokata {

class PreferencesDialog : public QWidget {
  Q_OBJECT

 public:
  // Asks for a folder starting at the given one; empty means Cancel.
  using FolderChooser = std::function<QString(QWidget*, const QString&)>;

  explicit PreferencesDialog(const Services& context,
                             QWidget* parent = nullptr);

  void set_folder_chooser(FolderChooser chooser) {
    chooser_ = std::move(chooser);
  }
  // Asks for the password; the answer comes later, true when it passed.
  using PasswordConfirm = std::function<void(std::function<void(bool)>)>;
  void set_password_confirm(PasswordConfirm confirm) {
    confirm_ = std::move(confirm);
  }

  // The two folder buttons.
  void ChooseDataFolder();
  void ChoosePrivacyFolder();

  // Writes the switches the dialog shows, in one settings batch. Runs at
  // every change of a switch. False when the file could not be written.
  bool Save();
  // Writes or removes the login autostart entry for the switch. On failure
  // says why and puts the switch back.
  bool SaveAutostart();
  // The lock's switch: changes `Password`/`Use` only once the password
  // has been given.
  void ToggleLock(bool wanted);
  QCheckBox* lock_box() const { return lock_; }

  QString shown_data_folder() const;
  QString shown_privacy_folder() const;
  bool privacy_button_enabled() const;
  bool startup_switches_enabled() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Load();
  void PlayCue(const char* name);

  Services context_;
  FolderChooser chooser_;
  PasswordConfirm confirm_;
  QLineEdit* data_folder_ = nullptr;
  QLineEdit* privacy_folder_ = nullptr;
  QPushButton* privacy_button_ = nullptr;
  QCheckBox* today_pop_ = nullptr;
  QCheckBox* todo_pop_ = nullptr;
  QCheckBox* autostart_ = nullptr;
  QCheckBox* lock_ = nullptr;
};

}  // namespace mirokata

#endif  // MIROKATA_APP_PREFERENCES_DIALOG_H_
