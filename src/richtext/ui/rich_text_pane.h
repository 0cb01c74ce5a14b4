// The editing pieces put together as the diary, the memos and the to-do
// board show them: the formatting tool bar, the ruler and the editor, one
// above the other. Each piece also works alone.
#ifndef MIROKATA_RICHTEXT_UI_RICH_TEXT_PANE_H_
#define MIROKATA_RICHTEXT_UI_RICH_TEXT_PANE_H_

#include <QWidget>

namespace mirokata {

class RichTextEditor;
class RichTextToolBar;
class RulerWidget;
class SettingsFile;

class RichTextPane : public QWidget {
  Q_OBJECT

 public:
  // `settings` holds the colour history (may be null).
  explicit RichTextPane(SettingsFile* settings, QWidget* parent = nullptr);

  RichTextEditor* editor() const { return editor_; }
  RichTextToolBar* tool_bar() const { return tool_bar_; }
  RulerWidget* ruler() const { return ruler_; }

  // Read-only text: the tool bar and the ruler do nothing.
  void SetReadOnly(bool read_only);

 signals:
  // The tool bar or the ruler changed the text's format.
  void FormatChanged();

 private:
  RichTextEditor* editor_;
  RichTextToolBar* tool_bar_;
  RulerWidget* ruler_;
};

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_UI_RICH_TEXT_PANE_H_
