// The rich text editor of the diary, the memos and the to-do board.
#ifndef MIROKATA_RICHTEXT_UI_RICH_TEXT_EDITOR_H_
#define MIROKATA_RICHTEXT_UI_RICH_TEXT_EDITOR_H_

#include <QColor>
#include <QString>
#include <QStringList>
#include <QTextEdit>
#include <string>
#include <string_view>

#include "richtext/text_find.h"

class QMimeData;

namespace mirokata {

// Faces the documents name but the system lacks (the old default
// "ＭＳ Ｐゴシック" among them) are drawn with an installed face of the same
// kind; the document keeps the name it had. Once per face and process.
void SubstituteMissingFaces(const QStringList& families);

// A QTextEdit that loads and saves RTF through the program's codec, keeps
// the formatting of what is pasted (RTF through the same reader, HTML
// through the same model, so what is shown is what is saved), and keeps
// the text 6 pixels clear of its left and right edges.
class RichTextEditor : public QTextEdit {
  Q_OBJECT

 public:
  explicit RichTextEditor(QWidget* parent = nullptr);

  // The face and size of text that sets none.
  void SetDefaultFace(const QString& family, double points);
  // The page's text colour (text that sets none) and background.
  void SetPageColors(const QColor& text, const QColor& background);

  // Replaces the content with file data (RTF, or plain CP932 text): not
  // modified, nothing to undo, caret at the start.
  void LoadRichText(std::string_view data);
  // The content as RTF, as the rich edit control saves it.
  std::string SaveRichText() const;

  // The find dialog's place in this editor's text.
  LineFind& line_find() { return line_find_; }

  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  void SubstituteFacesOfDocument();

  LineFind line_find_;
};

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_UI_RICH_TEXT_EDITOR_H_
