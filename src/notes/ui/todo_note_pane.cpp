#include "notes/ui/todo_note_pane.h"

#include <QColorDialog>
#include <QEvent>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPixmap>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <QToolButton>
#include <QVBoxLayout>
#include <string>

#include "base/settings_file.h"
#include "platform/color/color_value.h"
#include "richtext/text_document_rtf_qt.h"
#include "widgets/accessible_controls.h"

namespace mirokata {
namespace {

constexpr char kColourSection[] = "Nikki";
constexpr ColorValue kDefaultSwatch = kClRed;

QString U(const char* text) { return QString::fromUtf8(text); }

QToolButton* Toggle(const char* caption, QWidget* parent) {
  auto* button = Named(new QToolButton(parent), caption);
  button->setText(U(caption));
  button->setCheckable(true);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

QIcon Swatch(const QColor& colour) {
  QPixmap pixmap(14, 14);
  pixmap.fill(colour);
  return QIcon(pixmap);
}

}  // namespace

TodoNotePane::TodoNotePane(SettingsFile* settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
  setAccessibleName(U("ToDoの内容"));
  tool_bar_ = new QWidget(this);
  tool_bar_->setAccessibleName(U("書式"));
  tool_bar_->setStatusTip(U("文字を修飾します。"));
  auto* bar = new QHBoxLayout(tool_bar_);
  bar->setContentsMargins(0, 0, 0, 0);
  bar->setSpacing(2);
  bold_ = Toggle("太字", tool_bar_);
  italic_ = Toggle("斜体", tool_bar_);
  underline_ = Toggle("下線", tool_bar_);
  strike_ = Toggle("消し線", tool_bar_);
  bullet_ = Toggle("箇条書き", tool_bar_);
  colour_ = Named(new QToolButton(tool_bar_), "文字の色", "文字の色を指定");
  colour_->setText(U("色"));
  colour_->setFocusPolicy(Qt::NoFocus);
  for (QToolButton* b :
       {bold_, italic_, underline_, strike_, bullet_, colour_}) {
    bar->addWidget(b);
  }
  for (size_t i = 0; i < swatches_.size(); ++i) {
    const std::string name = "色選択の履歴" + std::to_string(i + 1);
    swatches_[i] = Named(new QToolButton(tool_bar_), name.c_str());
    swatches_[i]->setToolTip(U("色選択の履歴"));
    swatches_[i]->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(swatches_[i]);
    connect(swatches_[i], &QToolButton::clicked, this, [this, i] {
      QTextCharFormat format;
      format.setForeground(history_[i]);
      Apply(format);
    });
  }
  font_ = Named(new QFontComboBox(tool_bar_), "フォント", "文字の種類を指定");
  size_ = NamedNumberBox("文字のサイズ", 1, 999);
  size_->setToolTip(U("文字のサイズを指定"));
  bar->addWidget(font_, 1);
  bar->addWidget(size_);

  // Hints show for the widget under the mouse, so each part carries one.
  for (QWidget* part : tool_bar_->findChildren<QWidget*>()) {
    part->setStatusTip(tool_bar_->statusTip());
  }
  text_ = Named(new QTextEdit(this), "ToDoの内容");
  text_->setStatusTip(U("ToDoの内容を記述します。"));
  text_->viewport()->setStatusTip(text_->statusTip());
  text_->setAcceptRichText(false);
  text_->installEventFilter(this);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 0, 6, 0);
  layout->addWidget(tool_bar_);
  layout->addWidget(text_, 1);

  auto style = [this](QToolButton* button, auto set) {
    connect(button, &QToolButton::clicked, this, [this, set](bool on) {
      if (showing_) return;
      QTextCharFormat format;
      set(format, on);
      Apply(format);
    });
  };
  style(bold_, [](QTextCharFormat& f, bool on) {
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
  });
  style(italic_, [](QTextCharFormat& f, bool on) { f.setFontItalic(on); });
  style(underline_,
        [](QTextCharFormat& f, bool on) { f.setFontUnderline(on); });
  style(strike_, [](QTextCharFormat& f, bool on) { f.setFontStrikeOut(on); });
  connect(bullet_, &QToolButton::clicked, this, [this](bool on) {
    QTextCursor cursor = text_->textCursor();
    if (on) {
      cursor.createList(QTextListFormat::ListDisc);
    } else if (QTextList* list = cursor.currentList()) {
      QTextBlockFormat block = cursor.blockFormat();
      list->remove(cursor.block());
      block.setIndent(0);
      block.setObjectIndex(-1);
      cursor.setBlockFormat(block);
    }
  });
  connect(font_, &QFontComboBox::currentFontChanged, this,
          [this](const QFont& font) {
            if (showing_) return;
            QTextCharFormat format;
            format.setFontFamilies({font.family()});
            Apply(format);
          });
  connect(size_, &QSpinBox::valueChanged, this, [this](int points) {
    if (showing_) return;
    QTextCharFormat format;
    format.setFontPointSize(points);
    Apply(format);
  });
  connect(colour_, &QToolButton::clicked, this, [this] {
    auto* dialog = new QColorDialog(text_->textColor(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The colour applies whether the dialog was cancelled or not.
    connect(dialog, &QDialog::finished, this, [this, dialog](int result) {
      ChooseColour(result == QDialog::Accepted ? dialog->selectedColor()
                                               : dialog->currentColor());
    });
    dialog->open();
  });
  connect(text_, &QTextEdit::currentCharFormatChanged, this,
          &TodoNotePane::ShowFormat);
  connect(text_, &QTextEdit::cursorPositionChanged, this,
          &TodoNotePane::ShowFormat);
  RefreshSwatches();
  ShowFormat();
}

void TodoNotePane::Apply(const QTextCharFormat& format) {
  // The selection, or what typing goes on with.
  QTextCursor cursor = text_->textCursor();
  if (cursor.hasSelection()) cursor.mergeCharFormat(format);
  text_->mergeCurrentCharFormat(format);
}

void TodoNotePane::ShowFormat() {
  showing_ = true;
  const QTextCharFormat format = text_->currentCharFormat();
  bold_->setChecked(format.fontWeight() >= QFont::Bold);
  italic_->setChecked(format.fontItalic());
  underline_->setChecked(format.fontUnderline());
  strike_->setChecked(format.fontStrikeOut());
  bullet_->setChecked(text_->textCursor().currentList() != nullptr);
  const QFont font = format.font();
  font_->setCurrentFont(font);
  const double points =
      format.fontPointSize() > 0 ? format.fontPointSize() : font.pointSizeF();
  size_->setValue(points > 0 ? int(points + 0.5) : 9);
  showing_ = false;
}

void TodoNotePane::RefreshSwatches() {
  Settings s = settings_->Open();
  for (size_t i = 0; i < history_.size(); ++i) {
    const std::string key = "Color" + std::to_string(i + 1);
    history_[i] = ColorFromValue(ColorValueFromInt(
        s.ReadInteger(kColourSection, key, ColorValueToInt(kDefaultSwatch))));
    swatches_[i]->setIcon(Swatch(history_[i]));
  }
}

void TodoNotePane::ChooseColour(const QColor& colour) {
  QTextCharFormat format;
  format.setForeground(colour);
  Apply(format);
  RefreshSwatches();
  std::array<QColor, 5> next;
  next[0] = colour;
  for (size_t i = 1; i < next.size(); ++i) next[i] = history_[i - 1];
  settings_->Open().Batch([&next](SettingsBatch& batch) {
    for (size_t i = 0; i < next.size(); ++i) {
      batch.WriteInteger(kColourSection, "Color" + std::to_string(i + 1),
                         ColorValueToInt(ValueFromColor(next[i])));
    }
  });
  RefreshSwatches();
}

void TodoNotePane::LoadNote(std::string_view data) {
  text_->setReadOnly(false);
  text_->clear();
  text_->setCurrentFont(font());
  if (!data.empty()) LoadRichText(data, text_->document());
  text_->moveCursor(QTextCursor::Start);
  text_->document()->setModified(false);
  ShowFormat();
}

void TodoNotePane::ShowReadOnly(const QStringList& lines) {
  text_->clear();
  text_->setCurrentFont(font());
  text_->setPlainText(lines.join(QLatin1Char('\n')));
  text_->setReadOnly(true);
  text_->document()->setModified(false);
  ShowFormat();
}

std::string TodoNotePane::NoteRtf() const {
  return SaveRichText(*text_->document());
}

bool TodoNotePane::modified() const { return text_->document()->isModified(); }

void TodoNotePane::MarkSaved() { text_->document()->setModified(false); }

bool TodoNotePane::editable() const { return !text_->isReadOnly(); }

bool TodoNotePane::eventFilter(QObject* watched, QEvent* event) {
  if (watched == text_ && event->type() == QEvent::FocusOut) emit Left();
  return QWidget::eventFilter(watched, event);
}

}  // namespace mirokata
