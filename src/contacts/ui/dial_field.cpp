#include "contacts/ui/dial_field.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QShortcut>
#include <QToolButton>

namespace mirokata {
namespace {

constexpr int kButtonSize = 24;

// The dial glyph: a handset, drawn.
QIcon DialIcon() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x20, 0x60, 0x20));
  painter.drawRoundedRect(QRectF(1, 1, 5, 6), 2, 2);
  painter.drawRoundedRect(QRectF(10, 9, 5, 6), 2, 2);
  QPen pen(QColor(0x20, 0x60, 0x20), 3);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawArc(QRectF(2, 2, 14, 14), 90 * 16, 90 * 16);
  return QIcon(pixmap);
}

}  // namespace

DialField::DialField(QWidget* parent) : QWidget(parent) {
  edit_ = new QLineEdit;
  edit_->setToolTip(QStringLiteral("電話番号を入力"));
  edit_->setAccessibleName(QStringLiteral("電話番号"));
  edit_->installEventFilter(this);
  button_ = new QToolButton;
  button_->setIcon(DialIcon());
  button_->setFixedSize(kButtonSize, kButtonSize);
  button_->setToolTip(QStringLiteral("電話をかけます。"));
  button_->setAccessibleName(QStringLiteral("電話をかけます。"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  layout->addWidget(edit_, 1);
  layout->addWidget(button_);
  setMinimumHeight(kButtonSize);
  setAccessibleName(QStringLiteral("ダイヤル"));
  connect(button_, &QToolButton::clicked, this, &DialField::Dial);
  auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this);
  shortcut->setContext(Qt::WindowShortcut);
  connect(shortcut, &QShortcut::activated, this, &DialField::Dial);
}

QString DialField::text() const { return edit_->text(); }
void DialField::setText(const QString& text) { edit_->setText(text); }

void DialField::Dial() {
  const QString name = name_source_ ? name_source_() : QString();
  dialling_ = true;
  emit DialRequested(edit_->text(), name);
}

bool DialField::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::FocusOut) {
    dialling_ = false;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace mirokata
