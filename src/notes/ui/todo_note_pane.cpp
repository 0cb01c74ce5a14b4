#include "notes/ui/todo_note_pane.h"

#include <QEvent>
#include <QTextDocument>

#include "richtext/ui/rich_text_editor.h"
#include "richtext/ui/rich_text_tool_bar.h"
#include "richtext/ui/ruler_widget.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

}  // namespace

TodoNotePane::TodoNotePane(SettingsFile* settings, QWidget* parent)
    : RichTextPane(settings, parent) {
  setAccessibleName(U("ToDoの内容"));
  // The board sets no paragraph indents.
  ruler()->hide();
  tool_bar()->setAccessibleName(U("書式"));
  tool_bar()->setStatusTip(U("文字を修飾します。"));
  // Hints show for the widget under the mouse, so each part carries one.
  for (QWidget* part : tool_bar()->findChildren<QWidget*>()) {
    part->setStatusTip(tool_bar()->statusTip());
  }
  RichTextEditor* text = editor();
  text->setAccessibleName(U("ToDoの内容"));
  text->setStatusTip(U("ToDoの内容を記述します。"));
  text->viewport()->setStatusTip(text->statusTip());
  text->installEventFilter(this);
  // A format applied where nothing is selected changes no text, yet the
  // note is to be written.
  connect(this, &RichTextPane::FormatChanged, this, [this] {
    if (editable()) editor()->document()->setModified(true);
  });
}

void TodoNotePane::LoadNote(std::string_view data) {
  editor()->SetDefaultFace(font().family(), font().pointSizeF());
  editor()->LoadRichText(data);
  SetReadOnly(false);
}

void TodoNotePane::ShowReadOnly(const QStringList& lines) {
  editor()->SetDefaultFace(font().family(), font().pointSizeF());
  editor()->LoadRichText({});
  editor()->setPlainText(lines.join(QLatin1Char('\n')));
  editor()->document()->clearUndoRedoStacks();
  editor()->document()->setModified(false);
  SetReadOnly(true);
}

std::string TodoNotePane::NoteRtf() const { return editor()->SaveRichText(); }

bool TodoNotePane::modified() const {
  return editor()->document()->isModified();
}

void TodoNotePane::MarkSaved() { editor()->document()->setModified(false); }

bool TodoNotePane::editable() const { return !editor()->isReadOnly(); }

bool TodoNotePane::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editor() && event->type() == QEvent::FocusOut) emit Left();
  return RichTextPane::eventFilter(watched, event);
}

}  // namespace mirokata
