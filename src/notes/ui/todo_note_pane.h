// The board's note editor: the formatting tool bar over a rich text box.
// The board talks to it through these few calls only, so another editor
// can take its place.
#ifndef MIROKATA_NOTES_UI_TODO_NOTE_PANE_H_
#define MIROKATA_NOTES_UI_TODO_NOTE_PANE_H_

#include <QColor>
#include <QStringList>
#include <QWidget>
#include <array>
#include <string>
#include <string_view>

class QFontComboBox;
class QSpinBox;
class QTextCharFormat;
class QTextEdit;
class QToolButton;

namespace mirokata {

class SettingsFile;

class TodoNotePane : public QWidget {
  Q_OBJECT

 public:
  // `settings` holds the colour history (`Nikki`/`Color1`..`Color5`).
  explicit TodoNotePane(SettingsFile* settings, QWidget* parent = nullptr);

  // An editable note from file data (RTF or plain text), unchanged.
  void LoadNote(std::string_view data);
  // An empty text area that takes no typing (a note that cannot be shown,
  // or a category); `lines` listed in the window's font.
  void ShowReadOnly(const QStringList& lines);
  std::string NoteRtf() const;
  bool modified() const;
  void MarkSaved();
  bool editable() const;

  QTextEdit* editor() const { return text_; }
  QWidget* tool_bar() const { return tool_bar_; }
  QToolButton* colour_button() const { return colour_; }
  QToolButton* swatch(int i) const { return swatches_[size_t(i)]; }

  // Reads the colour history again (the window was activated).
  void RefreshSwatches();
  // Applies a colour and puts it first in the history.
  void ChooseColour(const QColor& colour);

 signals:
  // The text area lost the focus.
  void Left();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Apply(const QTextCharFormat& format);
  void ShowFormat();

  SettingsFile* settings_;
  QWidget* tool_bar_;
  QTextEdit* text_;
  QToolButton* bold_;
  QToolButton* italic_;
  QToolButton* underline_;
  QToolButton* strike_;
  QToolButton* bullet_;
  QToolButton* colour_;
  std::array<QToolButton*, 5> swatches_{};
  std::array<QColor, 5> history_;
  QFontComboBox* font_;
  QSpinBox* size_;
  bool showing_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_NOTES_UI_TODO_NOTE_PANE_H_
