#include "richtext/text_find.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace mirokata {
namespace {

std::optional<TextHit> FindInBlock(const QTextBlock& block, const QString& what,
                                   int from, Qt::CaseSensitivity sensitivity) {
  const int offset = std::max(0, from - block.position());
  const int index = block.text().indexOf(what, offset, sensitivity);
  if (index < 0) return std::nullopt;
  return TextHit{block.position() + index, int(what.size())};
}

TextHit Replace(QTextDocument* document, const TextHit& hit,
                const QString& with) {
  QTextCursor cursor(document);
  cursor.setPosition(hit.position);
  cursor.setPosition(hit.position + hit.length, QTextCursor::KeepAnchor);
  // The format of the first character replaced, not the one before it.
  QTextCursor first(document);
  first.setPosition(hit.position + 1);
  cursor.insertText(with, first.charFormat());
  return TextHit{hit.position, int(with.size())};
}

}  // namespace

std::optional<TextHit> FindText(const QTextDocument& document,
                                const QString& what, int from,
                                Qt::CaseSensitivity sensitivity) {
  if (what.isEmpty()) return std::nullopt;
  for (QTextBlock block = document.findBlock(std::max(0, from));
       block.isValid(); block = block.next()) {
    if (auto hit = FindInBlock(block, what, from, sensitivity)) return hit;
  }
  return std::nullopt;
}

void LineFind::Restart() { next_line_ = 0; }

std::optional<TextHit> LineFind::Next(const QTextDocument& document,
                                      const QString& what) {
  if (what != last_) {
    last_ = what;
    next_line_ = 0;
  }
  if (what.isEmpty()) return std::nullopt;
  for (QTextBlock block = document.findBlockByNumber(next_line_);
       block.isValid(); block = block.next()) {
    if (auto hit = FindInBlock(block, what, 0, Qt::CaseSensitive)) {
      next_line_ = block.blockNumber() + 1;
      return hit;
    }
  }
  next_line_ = document.blockCount();
  return std::nullopt;
}

std::optional<TextHit> ReplaceFirst(QTextDocument* document,
                                    const QString& what, const QString& with,
                                    Qt::CaseSensitivity sensitivity) {
  const std::optional<TextHit> hit = FindText(*document, what, 0, sensitivity);
  if (!hit) return std::nullopt;
  return Replace(document, *hit, with);
}

int ReplaceAll(QTextDocument* document, const QString& what,
               const QString& with, Qt::CaseSensitivity sensitivity) {
  int count = 0;
  QTextCursor edit(document);
  int from = 0;
  while (const std::optional<TextHit> hit =
             FindText(*document, what, from, sensitivity)) {
    if (count == 0) edit.beginEditBlock();
    from = Replace(document, *hit, with).position + int(with.size());
    ++count;
  }
  if (count > 0) edit.endEditBlock();
  return count;
}

}  // namespace mirokata
