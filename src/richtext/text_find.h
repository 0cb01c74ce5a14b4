// Finding and replacing text in an editor's document. Positions are those
// of the QTextDocument (what a QTextCursor selects); a line is a paragraph.
#ifndef MIROKATA_RICHTEXT_TEXT_FIND_H_
#define MIROKATA_RICHTEXT_TEXT_FIND_H_

#include <QString>
#include <Qt>
#include <optional>

class QTextDocument;

namespace mirokata {

// Where a search text was found.
struct TextHit {
  int position = 0;
  int length = 0;
  bool operator==(const TextHit&) const = default;
};

// The first occurrence of `what` that starts at or after `from`; none for
// an empty `what`. Occurrences never span two paragraphs.
std::optional<TextHit> FindText(
    const QTextDocument& document, const QString& what, int from = 0,
    Qt::CaseSensitivity sensitivity = Qt::CaseSensitive);

// The find dialog's search: downward, line by line, case-sensitive. Each
// search after a hit looks from the line after the hit's line, so a line
// with two hits yields only its first; a new text, or Restart() (the
// dialog opening), starts again at the first line. An editor keeps one.
class LineFind {
 public:
  void Restart();
  std::optional<TextHit> Next(const QTextDocument& document,
                              const QString& what);

 private:
  QString last_;
  int next_line_ = 0;
};

// Replaces the first occurrence in the whole text, the replacement taking
// the format of what it replaces, and returns where it was (`length` is
// the replacement's length); none when there was nothing to replace.
std::optional<TextHit> ReplaceFirst(
    QTextDocument* document, const QString& what, const QString& with,
    Qt::CaseSensitivity sensitivity = Qt::CaseSensitive);

// Replaces every occurrence as one undo step and returns how many. The
// search goes on after each replacement, so it ends even when `with`
// contains `what`.
int ReplaceAll(QTextDocument* document, const QString& what,
               const QString& with,
               Qt::CaseSensitivity sensitivity = Qt::CaseSensitive);

}  // namespace mirokata

#endif  // MIROKATA_RICHTEXT_TEXT_FIND_H_
