// The formatting tool bar of the rich text editors: face, size, bold,
// italic, underline, strikeout, text colour with the colour history,
// bullets, numbered lists, alignment and indent.
#ifndef MIROKATA_RICHTEXT_UI_RICH_TEXT_TOOL_BAR_H_
#define MIROKATA_RICHTEXT_UI_RICH_TEXT_TOOL_BAR_H_

#include <QColor>
#include <QColorDialog>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QToolBar>
#include <array>

#include "richtext/rich_document.h"

class QActionGroup;

class QFontComboBox;
class QSpinBox;
class QToolButton;

namespace mirokata {

class RichTextEditor;
class SettingsFile;

// Toggles the paragraphs the cursor touches in or out of a list of that
// style: out when the first is in such a list already.
void ToggleList(QTextCursor cursor, RichListStyle style);

class RichTextToolBar : public QToolBar {
  Q_OBJECT

 public:
  // `settings` holds the colour history; without it the history is red.
  explicit RichTextToolBar(SettingsFile* settings, QWidget* parent = nullptr);

  // The editor the controls act on (none: all disabled). The bar follows
  // its caret and its read-only state.
  void SetEditor(RichTextEditor* editor);
  RichTextEditor* editor() const { return editor_; }

  // Applies a text colour to the selection (or what is typed next) and
  // puts it first in the history.
  void ApplyTextColor(const QColor& color);
  // Shows the stored history on the swatches.
  void RefreshColorHistory();
  // Shows the format at the caret without applying anything.
  void ShowCurrentFormat();

  QFontComboBox* face_box() const { return face_; }
  QSpinBox* size_box() const { return size_; }
  QAction* bold_action() const { return bold_; }
  QAction* italic_action() const { return italic_; }
  QAction* underline_action() const { return underline_; }
  QAction* strike_action() const { return strike_; }
  QAction* color_action() const { return color_; }
  QAction* bullet_action() const { return bullet_; }
  QAction* numbered_action() const { return numbered_; }
  QAction* align_action(Qt::Alignment alignment) const;
  QAction* indent_action() const { return indent_; }
  QAction* outdent_action() const { return outdent_; }
  QToolButton* swatch(int i) const { return swatches_[i]; }
  // The colour dialog while it is open.
  QColorDialog* color_dialog() const { return color_dialog_; }

 signals:
  // A control changed the text's format: the windows count it as an edit.
  void FormatApplied();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  QAction* AddToggle(const char* glyph, const char* name,
                     const QKeySequence& key = {});
  void MergeFormat(const QTextCharFormat& format);
  void ChooseTextColor();
  void SetIndent(int step);
  void UpdateEnabled();

  SettingsFile* settings_;
  QPointer<RichTextEditor> editor_;
  QList<QMetaObject::Connection> editor_connections_;
  QFontComboBox* face_;
  QSpinBox* size_;
  QAction* bold_;
  QAction* italic_;
  QAction* underline_;
  QAction* strike_;
  QAction* color_;
  std::array<QToolButton*, 5> swatches_{};
  std::array<QAction*, 5> swatch_actions_{};
  std::array<QColor, 5> swatch_colors_;
  QAction* bullet_;
  QAction* numbered_;
  QActionGroup* alignment_;
  QAction* left_;
  QAction* center_;
  QAction* right_;
  QAction* indent_;
  QAction* outdent_;
  QPointer<QColorDialog> color_dialog_;
  bool showing_ = false;  // showing the caret's format: apply nothing
};

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_UI_RICH_TEXT_TOOL_BAR_H_
