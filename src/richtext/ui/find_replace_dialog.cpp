#include "richtext/ui/find_replace_dialog.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "richtext/text_find.h"
#include "richtext/ui/rich_text_editor.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

QPushButton* Button(const char* caption, QWidget* parent) {
  auto* b = new QPushButton(U(caption), parent);
  b->setAccessibleName(U(caption));
  b->setToolTip(U(caption));
  b->setAutoDefault(false);
  return b;
}

const char* ObjectName(FindReplaceDialog::Mode mode) {
  return mode == FindReplaceDialog::Mode::kFind ? "mirokata-find-dialog"
                                                : "mirokata-replace-dialog";
}

}  // namespace

FindReplaceDialog* FindReplaceDialog::Open(RichTextEditor* editor, Mode mode) {
  // The editor owns its dialogs, so each editor searches on its own.
  auto* dialog = editor->findChild<FindReplaceDialog*>(
      ObjectName(mode), Qt::FindDirectChildrenOnly);
  if (dialog == nullptr) dialog = new FindReplaceDialog(editor, mode);
  if (mode == Mode::kFind) editor->line_find().Restart();
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
  dialog->find_box_->setFocus();
  dialog->find_box_->selectAll();
  return dialog;
}

FindReplaceDialog::FindReplaceDialog(RichTextEditor* editor, Mode mode)
    : QDialog(editor, Qt::Tool), editor_(editor), mode_(mode) {
  setObjectName(ObjectName(mode));
  setModal(false);
  const bool find = mode == Mode::kFind;
  setWindowTitle(U(find ? "検索" : "置換"));
  setAccessibleName(windowTitle());

  find_box_ = new QLineEdit(this);
  find_box_->setAccessibleName(U("検索する文字列"));
  find_box_->setToolTip(U("検索する文字列"));
  auto* form = new QFormLayout;
  form->addRow(U("検索する文字列:"), find_box_);
  find_next_ = Button("次を検索", this);
  find_next_->setDefault(true);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(find_next_);
  if (!find) {
    replace_box_ = new QLineEdit(this);
    replace_box_->setAccessibleName(U("置換後の文字列"));
    replace_box_->setToolTip(U("置換後の文字列"));
    form->addRow(U("置換後の文字列:"), replace_box_);
    replace_ = Button("置換して次に", this);
    replace_all_ = Button("すべて置換", this);
    buttons->addWidget(replace_);
    buttons->addWidget(replace_all_);
    connect(replace_, &QPushButton::clicked, this,
            &FindReplaceDialog::ReplaceOne);
    connect(replace_all_, &QPushButton::clicked, this,
            &FindReplaceDialog::ReplaceEvery);
  }
  QPushButton* cancel = Button("キャンセル", this);
  buttons->addWidget(cancel);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  connect(find_next_, &QPushButton::clicked, this,
          &FindReplaceDialog::FindNext);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(find_box_, &QLineEdit::returnPressed, this,
          &FindReplaceDialog::FindNext);
}

void FindReplaceDialog::Select(int position, int length) {
  QTextCursor cursor(editor_->document());
  cursor.setPosition(position);
  cursor.setPosition(position + length, QTextCursor::KeepAnchor);
  editor_->setTextCursor(cursor);
  editor_->ensureCursorVisible();
}

bool FindReplaceDialog::Writable() const {
  return editor_ && !editor_->isReadOnly();
}

void FindReplaceDialog::FindNext() {
  if (!editor_) return;
  const QString what = find_box_->text();
  if (mode_ == Mode::kFind) {
    if (auto hit = editor_->line_find().Next(*editor_->document(), what)) {
      Select(hit->position, hit->length);
      editor_->setFocus();
    }
    return;
  }
  if (auto hit = FindText(*editor_->document(), what)) {
    Select(hit->position, hit->length);
  } else {
    QApplication::beep();
  }
}

void FindReplaceDialog::ReplaceOne() {
  if (Writable()) {
    if (auto hit = ReplaceFirst(editor_->document(), find_box_->text(),
                                replace_box_->text())) {
      Select(hit->position, hit->length);
    }
  }
  accept();
}

void FindReplaceDialog::ReplaceEvery() {
  if (Writable()) {
    ReplaceAll(editor_->document(), find_box_->text(), replace_box_->text());
  }
  accept();
}

}  // namespace mirokata
