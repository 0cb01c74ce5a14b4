#include "richtext/ui/rich_text_editor.h"

#include <QFont>
#include <QFontDatabase>
#include <QMimeData>
#include <QPalette>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include "richtext/text_document_rtf_qt.h"

namespace mirokata {
namespace {

bool IsSerifName(const QString& family) {
  const QString lower = family.toLower();
  return family.contains(QString::fromUtf8("明朝")) ||
         lower.contains("mincho") || lower.contains("serif") ||
         lower.contains("times");
}

// Installed faces to draw a missing one with, best first.
QStringList SubstitutesFor(const QString& family) {
  static const QStringList kSans = {"Noto Sans CJK JP", "IPAPGothic",
                                    "IPAGothic",        "TakaoPGothic",
                                    "VL PGothic",       "DejaVu Sans"};
  static const QStringList kSerif = {"Noto Serif CJK JP", "IPAPMincho",
                                     "IPAMincho", "TakaoPMincho",
                                     "DejaVu Serif"};
  const QStringList installed = QFontDatabase::families();
  QStringList found;
  for (const QString& name : IsSerifName(family) ? kSerif : kSans) {
    if (installed.contains(name, Qt::CaseInsensitive)) found.append(name);
  }
  return found;
}

}  // namespace

void SubstituteMissingFaces(const QStringList& families) {
  static QSet<QString> done;
  for (const QString& family : families) {
    if (family.isEmpty() || done.contains(family)) continue;
    done.insert(family);
    if (QFontDatabase::families().contains(family, Qt::CaseInsensitive))
      continue;
    const QStringList substitutes = SubstitutesFor(family);
    if (!substitutes.isEmpty()) QFont::insertSubstitutions(family, substitutes);
  }
}

RichTextEditor::RichTextEditor(QWidget* parent) : QTextEdit(parent) {
  setAcceptRichText(true);
  // The text stands 6 pixels clear of the left and right edges, where the
  // ruler's markers expect it.
  document()->setDocumentMargin(0);
  setViewportMargins(6, 0, 6, 0);
  setAccessibleName(QString::fromUtf8("本文"));
}

void RichTextEditor::SetDefaultFace(const QString& family, double points) {
  SubstituteMissingFaces({family});
  QFont font(family);
  if (points > 0) font.setPointSizeF(points);
  document()->setDefaultFont(font);
}

void RichTextEditor::SetPageColors(const QColor& text,
                                   const QColor& background) {
  QPalette p = palette();
  if (text.isValid()) p.setColor(QPalette::Text, text);
  if (background.isValid()) p.setColor(QPalette::Base, background);
  setPalette(p);
}

void RichTextEditor::LoadRichText(std::string_view data) {
  mirokata::LoadRichText(data, document());
  SubstituteFacesOfDocument();
  document()->clearUndoRedoStacks();
  document()->setModified(false);
  moveCursor(QTextCursor::Start);
  line_find_.Restart();
}

std::string RichTextEditor::SaveRichText() const {
  return mirokata::SaveRichText(*document());
}

void RichTextEditor::SubstituteFacesOfDocument() {
  QStringList families;
  for (QTextBlock block = document()->begin(); block.isValid();
       block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QStringList names =
          it.fragment().charFormat().fontFamilies().toStringList();
      if (!names.isEmpty() && !families.contains(names.front()))
        families.append(names.front());
    }
  }
  SubstituteMissingFaces(families);
}

bool RichTextEditor::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasText() || source->hasHtml() ||
         !RtfOfMimeData(source).isEmpty();
}

void RichTextEditor::insertFromMimeData(const QMimeData* source) {
  QTextDocument pasted;
  pasted.setDefaultFont(document()->defaultFont());
  const QByteArray rtf = RtfOfMimeData(source);
  if (!rtf.isEmpty()) {
    mirokata::LoadRichText(std::string_view(rtf.constData(), rtf.size()),
                           &pasted);
  } else if (source->hasHtml()) {
    // Through the model: only what can be saved comes in.
    QTextDocument html;
    html.setDefaultFont(document()->defaultFont());
    html.setHtml(source->html());
    ToTextDocument(FromTextDocument(html), &pasted);
  } else if (source->hasText()) {
    textCursor().insertText(source->text());
    return;
  } else {
    return;
  }
  textCursor().insertFragment(QTextDocumentFragment(&pasted));
  SubstituteFacesOfDocument();
}

}  // namespace mirokata
