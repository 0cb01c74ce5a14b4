// The board's note editor: the shared rich text pane without its ruler,
// with the few calls the board makes to load, show and save a note.
#ifndef MIROKATA_NOTES_UI_TODO_NOTE_PANE_H_
#define MIROKATA_NOTES_UI_TODO_NOTE_PANE_H_

#include <QStringList>
#include <string>
#include <string_view>

#include "richtext/ui/rich_text_pane.h"

namespace mirokata {

class TodoNotePane : public RichTextPane {
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

 signals:
  // The text area lost the focus.
  void Left();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace mirokata

#endif  // MIROKATA_NOTES_UI_TODO_NOTE_PANE_H_
