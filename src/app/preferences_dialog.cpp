#include "app/preferences_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/autostart.h"
#include "base/folders.h"
#include "base/settings_file.h"
#include "platform/messages.h"
#include "platform/sound_cues.h"

namespace mirokata {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// An OK-only box over the dialog.
void Tell(Messages& messages, MessageKind kind, const char* text,
          QWidget* parent) {
  MessageRequest request;
  request.kind = kind;
  request.text = text;
  request.parent = parent;
  messages.Show(request);
}

QString DefaultChooser(QWidget* parent, const QString& start) {
  // Qt's own dialog lets the user type a path and make a new folder.
  return QFileDialog::getExistingDirectory(
      parent, QString::fromUtf8("フォルダの選択"), start,
      QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

}  // namespace

PreferencesDialog::PreferencesDialog(const Services& context, QWidget* parent)
    // A close button and no more: the dialog is not one to minimise or
    // maximise.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      context_(context),
      chooser_(DefaultChooser) {
  setWindowTitle(QString::fromUtf8("Mirokata 環境設定"));

  auto* folders = new QGroupBox(QString::fromUtf8("データの保存先"));
  auto* grid = new QGridLayout(folders);
  data_folder_ = new QLineEdit;
  data_folder_->setReadOnly(true);
  data_folder_->setMinimumWidth(280);
  auto* data_button = new QPushButton(QString::fromUtf8("参照..."));
  privacy_folder_ = new QLineEdit;
  privacy_folder_->setReadOnly(true);
  privacy_button_ = new QPushButton(QString::fromUtf8("参照..."));
  grid->addWidget(new QLabel(QString::fromUtf8("データフォルダ")), 0, 0);
  grid->addWidget(data_folder_, 0, 1);
  grid->addWidget(data_button, 0, 2);
  grid->addWidget(new QLabel(QString::fromUtf8("プライバシーフォルダ")), 1, 0);
  grid->addWidget(privacy_folder_, 1, 1);
  grid->addWidget(privacy_button_, 1, 2);

  auto* startup = new QGroupBox(QString::fromUtf8("拡張設定"));
  auto* startup_layout = new QVBoxLayout(startup);
  today_pop_ = new QCheckBox(QString::fromUtf8("起動時にｽｹｼﾞｭｰﾙ一覧を表示"));
  todo_pop_ = new QCheckBox(QString::fromUtf8("起動時にTodoボードを表示"));
  autostart_ = new QCheckBox(QString::fromUtf8("ログイン時に起動する"));
  startup_layout->addWidget(today_pop_);
  startup_layout->addWidget(todo_pop_);
  startup_layout->addWidget(autostart_);
  lock_ = new QCheckBox(QString::fromUtf8("パスワード機能を使う。"));
  startup_layout->addWidget(lock_);

  auto* close = new QPushButton(QString::fromUtf8("閉じる"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(folders);
  layout->addWidget(startup);
  layout->addLayout(buttons);

  connect(data_button, &QPushButton::clicked, this,
          &PreferencesDialog::ChooseDataFolder);
  connect(privacy_button_, &QPushButton::clicked, this,
          &PreferencesDialog::ChoosePrivacyFolder);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  // The dialog has no OK button: every change is written at once.
  connect(today_pop_, &QCheckBox::toggled, this, &PreferencesDialog::Save);
  connect(todo_pop_, &QCheckBox::toggled, this, &PreferencesDialog::Save);
  connect(autostart_, &QCheckBox::toggled, this,
          &PreferencesDialog::SaveAutostart);
  connect(lock_, &QCheckBox::toggled, this, &PreferencesDialog::ToggleLock);
  Load();
  PlayCue("ope");
}

void PreferencesDialog::Load() {
  Settings s = context_.settings->Open();
  const std::string data = DataFolder(s);
  const bool chosen = !IsNoDataFolder(data);
  data_folder_->setText(Q(data));
  privacy_folder_->setText(chosen ? Q(PrivacyFolder(s)) : QString());
  privacy_button_->setEnabled(chosen);
  const QSignalBlocker block_today(today_pop_), block_todo(todo_pop_);
  today_pop_->setChecked(s.ReadBool("Form", "Today_pop", false));
  todo_pop_->setChecked(s.ReadBool("Form", "Todo_pop", false));
  today_pop_->setEnabled(chosen);
  todo_pop_->setEnabled(chosen);
  // Not a setting of the program's own: the desktop's autostart folder
  // says whether it starts at login.
  const QSignalBlocker block_autostart(autostart_);
  autostart_->setChecked(AutostartEnabled());
  const QSignalBlocker block_lock(lock_);
  lock_->setChecked(s.ReadBool("Password", "Use", false));
}

void PreferencesDialog::ToggleLock(bool wanted) {
  // The box shows the stored state until the password has been given.
  {
    const QSignalBlocker block(lock_);
    lock_->setChecked(!wanted);
  }
  if (!confirm_) return;
  lock_->setEnabled(false);
  const QPointer<PreferencesDialog> self(this);
  confirm_([self, wanted](bool passed) {
    if (!self) return;
    self->lock_->setEnabled(true);
    if (!passed ||
        !self->context_.settings->WriteBool("Password", "Use", wanted)) {
      return;
    }
    const QSignalBlocker block(self->lock_);
    self->lock_->setChecked(wanted);
  });
}

bool PreferencesDialog::SaveAutostart() {
  std::string error;
  const bool on = autostart_->isChecked();
  if (SetAutostart(on, QCoreApplication::applicationFilePath().toStdString(),
                   &error)) {
    return true;
  }
  context_.messages->Warning("ログイン時の起動を設定できません。\r" + error,
                             this);
  const QSignalBlocker block(autostart_);
  autostart_->setChecked(!on);
  return false;
}

bool PreferencesDialog::Save() {
  // The dialog's switches in one batch: one rewrite of the file, and a
  // kill never leaves some of them old and some new.
  return context_.settings->Batch([this](SettingsBatch& b) {
    b.WriteBool("Form", "Today_pop", today_pop_->isChecked());
    b.WriteBool("Form", "Todo_pop", todo_pop_->isChecked());
  });
}

void PreferencesDialog::ChooseDataFolder() {
  Messages& messages = *context_.messages;
  Tell(messages, MessageKind::kQuestion, kDataFolderNotice, this);
  QString start = data_folder_->text();
  if (IsNoDataFolder(start.toStdString())) {
    start = Q(context_.program_folder);
  }
  const QString picked = chooser_(this, start);
  if (picked.isEmpty()) return;
  Settings s = context_.settings->Open();
  DataFolderChoice choice = StoreChosenDataFolder(s, picked.toStdString());
  data_folder_->setText(Q(choice.stored));
  today_pop_->setEnabled(true);
  todo_pop_->setEnabled(true);
  if (choice.is_root) {
    Tell(messages, MessageKind::kInformation, kRootFolderWarning, this);
  }
  if (choice.privacy_follows) {
    privacy_folder_->setText(Q(choice.stored));
    privacy_button_->setEnabled(true);
  }
}

void PreferencesDialog::ChoosePrivacyFolder() {
  Tell(*context_.messages, MessageKind::kQuestion, kPrivacyFolderNotice, this);
  const QString picked = chooser_(this, privacy_folder_->text());
  if (picked.isEmpty()) return;
  Settings s = context_.settings->Open();
  privacy_folder_->setText(Q(StoreChosenPrivacyFolder(
      s, picked.toStdString(), data_folder_->text().toStdString())));
}

QString PreferencesDialog::shown_data_folder() const {
  return data_folder_->text();
}
QString PreferencesDialog::shown_privacy_folder() const {
  return privacy_folder_->text();
}
bool PreferencesDialog::privacy_button_enabled() const {
  return privacy_button_->isEnabled();
}
bool PreferencesDialog::startup_switches_enabled() const {
  return today_pop_->isEnabled() && todo_pop_->isEnabled();
}

void PreferencesDialog::closeEvent(QCloseEvent* event) {
  PlayCue("clo");
  event->accept();
}

void PreferencesDialog::PlayCue(const char* name) {
  if (context_.cues) context_.cues->Play(name);
}

}  // namespace mirokata
