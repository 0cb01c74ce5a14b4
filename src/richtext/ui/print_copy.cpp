#include "richtext/ui/print_copy.h"

#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <memory>

namespace mirokata {

void PrintDocumentCopy(const QTextDocument& document, QPrinter& printer,
                       const QStringList& header_lines) {
  QTextDocument page;
  page.setDefaultFont(document.defaultFont());
  page.setDefaultTextOption(document.defaultTextOption());
  QTextCursor cursor(&page);
  for (const QString& line : header_lines) {
    cursor.insertText(line, QTextCharFormat());
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
  }
  // The whole text with its lists and formats, from a clone so that not
  // even a selection of the original is touched.
  std::unique_ptr<QTextDocument> copy(document.clone());
  QTextCursor all(copy.get());
  all.select(QTextCursor::Document);
  cursor.insertFragment(QTextDocumentFragment(all));
  page.print(&printer);
}

}  // namespace mirokata
