#include "richtext/ui/rich_text_tool_bar.h"

#include <QAction>
#include <QActionGroup>
#include <QColorDialog>
#include <QEvent>
#include <QFontComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QToolButton>

#include "base/settings_file.h"
#include "platform/color/color_value.h"
#include "richtext/color_history.h"
#include "richtext/text_document_rtf_qt.h"
#include "richtext/ui/rich_text_editor.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

QIcon SwatchIcon(const QColor& color) {
  QPixmap pixmap(12, 12);
  pixmap.fill(color);
  QPainter painter(&pixmap);
  painter.setPen(Qt::gray);
  painter.drawRect(0, 0, 11, 11);
  return QIcon(pixmap);
}

RichListStyle StyleOfList(const QTextList* list) {
  return list == nullptr ? RichListStyle::kNone : ListStyleOf(list->format());
}

}  // namespace

void ToggleList(QTextCursor cursor, RichListStyle style) {
  QTextList* current = cursor.currentList();
  const bool remove = current != nullptr && StyleOfList(current) == style;
  cursor.beginEditBlock();
  if (remove || style == RichListStyle::kNone) {
    QTextDocument* doc = cursor.document();
    QTextBlock block = doc->findBlock(cursor.selectionStart());
    const QTextBlock last = doc->findBlock(cursor.selectionEnd());
    while (block.isValid()) {
      // Out of the list the text goes back to the block's own margins,
      // where it was before the list's hang.
      if (QTextList* list = block.textList()) {
        list->remove(block);
        QTextBlockFormat plain = block.blockFormat();
        plain.setIndent(0);
        QTextCursor(block).setBlockFormat(plain);
      }
      if (block == last) break;
      block = block.next();
    }
  } else {
    cursor.createList(ListFormatFor(style));
  }
  cursor.endEditBlock();
}

RichTextToolBar::RichTextToolBar(SettingsFile* settings, QWidget* parent)
    : QToolBar(parent), settings_(settings) {
  setAccessibleName(U("書式"));
  setToolTip(U("文字を修飾します。"));
  face_ = new QFontComboBox(this);
  face_->setAccessibleName(U("フォント名"));
  face_->setToolTip(U("フォント名"));
  addWidget(face_);
  size_ = new QSpinBox(this);
  size_->setRange(1, 999);
  size_->setAccessibleName(U("フォントサイズ"));
  size_->setToolTip(U("フォントサイズ"));
  addWidget(size_);

  bold_ = AddToggle("B", "太字", QKeySequence::Bold);
  italic_ = AddToggle("I", "斜体", QKeySequence::Italic);
  underline_ = AddToggle("U", "下線", QKeySequence::Underline);
  strike_ = AddToggle("S", "取り消し線");
  addSeparator();
  color_ = addAction(U("A"));
  color_->setToolTip(U("文字の色を指定"));
  widgetForAction(color_)->setAccessibleName(U("文字の色を指定"));
  for (size_t i = 0; i < swatches_.size(); ++i) {
    auto* swatch = new QToolButton(this);
    const QString name = U("色選択の履歴") + QString::number(i + 1);
    swatch->setAccessibleName(name);
    swatch->setToolTip(U("色選択の履歴"));
    swatch->setAutoRaise(true);
    swatch->setIconSize(QSize(12, 12));
    swatch_actions_[i] = addWidget(swatch);
    swatches_[i] = swatch;
    connect(swatch, &QToolButton::clicked, this, [this, i] {
      if (swatch_colors_[i].isValid()) ApplyTextColor(swatch_colors_[i]);
    });
  }
  addSeparator();
  bullet_ = AddToggle("•", "箇条書き");
  numbered_ = AddToggle("1.", "段落番号");
  addSeparator();
  alignment_ = new QActionGroup(this);
  left_ = AddToggle("≡←", "左揃え");
  center_ = AddToggle("≡", "中央揃え");
  right_ = AddToggle("→≡", "右揃え");
  for (QAction* a : {left_, center_, right_}) alignment_->addAction(a);
  outdent_ = addAction(U("⇤"));
  outdent_->setToolTip(U("インデントを減らす"));
  widgetForAction(outdent_)->setAccessibleName(U("インデントを減らす"));
  indent_ = addAction(U("⇥"));
  indent_->setToolTip(U("インデントを増やす"));
  widgetForAction(indent_)->setAccessibleName(U("インデントを増やす"));

  connect(face_, &QFontComboBox::currentFontChanged, this,
          [this](const QFont& font) {
            QTextCharFormat f;
            f.setFontFamilies({font.family()});
            MergeFormat(f);
          });
  connect(size_, &QSpinBox::valueChanged, this, [this](int points) {
    QTextCharFormat f;
    f.setFontPointSize(points);
    MergeFormat(f);
  });
  connect(bold_, &QAction::triggered, this, [this](bool on) {
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    MergeFormat(f);
  });
  connect(italic_, &QAction::triggered, this, [this](bool on) {
    QTextCharFormat f;
    f.setFontItalic(on);
    MergeFormat(f);
  });
  connect(underline_, &QAction::triggered, this, [this](bool on) {
    QTextCharFormat f;
    f.setFontUnderline(on);
    MergeFormat(f);
  });
  connect(strike_, &QAction::triggered, this, [this](bool on) {
    QTextCharFormat f;
    f.setFontStrikeOut(on);
    MergeFormat(f);
  });
  connect(color_, &QAction::triggered, this, &RichTextToolBar::ChooseTextColor);
  auto list_toggle = [this](RichListStyle style) {
    if (showing_ || !editor_) return;
    ToggleList(editor_->textCursor(), style);
    ShowCurrentFormat();
    emit FormatApplied();
  };
  connect(bullet_, &QAction::triggered, this,
          [list_toggle] { list_toggle(RichListStyle::kBullet); });
  connect(numbered_, &QAction::triggered, this,
          [list_toggle] { list_toggle(RichListStyle::kDecimal); });
  for (QAction* a : {left_, center_, right_}) {
    connect(a, &QAction::triggered, this, [this, a] {
      if (showing_ || !editor_) return;
      editor_->setAlignment(a == left_     ? Qt::AlignLeft
                            : a == center_ ? Qt::AlignHCenter
                                           : Qt::AlignRight);
      emit FormatApplied();
    });
  }
  connect(indent_, &QAction::triggered, this, [this] { SetIndent(1); });
  connect(outdent_, &QAction::triggered, this, [this] { SetIndent(-1); });

  // The inner boxes are what a screen reader lands on.
  face_->lineEdit()->setAccessibleName(U("フォント名"));
  if (auto* more = findChild<QToolButton*>("qt_toolbar_ext_button"))
    more->setAccessibleName(U("その他の書式"));

  RefreshColorHistory();
  UpdateEnabled();
}

QAction* RichTextToolBar::AddToggle(const char* glyph, const char* name,
                                    const QKeySequence& key) {
  QAction* action = addAction(U(glyph));
  action->setCheckable(true);
  action->setToolTip(U(name));
  if (!key.isEmpty()) action->setShortcut(key);
  widgetForAction(action)->setAccessibleName(U(name));
  return action;
}

QAction* RichTextToolBar::align_action(Qt::Alignment alignment) const {
  if (alignment & Qt::AlignHCenter) return center_;
  if (alignment & Qt::AlignRight) return right_;
  return left_;
}

void RichTextToolBar::SetEditor(RichTextEditor* editor) {
  for (const QMetaObject::Connection& c : editor_connections_) disconnect(c);
  editor_connections_.clear();
  editor_ = editor;
  if (editor != nullptr) {
    editor_connections_ = {
        connect(editor, &QTextEdit::cursorPositionChanged, this,
                &RichTextToolBar::ShowCurrentFormat),
        connect(editor, &QTextEdit::currentCharFormatChanged, this,
                &RichTextToolBar::ShowCurrentFormat),
        // Forgotten before the editor's own signals could reach a half
        // destroyed editor.
        connect(editor, &QObject::destroyed, this, [this] {
          for (const QMetaObject::Connection& c : editor_connections_)
            disconnect(c);
          editor_connections_.clear();
          editor_ = nullptr;
          UpdateEnabled();
        })};
  }
  ShowCurrentFormat();
}

void RichTextToolBar::UpdateEnabled() {
  const bool writable = editor_ && !editor_->isReadOnly();
  for (QAction* a : actions()) a->setEnabled(writable);
  for (size_t i = 0; i < swatches_.size(); ++i) {
    swatch_actions_[i]->setEnabled(writable && swatch_colors_[i].isValid());
  }
}

void RichTextToolBar::ShowCurrentFormat() {
  UpdateEnabled();
  if (!editor_) return;
  showing_ = true;
  const QTextCursor cursor = editor_->textCursor();
  const QTextCharFormat f = cursor.charFormat();
  const QFont font = f.font();
  const QStringList families = f.fontFamilies().toStringList();
  const QString family = families.isEmpty()
                             ? editor_->document()->defaultFont().family()
                             : families.front();
  face_->setCurrentFont(QFont(family));
  if (face_->currentText() != family) face_->setEditText(family);
  const double points = f.hasProperty(QTextFormat::FontPointSize)
                            ? f.fontPointSize()
                            : editor_->document()->defaultFont().pointSizeF();
  size_->setValue(int(points + 0.5));
  bold_->setChecked(font.bold());
  italic_->setChecked(font.italic());
  underline_->setChecked(font.underline());
  strike_->setChecked(font.strikeOut());
  const RichListStyle list = StyleOfList(cursor.currentList());
  bullet_->setChecked(list == RichListStyle::kBullet);
  numbered_->setChecked(list != RichListStyle::kNone &&
                        list != RichListStyle::kBullet);
  align_action(editor_->alignment())->setChecked(true);
  showing_ = false;
}

void RichTextToolBar::MergeFormat(const QTextCharFormat& format) {
  if (showing_ || !editor_ || editor_->isReadOnly()) return;
  // The selection when there is one, else what is typed next.
  editor_->mergeCurrentCharFormat(format);
  emit FormatApplied();
}

void RichTextToolBar::SetIndent(int step) {
  if (!editor_ || editor_->isReadOnly()) return;
  QTextCursor cursor = editor_->textCursor();
  QTextDocument* doc = editor_->document();
  cursor.beginEditBlock();
  QTextBlock block = doc->findBlock(cursor.selectionStart());
  const QTextBlock last = doc->findBlock(cursor.selectionEnd());
  while (block.isValid()) {
    QTextBlockFormat f = block.blockFormat();
    f.setIndent(std::max(0, f.indent() + step));
    QTextCursor(block).setBlockFormat(f);
    if (block == last) break;
    block = block.next();
  }
  cursor.endEditBlock();
  emit FormatApplied();
}

void RichTextToolBar::ApplyTextColor(const QColor& color) {
  if (!color.isValid()) return;
  QTextCharFormat f;
  f.setForeground(color);
  MergeFormat(f);
  if (settings_ != nullptr) RememberColor(*settings_, ValueFromColor(color));
  RefreshColorHistory();
}

void RichTextToolBar::ChooseTextColor() {
  if (color_dialog_) {
    color_dialog_->raise();
    return;
  }
  QColor current = Qt::black;
  if (editor_) {
    const QTextCharFormat f = editor_->textCursor().charFormat();
    current = f.hasProperty(QTextFormat::ForegroundBrush)
                  ? f.foreground().color()
                  : editor_->palette().color(QPalette::Text);
  }
  auto* dialog = new QColorDialog(current, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setAccessibleName(U("文字の色を指定"));
  connect(dialog, &QColorDialog::colorSelected, this,
          &RichTextToolBar::ApplyTextColor);
  color_dialog_ = dialog;
  dialog->open();
}

void RichTextToolBar::RefreshColorHistory() {
  std::vector<ColorValue> history = {kColorHistoryDefault};
  if (settings_ != nullptr) history = ReadColorHistory(settings_->Open());
  for (size_t i = 0; i < swatches_.size(); ++i) {
    swatch_colors_[i] =
        i < history.size() ? ColorFromValue(history[i]) : QColor();
    swatches_[i]->setIcon(
        swatch_colors_[i].isValid() ? SwatchIcon(swatch_colors_[i]) : QIcon());
  }
  UpdateEnabled();
}

void RichTextToolBar::changeEvent(QEvent* event) {
  // Another window may have chosen colours meanwhile.
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    RefreshColorHistory();
  QToolBar::changeEvent(event);
}

}  // namespace mirokata
