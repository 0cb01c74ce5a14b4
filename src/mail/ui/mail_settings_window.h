// "メールサーバーの設定": the general page, three mailboxes and the reminder
// mail. Nothing is written until OK; passwords go to the secret store.
#ifndef MIROKATA_MAIL_UI_MAIL_SETTINGS_WINDOW_H_
#define MIROKATA_MAIL_UI_MAIL_SETTINGS_WINDOW_H_

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "base/secret_store.h"
#include "base/services.h"
#include "mail/mail_session.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTabWidget;

namespace mirokata {

class MailSettingsWindow : public QDialog {
  Q_OBJECT

 public:
  // last_outcome(n): what the last check of account n (1-3) found.
  MailSettingsWindow(const Services& services, SecretStore& secrets,
                     std::function<MailOutcome(int)> last_outcome,
                     QWidget* parent = nullptr);

  // OK: every key in one batch, then the changed passwords.
  void accept() override;

  struct AccountPage {
    QLineEdit* name = nullptr;
    QLineEdit* server = nullptr;
    QLineEdit* user = nullptr;
    QLineEdit* password = nullptr;
    QLineEdit* port = nullptr;
    QComboBox* security = nullptr;
    QCheckBox* check = nullptr;
    QLabel* outcome = nullptr;
    std::string loaded_password;
  };
  struct SendPage {
    QLineEdit* server = nullptr;
    QLineEdit* port = nullptr;
    QLineEdit* to = nullptr;
    QLineEdit* from = nullptr;
    QComboBox* security = nullptr;
    QLineEdit* user = nullptr;
    QLineEdit* password = nullptr;
    QCheckBox* agree = nullptr;
    std::string loaded_password;
  };

  QTabWidget* pages() const { return pages_; }
  QCheckBox* auto_check() const { return auto_check_; }
  QSpinBox* interval() const { return interval_; }
  QLineEdit* mailer() const { return mailer_; }
  QLabel* sound_label() const { return sound_label_; }
  AccountPage& account(int i) { return accounts_[i]; }
  SendPage& send() { return send_; }

 protected:
  void done(int result) override;

 private:
  QWidget* MakeGeneralPage();
  QWidget* MakeAccountPage(int i);
  QWidget* MakeSendPage();
  void Load();
  void ChooseMailer();
  void ChooseSound();

  Services services_;
  SecretStore& secrets_;
  std::function<MailOutcome(int)> last_outcome_;
  QTabWidget* pages_ = nullptr;
  QCheckBox* auto_check_ = nullptr;
  QSpinBox* interval_ = nullptr;
  QLineEdit* mailer_ = nullptr;
  QLabel* sound_label_ = nullptr;
  std::array<AccountPage, 3> accounts_;
  SendPage send_;
};

}  // namespace mirokata

#endif  // MIROKATA_MAIL_UI_MAIL_SETTINGS_WINDOW_H_
