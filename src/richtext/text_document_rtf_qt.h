// Moves rich text between the RTF codec's model and the QTextDocument the
// editors work on.
#ifndef MIROKATA_RICHTEXT_TEXT_DOCUMENT_RTF_QT_H_
#define MIROKATA_RICHTEXT_TEXT_DOCUMENT_RTF_QT_H_

#include <QTextFormat>
#include <string>
#include <string_view>

#include "richtext/rich_document.h"

class QMimeData;
class QTextBlock;
class QTextDocument;

namespace mirokata {

// The first number of a numbered list, kept on its QTextListFormat: Qt
// draws every list from 1, but the number is saved as it was read.
inline constexpr int kListStartProperty = QTextFormat::UserProperty + 0x5201;

// The list format of a paragraph's list (disc for bullets), and the style
// a list format shows (circles and squares are bullets too).
QTextListFormat ListFormatFor(RichListStyle style, int start = 1);
RichListStyle ListStyleOf(const QTextListFormat& format);

// The format of a block as the RTF model has it (indents in twips, the
// list's hang counted into them), and back: the block format (margins,
// spacing, tabs) that shows a paragraph of that format inside its list;
// merge it (QTextCursor::mergeBlockFormat) to keep the block in its list.
// Pixels are at 96 dpi: 15 twips make one.
RichParagraphFormat ParagraphFormatOf(const QTextBlock& block);
QTextBlockFormat BlockFormatFor(const RichParagraphFormat& format,
                                const QTextDocument& document);

// Replaces the document's content. Unset faces and sizes are left to the
// document's default font; the automatic colour sets no foreground.
// Indents: 15 twips make one pixel (96 dpi); a paragraph of a list becomes
// an item of a QTextList (disc, decimal, letters or roman) whose indent
// counts toward its left indent; consecutive paragraphs of one style and
// start share one list. Spacing becomes block margins and line height.
void ToTextDocument(const RichDocument& rich, QTextDocument* document);

// The document's content, with every face and size resolved (formats that
// set none take the document's default font).
RichDocument FromTextDocument(const QTextDocument& document);

// Loads file data (RTF, or plain CP932 text when it is not RTF).
void LoadRichText(std::string_view data, QTextDocument* document);

// The document as RTF, as the rich edit control saves it.
std::string SaveRichText(const QTextDocument& document);

// The RTF a paste or drop offers (under any of its usual types); empty
// when it offers none.
QByteArray RtfOfMimeData(const QMimeData* source);

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_TEXT_DOCUMENT_RTF_QT_H_
