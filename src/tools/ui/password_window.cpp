#include "tools/ui/password_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <array>
#include <string>

#include "base/folders.h"
#include "base/settings_file.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/sound_cues.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

const std::array<const char*, 5> kNotices = {
    "このパスワード機能はセキュリティとして機能しません。\rなぜなら、ある程度の"
    "知識を持った人なら簡単にパスワードを知ることができるからです。",
    "ですから、他のパスワードと同じパスワードを設定すると危険です。\r例えばe-"
    "mailと同じパスワードだったら、この設定ファイルから簡単に盗めてしまうからで"
    "す。\rもし同じにしてしまったら、ただちに変更することを強くお勧めします。",
    "また、データファイル自体も暗号化される訳ではありませんので直接なら参照でき"
    "ます。\r意味がないじゃないかって？そうですね。意味がありません。\rでは、何"
    "故この機能があるのでしょうか？",
    "それは、これだけでも第三者のアクセスを防げる場合があるからです。\r（Mirok"
    "ataユーザには無理ですが、家族などからは防げるかもしれません。）",
    "単なる牽制でしかなく、セキュリティとして機能しないことをご理解ください。\r"
    "簡単にパスワードが分かるということを忘れないでください。\r危険だというこ"
    "とを知っているのが、一番セキュリティが高いのです。\r中途半端なセキュリテ"
    "ィ機能しかないのにパスワードを設定したから安心だ\rと思うことが一番危ない事"
    "でしょう？",
};

QLineEdit* PasswordField(const char* name) {
  auto* field = new QLineEdit;
  field->setEchoMode(QLineEdit::Password);
  field->setAccessibleName(U(name));
  field->setToolTip(U(name));
  return field;
}

}  // namespace

PasswordWindow::PasswordWindow(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      services_(services) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowModality(Qt::ApplicationModal);
  setWindowTitle(U("Password?"));
  setAccessibleName(U("Password?"));
  Settings s = services_.settings->Open();
  stored_ = PasswordStored(s);

  password_ = PasswordField("Password:");
  open_ = new QPushButton(U("開く"));
  open_->setAccessibleName(U("開く"));
  auto* prompt_row = new QHBoxLayout;
  auto* prompt_label = new QLabel(U("Password:"));
  prompt_label->setBuddy(password_);
  prompt_row->addWidget(prompt_label);
  prompt_row->addWidget(password_, 1);
  prompt_row->addWidget(open_);

  auto* access = new QGroupBox(U("前回のアクセス"));
  auto* access_grid = new QGridLayout(access);
  const char* access_names[] = {"日記", "電話", "周期"};
  const LockedPart parts[] = {LockedPart::kDiary, LockedPart::kTelephone,
                              LockedPart::kPeriod};
  for (int i = 0; i < 3; ++i) {
    QLineEdit*& field = access_[int(parts[i])];
    field = new QLineEdit(QString::fromStdString(
        s.ReadString(kPasswordSection, AccessKey(parts[i]), kNoAccessText)));
    field->setReadOnly(true);
    field->setAccessibleName(U(access_names[i]));
    field->setStyleSheet(QStringLiteral("color: red"));
    access_grid->addWidget(new QLabel(U(access_names[i])), i, 0);
    access_grid->addWidget(field, i, 1);
  }

  auto* change = new QGroupBox(U("パスワードの設定"));
  auto* change_grid = new QGridLayout(change);
  current_ = PasswordField("現在のﾊﾟｽﾜｰﾄﾞ");
  new_ = PasswordField("新しいﾊﾟｽﾜｰﾄﾞ");
  again_ = PasswordField("再入力");
  QLineEdit* change_fields[] = {current_, new_, again_};
  const char* change_names[] = {"現在のﾊﾟｽﾜｰﾄﾞ", "新しいﾊﾟｽﾜｰﾄﾞ", "再入力"};
  for (int i = 0; i < 3; ++i) {
    auto* label = new QLabel(U(change_names[i]));
    label->setBuddy(change_fields[i]);
    change_grid->addWidget(label, i, 0);
    change_grid->addWidget(change_fields[i], i, 1);
  }
  telephone_ = new QCheckBox(U("簡易電話帳も対象"));
  telephone_->setAccessibleName(U("簡易電話帳も対象"));
  telephone_->setChecked(s.ReadBool(kPasswordSection, "tel", false));
  set_ = new QPushButton(U("設定"));
  set_->setAccessibleName(U("設定"));
  change_grid->addWidget(telephone_, 3, 0, 1, 2);
  change_grid->addWidget(set_, 4, 1, Qt::AlignRight);

  auto* root = new QVBoxLayout(this);
  root->addLayout(prompt_row);
  root->addWidget(access);
  root->addWidget(change);

  connect(password_, &QLineEdit::textChanged, this,
          &PasswordWindow::UpdateEnabling);
  connect(current_, &QLineEdit::textChanged, this,
          &PasswordWindow::UpdateEnabling);
  connect(open_, &QPushButton::clicked, this, &PasswordWindow::Open);
  connect(password_, &QLineEdit::returnPressed, this, &PasswordWindow::Open);
  connect(new_, &QLineEdit::returnPressed, again_,
          qOverload<>(&QWidget::setFocus));
  connect(again_, &QLineEdit::returnPressed, this,
          &PasswordWindow::SetPassword);
  connect(set_, &QPushButton::clicked, this, &PasswordWindow::SetPassword);

  // The lock keeps its own folder beside the data; never in the current
  // folder while none is chosen.
  const std::string data = DataFolder(s);
  if (!IsNoDataFolder(data)) {
    EnsureSubFolder(data, "Password", SubFolderMode("Password"),
                    *services_.messages, /*wait=*/false);
  }
  UpdateEnabling();
  setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
}

void PasswordWindow::UpdateEnabling() {
  password_->setEnabled(stored_);
  open_->setEnabled(stored_ && !password_->text().isEmpty());
  current_->setEnabled(stored_);
  const bool may_change = !stored_ || !current_->text().isEmpty();
  for (QWidget* w :
       {static_cast<QWidget*>(new_), static_cast<QWidget*>(again_),
        static_cast<QWidget*>(telephone_), static_cast<QWidget*>(set_)}) {
    w->setEnabled(may_change);
  }
}

void PasswordWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  if (services_.cues) services_.cues->Play("pas");
  if (password_->isEnabled()) {
    password_->setFocus();
  } else {
    new_->setFocus();
  }
}

void PasswordWindow::Open() {
  if (!password_->text().isEmpty()) close();
}

void PasswordWindow::closeEvent(QCloseEvent* event) {
  if (!finished_) {
    finished_ = true;
    emit Finished(password_->text());
  }
  QWidget::closeEvent(event);
}

void PasswordWindow::Refuse(const char* text) {
  hide();
  MessageRequest request(MessageKind::kError, text);
  const QPointer<PasswordWindow> self(this);
  services_.messages->Ask(request, [self](MessageAnswer) {
    if (self) self->close();
  });
}

void PasswordWindow::SetPassword() {
  if (!set_->isEnabled()) return;
  if (stored_ && !PasswordMatches(services_.settings->ReadString(
                                      kPasswordSection, "Password", ""),
                                  current_->text().toStdString())) {
    Refuse("パスワードが異なるので変更しませんでした。");
    return;
  }
  if (new_->text().isEmpty() || new_->text() != again_->text()) {
    Refuse("パスワードが不正なので変更しませんでした。");
    return;
  }
  if (!StorePassword(*services_.settings, new_->text().toStdString(),
                     telephone_->isChecked())) {
    // Never claim a change that is not on disk.
    Refuse("パスワードを保存できませんでした。");
    return;
  }
  stored_ = true;
  password_->setText(new_->text());
  set_->setEnabled(false);
  MessageRequest request(MessageKind::kInformation,
                         "パスワードを変更しました。");
  const QPointer<PasswordWindow> self(this);
  services_.messages->Ask(request, [self](MessageAnswer) {
    if (self) self->ShowNotice(0);
  });
}

void PasswordWindow::ShowNotice(size_t index) {
  if (index >= kNotices.size()) {
    close();
    return;
  }
  MessageRequest request(MessageKind::kError, kNotices[index]);
  const QPointer<PasswordWindow> self(this);
  services_.messages->Ask(request, [self, index](MessageAnswer) {
    if (self) self->ShowNotice(index + 1);
  });
}

PasswordGate::PasswordGate(const Services& services) : services_(services) {}

PasswordGate::~PasswordGate() {
  if (prompt_) {
    QObject::disconnect(prompt_, nullptr, nullptr, nullptr);
    delete prompt_.data();
  }
}

void PasswordGate::Check(LockedPart part, std::function<void()> go_on) {
  Waiting waiting{part, [go_on = std::move(go_on)](bool passed) {
                    if (passed) go_on();
                  }};
  if (!PartLocked(services_.settings->Open(), part)) {
    WriteAccessTime(*services_.settings, part, services_.clock->Now());
    waiting.done(true);
    return;
  }
  Ask(std::move(waiting));
}

void PasswordGate::Confirm(std::function<void(bool)> done) {
  Ask(Waiting{std::nullopt, std::move(done)});
}

void PasswordGate::Ask(Waiting waiting) {
  waiting_.push_back(std::move(waiting));
  if (prompt_) {
    prompt_->raise();
    prompt_->activateWindow();
    return;
  }
  prompt_ = new PasswordWindow(services_);
  QObject::connect(prompt_, &PasswordWindow::Finished, prompt_,
                   [this](const QString& typed) { Answered(typed); });
  prompt_->show();
}

void PasswordGate::Answered(const QString& typed) {
  // The prompt is closing: a request made from a callback below gets a new
  // one.
  prompt_.clear();
  std::vector<Waiting> waiting;
  waiting.swap(waiting_);
  const bool passed = CheckPassword(*services_.settings, typed.toStdString());
  if (!passed) {
    MessageRequest request(MessageKind::kWarning, kWrongPasswordMessage,
                           MessageButtons::kCancel);
    request.default_answer = MessageAnswer::kCancel;
    services_.messages->ShowNotice(request);
  }
  for (Waiting& w : waiting) {
    if (passed && w.part) {
      WriteAccessTime(*services_.settings, *w.part, services_.clock->Now());
    }
    w.done(passed);
  }
}

}  // namespace mirokata
