#include "mail/ui/mail_settings_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/settings_file.h"
#include "platform/shell.h"
#include "platform/sound_cues.h"
#include "widgets/accessible_controls.h"
#include "widgets/sound_chooser_dialog.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string S(const QString& text) { return text.toStdString(); }

constexpr const char* kAccountTabs[] = {"受信１", "受信２", "受信３"};
constexpr const char* kAccountGroups[] = {"アカウント１", "アカウント２",
                                          "アカウント３"};

QLineEdit* NamedLine(const char* name) { return Named(new QLineEdit, name); }

QComboBox* SecurityBox(bool smtp) {
  auto* box = Named(new QComboBox, "暗号化");
  box->addItem(U(smtp ? "STARTTLS（提供されれば）" : "STLS（提供されれば）"));
  box->addItem(U(smtp ? "STARTTLS必須" : "STLS必須"));
  box->addItem(U(smtp ? "SMTPS（465）" : "POP3S（995）"));
  box->addItem(U("暗号化しない"));
  return box;
}

}  // namespace

MailSettingsWindow::MailSettingsWindow(
    const Services& services, SecretStore& secrets,
    std::function<MailOutcome(int)> last_outcome, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint),
      services_(services),
      secrets_(secrets),
      last_outcome_(std::move(last_outcome)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(U("メールサーバーの設定"));
  setAccessibleName(U("メールサーバーの設定"));

  pages_ = Named(new QTabWidget, "メールサーバーの設定");
  pages_->addTab(MakeGeneralPage(), U("全般"));
  for (int i = 0; i < 3; ++i)
    pages_->addTab(MakeAccountPage(i), U(kAccountTabs[i]));
  pages_->addTab(MakeSendPage(), U("送信"));
  connect(pages_, &QTabWidget::currentChanged, this, [this] {
    if (services_.cues) services_.cues->Play("c1");
  });

  auto* buttons =
      new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  Named(buttons->button(QDialogButtonBox::Ok), "OK");
  Named(buttons->button(QDialogButtonBox::Cancel), "キャンセル");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* root = new QVBoxLayout(this);
  root->addWidget(pages_);
  root->addWidget(buttons);
  Load();
  if (services_.cues) services_.cues->Play("ope");
}

QWidget* MailSettingsWindow::MakeGeneralPage() {
  auto* page = new QWidget;
  auto_check_ = Named(new QCheckBox(U("受信メールを定期的にチェックする。")),
                      "受信メールを定期的にチェックする。");
  interval_ = NamedNumberBox("分間隔", 1, 300);
  mailer_ = NamedLine("起動メーラー");
  auto* mailer_button = NamedButton("...", "起動メーラーを選ぶ");
  connect(mailer_button, &QPushButton::clicked, this,
          &MailSettingsWindow::ChooseMailer);
  auto* sound_group = new QGroupBox(U("メール着信ｻｳﾝﾄﾞ"));
  sound_label_ = Named(new QLabel, "メール着信ｻｳﾝﾄﾞ");
  auto* sound_button = NamedButton("...", "メール着信ｻｳﾝﾄﾞを選ぶ");
  connect(sound_button, &QPushButton::clicked, this,
          &MailSettingsWindow::ChooseSound);
  auto* sound_row = new QHBoxLayout(sound_group);
  sound_row->addWidget(sound_label_, 1);
  sound_row->addWidget(sound_button);

  auto* interval_row = new QHBoxLayout;
  interval_row->addWidget(interval_);
  interval_row->addWidget(new QLabel(U("分間隔")));
  interval_row->addStretch(1);
  auto* mailer_row = new QHBoxLayout;
  mailer_row->addWidget(new QLabel(U("起動メーラー")));
  mailer_row->addWidget(mailer_, 1);
  mailer_row->addWidget(mailer_button);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(auto_check_);
  layout->addLayout(interval_row);
  layout->addLayout(mailer_row);
  layout->addWidget(sound_group);
  layout->addStretch(1);
  return page;
}

QWidget* MailSettingsWindow::MakeAccountPage(int i) {
  AccountPage& a = accounts_[i];
  auto* page = new QWidget;
  auto* group = new QGroupBox(U(kAccountGroups[i]));
  a.name = NamedLine("名前");
  a.server = NamedLine("POP3");
  a.user = NamedLine("ユーザー");
  a.password = NamedLine("パスワード");
  a.password->setEchoMode(QLineEdit::Password);
  a.port = NamedLine("Port");
  a.port->setMaxLength(5);
  a.security = SecurityBox(false);
  a.check = Named(new QCheckBox(U("チェックする。")), "チェックする。");
  a.outcome = Named(new QLabel, "前回の結果");
  auto* form = new QFormLayout(group);
  form->addRow(U("名前"), a.name);
  form->addRow(U("POP3"), a.server);
  form->addRow(U("ユーザー"), a.user);
  form->addRow(U("パスワード"), a.password);
  form->addRow(U("Port"), a.port);
  form->addRow(U("暗号化"), a.security);
  form->addRow(a.check);
  form->addRow(U("前回の結果"), a.outcome);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(group);
  layout->addStretch(1);
  return page;
}

QWidget* MailSettingsWindow::MakeSendPage() {
  SendPage& s = send_;
  auto* page = new QWidget;
  auto* group = new QGroupBox(U("ポップアップスケジュール送信"));
  s.server = NamedLine("SMTP");
  s.port = NamedLine("Port");
  s.port->setMaxLength(5);
  s.to = NamedLine("メールアドレス（To）");
  s.from = NamedLine("メールアドレス（From）");
  s.security = SecurityBox(true);
  s.user = NamedLine("ユーザー");
  s.password = NamedLine("パスワード");
  s.password->setEchoMode(QLineEdit::Password);
  s.agree = Named(new QCheckBox(U("同意して使用する。")), "同意して使用する。");
  auto* form = new QFormLayout(group);
  form->addRow(U("SMTP"), s.server);
  form->addRow(U("Port"), s.port);
  form->addRow(U("メールアドレス（To）"), s.to);
  form->addRow(U("メールアドレス（From）"), s.from);
  form->addRow(U("暗号化"), s.security);
  form->addRow(U("ユーザー"), s.user);
  form->addRow(U("パスワード"), s.password);
  form->addRow(new QLabel(U("※いたずら目的に使用しないでください。")));
  form->addRow(new QLabel(
      U("必ず自分の使用するサーバーおよびアドレスを指定してください。")));
  form->addRow(s.agree);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(group);
  layout->addStretch(1);
  return page;
}

void MailSettingsWindow::Load() {
  Settings s = services_.settings->Open();
  auto_check_->setChecked(s.ReadBool("pop", "check", false));
  interval_->setValue(s.ReadInteger("pop", "min", 60));
  mailer_->setText(Q(s.ReadString("pop", "pop1_program", "")));
  sound_label_->setText(Q(s.ReadString("pop", "sound", "")));
  QPointer<MailSettingsWindow> self(this);
  for (int i = 0; i < 3; ++i) {
    AccountPage& a = accounts_[i];
    const std::string n = "pop" + std::to_string(i + 1);
    a.name->setText(Q(s.ReadString("pop", n + "_name", "")));
    a.server->setText(Q(s.ReadString("pop", n + "_server", "")));
    a.user->setText(Q(s.ReadString("pop", n + "_user", "")));
    a.port->setText(Q(s.ReadString("pop", n + "_port", "110")));
    a.security->setCurrentIndex(
        std::clamp(s.ReadInteger("pop", n + "_security", 0), 0, 3));
    a.check->setChecked(s.ReadBool("pop", n + "_check", false));
    a.outcome->setText(Q(MailOutcomeText(
        last_outcome_ ? last_outcome_(i + 1) : MailOutcome::kNotRun)));
    secrets_.Read(n, [self, i](std::optional<std::string> password) {
      if (!self) return;
      AccountPage& page = self->accounts_[i];
      page.loaded_password = password.value_or("");
      page.password->setText(Q(page.loaded_password));
    });
  }
  send_.server->setText(Q(s.ReadString("smtp", "smtp_server", "")));
  send_.port->setText(Q(s.ReadString("smtp", "smtp_port", "25")));
  send_.to->setText(Q(s.ReadString("smtp", "smtp_mailaddr", "")));
  send_.from->setText(Q(s.ReadString("smtp", "smtp_fromaddr", "")));
  send_.security->setCurrentIndex(
      std::clamp(s.ReadInteger("smtp", "smtp_security", 0), 0, 3));
  send_.user->setText(Q(s.ReadString("smtp", "smtp_user", "")));
  send_.agree->setChecked(s.ReadBool("smtp", "smtp_check", false));
  secrets_.Read("smtp", [self](std::optional<std::string> password) {
    if (!self) return;
    self->send_.loaded_password = password.value_or("");
    self->send_.password->setText(Q(self->send_.loaded_password));
  });
}

void MailSettingsWindow::accept() {
  services_.settings->Batch([this](SettingsBatch& b) {
    b.WriteBool("pop", "check", auto_check_->isChecked());
    b.WriteInteger("pop", "min", interval_->value());
    b.WriteString("pop", "pop1_program", S(mailer_->text()));
    b.WriteString("pop", "sound", S(sound_label_->text()));
    for (int i = 0; i < 3; ++i) {
      const AccountPage& a = accounts_[i];
      const std::string n = "pop" + std::to_string(i + 1);
      b.WriteString("pop", n + "_name", S(a.name->text()));
      b.WriteString("pop", n + "_server", S(a.server->text().trimmed()));
      b.WriteString("pop", n + "_user", S(a.user->text()));
      b.WriteString("pop", n + "_port", S(a.port->text().trimmed()));
      b.WriteInteger("pop", n + "_security", a.security->currentIndex());
      b.WriteBool("pop", n + "_check", a.check->isChecked());
    }
    b.WriteString("smtp", "smtp_server", S(send_.server->text().trimmed()));
    b.WriteString("smtp", "smtp_port", S(send_.port->text().trimmed()));
    b.WriteString("smtp", "smtp_mailaddr", S(send_.to->text().trimmed()));
    b.WriteString("smtp", "smtp_fromaddr", S(send_.from->text().trimmed()));
    b.WriteInteger("smtp", "smtp_security", send_.security->currentIndex());
    b.WriteString("smtp", "smtp_user", S(send_.user->text()));
    b.WriteBool("smtp", "smtp_check", send_.agree->isChecked());
  });
  // Passwords only when changed, each to the store in one piece.
  for (int i = 0; i < 3; ++i) {
    const std::string password = S(accounts_[i].password->text());
    if (password != accounts_[i].loaded_password) {
      secrets_.Write("pop" + std::to_string(i + 1), password, {});
    }
  }
  const std::string smtp_password = S(send_.password->text());
  if (smtp_password != send_.loaded_password) {
    secrets_.Write("smtp", smtp_password, {});
  }
  QDialog::accept();
}

void MailSettingsWindow::done(int result) {
  if (services_.cues) services_.cues->Play("clo");
  QDialog::done(result);
}

void MailSettingsWindow::ChooseMailer() {
  const CommandText current = SplitCommandText(S(mailer_->text()));
  QString start;
  if (!current.file.empty() && QFileInfo::exists(Q(current.file))) {
    start = Q(current.file);
  }
  auto* dialog = new QFileDialog(this, U("起動メーラー"), start);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setFileMode(QFileDialog::ExistingFile);
  if (!start.isEmpty()) dialog->selectFile(start);
  QPointer<MailSettingsWindow> self(this);
  connect(dialog, &QFileDialog::fileSelected, this,
          [self](const QString& file) {
            if (self) self->mailer_->setText(file);
          });
  dialog->open();
}

void MailSettingsWindow::ChooseSound() {
  if (!services_.sound) return;
  auto* dialog =
      new SoundChooserDialog(*services_.sound, sound_label_->text(), this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  QPointer<MailSettingsWindow> self(this);
  QPointer<SoundChooserDialog> chooser(dialog);
  connect(dialog, &QDialog::accepted, this, [self, chooser] {
    if (!self || !chooser) return;
    const QString path = chooser->SelectedPath();
    if (!path.isEmpty()) self->sound_label_->setText(path);
  });
  dialog->open();
}

}  // namespace mirokata
