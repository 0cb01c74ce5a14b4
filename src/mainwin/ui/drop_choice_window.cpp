#include "mainwin/ui/drop_choice_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "widgets/accessible_controls.h"

namespace mirokata {

DropChoiceWindow::DropChoiceWindow(const QString& title, int files,
                                   bool first_enabled, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint |
                          Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      second_choice_(files > 1 ? 3 : 2) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Drop") + QStringLiteral("-[") + title +
                 QStringLiteral("]"));
  setAccessibleName(windowTitle());
  if (files > 1) {
    first_ = NamedButton("最初のファイルのみ、このメモに読込",
                         "このメモに上書きされます。");
    second_ = NamedButton("全てのファイルを、新しいメモに読込",
                          "新しいメモを新規に開きます。");
  } else {
    first_ = NamedButton("このメモに読込", "このメモに上書きされます。");
    second_ = NamedButton("新しいメモに読込", "新しいメモを新規に開きます。");
  }
  cancel_ = NamedButton("キャンセル");
  first_->setEnabled(first_enabled);
  auto* layout = new QVBoxLayout(this);
  for (QPushButton* b : {first_, second_, cancel_}) layout->addWidget(b);
  connect(first_, &QPushButton::clicked, this, [this] { Choose(1); });
  connect(second_, &QPushButton::clicked, this,
          [this] { Choose(second_choice_); });
  connect(cancel_, &QPushButton::clicked, this, [this] { Choose(0); });
}

void DropChoiceWindow::Choose(int choice) {
  if (chosen_) return;
  chosen_ = true;
  choice_ = choice;
  emit Chosen(choice);
  close();
}

void DropChoiceWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    Choose(0);
    return;
  }
  QWidget::keyPressEvent(event);
}

void DropChoiceWindow::closeEvent(QCloseEvent* event) {
  if (!chosen_) {
    chosen_ = true;
    emit Chosen(0);
  }
  QWidget::closeEvent(event);
}

void DropChoiceWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (width() < 143) resize(230, height());
  if (const QScreen* s = screen()) {
    const QRect area = s->availableGeometry();
    QPoint at = pos();
    at.setX(std::max(area.left(), std::min(at.x(), area.right() - width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.bottom() - height())));
    move(at);
  }
}

}  // namespace mirokata
