// Moves rich text between the RTF codec's model and the QTextDocument the
// editors work on.
#ifndef MIROKATA_RICHTEXT_TEXT_DOCUMENT_RTF_QT_H_
#define MIROKATA_RICHTEXT_TEXT_DOCUMENT_RTF_QT_H_

#include <string>
#include <string_view>

#include "richtext/rich_document.h"

class QTextDocument;

namespace mirokata {

// Replaces the document's content. Unset faces and sizes are left to the
// document's default font; the automatic colour sets no foreground.
// Indents: 15 twips make one pixel (96 dpi); a bulleted paragraph becomes
// an item of a disc list whose indent counts toward its left indent.
void ToTextDocument(const RichDocument& rich, QTextDocument* document);

// The document's content, with every face and size resolved (formats that
// set none take the document's default font).
RichDocument FromTextDocument(const QTextDocument& document);

// Loads file data (RTF, or plain CP932 text when it is not RTF).
void LoadRichText(std::string_view data, QTextDocument* document);

// The document as RTF, as the rich edit control saves it.
std::string SaveRichText(const QTextDocument& document);

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_TEXT_DOCUMENT_RTF_QT_H_
