// Printing a rich text with lines above it, on a copy: the editor's
// document, its modified flag and its undo steps stay as they are.
#ifndef MIROKATA_RICHTEXT_UI_PRINT_COPY_H_
#define MIROKATA_RICHTEXT_UI_PRINT_COPY_H_

#include <QStringList>

class QPrinter;
class QTextDocument;

namespace mirokata {

// Prints the document with `header_lines` (plain text in the document's
// default font, one paragraph each) above its first paragraph.
void PrintDocumentCopy(const QTextDocument& document, QPrinter& printer,
                       const QStringList& header_lines);

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_UI_PRINT_COPY_H_
