#include "mail/ui/mail_result_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "base/settings_file.h"
#include "platform/shell.h"
#include "platform/sound_cues.h"
#include "widgets/accessible_controls.h"
#include "widgets/stored_placement.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

constexpr char kSection[] = "pop";

}  // namespace

MailResultWindow::MailResultWindow(const Services& services,
                                   MailResultActions actions, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      services_(services),
      actions_(std::move(actions)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowTitle(U("pop3"));
  setAccessibleName(U("pop3"));
  setFocusPolicy(Qt::ClickFocus);
  setFixedSize(240, 50);

  icon_ = Named(new QLabel, "メーラー起動", "ダブルクリックでメーラー起動");
  icon_->setFixedSize(32, 32);
  auto* text = new QVBoxLayout;
  text->setContentsMargins(0, 0, 0, 0);
  text->setSpacing(0);
  for (int i = 0; i < 3; ++i) {
    lines_[i] = new QLabel;
    lines_[i]->setAccessibleName(U("アカウント") + QString::number(i + 1));
    text->addWidget(lines_[i]);
  }
  auto* root = new QHBoxLayout(this);
  root->setContentsMargins(4, 2, 4, 2);
  root->addWidget(icon_);
  root->addLayout(text, 1);

  menu_ = new QMenu(this);
  menu_->addAction(U("メールチェック"), this, [this] {
    if (actions_.check) actions_.check();
  });
  menu_->addAction(U("メーラー起動"), this, [this] { StartMailer(); });
  menu_->addSeparator();
  menu_->addAction(U("メールの設定"), this, [this] {
    std::function<void()> open = actions_.open_settings;
    close();
    if (open) open();
  });
  menu_->addAction(U("閉じる(&C)"), this, &QWidget::close);

  PlaceAtStoredPosition(this, services_, kSection, false);
}

void MailResultWindow::SetLines(const std::array<std::string, 3>& lines) {
  for (int i = 0; i < 3; ++i) {
    lines_[i]->setText(QString::fromStdString(lines[i]));
  }
}

void MailResultWindow::ShowResults() {
  const std::string sound =
      services_.settings->ReadString(kSection, "sound", "");
  if (!sound.empty() && QFileInfo::exists(QString::fromStdString(sound)) &&
      services_.cues) {
    services_.cues->PlayFile(sound);
  } else if (services_.cues) {
    services_.cues->Play("rml");
  }
  const CommandText program = SplitCommandText(
      services_.settings->ReadString(kSection, "pop1_program", ""));
  const QFileInfo file(QString::fromStdString(program.file));
  QIcon icon = !program.file.empty() && file.exists()
                   ? QFileIconProvider().icon(file)
                   : QApplication::windowIcon();
  icon_->setPixmap(icon.pixmap(32, 32));
  show();
  raise();
}

void MailResultWindow::StartMailer() {
  std::function<void()> start = actions_.start_mailer;
  close();
  if (start) start();
}

void MailResultWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
  } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    StartMailer();
  } else {
    QWidget::keyPressEvent(event);
  }
}

void MailResultWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragging_ = true;
    drag_offset_ = event->globalPosition().toPoint() - pos();
  }
  QWidget::mousePressEvent(event);
}

void MailResultWindow::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && (event->buttons() & Qt::LeftButton)) {
    move(event->globalPosition().toPoint() - drag_offset_);
  }
  QWidget::mouseMoveEvent(event);
}

void MailResultWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  dragging_ = false;
  if (icon_->geometry().contains(event->position().toPoint())) {
    StartMailer();
  } else {
    close();
  }
}

void MailResultWindow::contextMenuEvent(QContextMenuEvent* event) {
  menu_->popup(event->globalPos());
}

void MailResultWindow::closeEvent(QCloseEvent* event) {
  StorePosition(this, services_, kSection);
  if (services_.cues) services_.cues->Play("clo");
  QWidget::closeEvent(event);
}

}  // namespace mirokata
