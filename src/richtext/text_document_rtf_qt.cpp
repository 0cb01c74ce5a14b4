#include "richtext/text_document_rtf_qt.h"

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <cmath>

#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

namespace mirokata {
namespace {

constexpr double kTwipsPerPixel = 15.0;

double Pixels(int twips) { return twips / kTwipsPerPixel; }
int Twips(double pixels) { return int(std::lround(pixels * kTwipsPerPixel)); }

QTextCharFormat ToCharFormat(const RichCharFormat& f) {
  QTextCharFormat cf;
  if (!f.font.empty()) cf.setFontFamilies({QString::fromStdString(f.font)});
  if (f.half_points > 0) cf.setFontPointSize(f.half_points / 2.0);
  cf.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
  cf.setFontItalic(f.italic);
  cf.setFontUnderline(f.underline);
  cf.setFontStrikeOut(f.strike);
  if (f.color)
    cf.setForeground(QColor(f.color->red, f.color->green, f.color->blue));
  return cf;
}

RichCharFormat FromCharFormat(const QTextCharFormat& cf,
                              const QFont& fallback) {
  RichCharFormat f;
  QStringList families = cf.fontFamilies().toStringList();
  QString family = cf.stringProperty(QTextFormat::FontFamily);
  if (!families.isEmpty() && !families.front().isEmpty()) {
    f.font = families.front().toStdString();
  } else if (!family.isEmpty()) {
    f.font = family.toStdString();
  } else {
    f.font = fallback.family().toStdString();
  }
  double points = cf.hasProperty(QTextFormat::FontPointSize)
                      ? cf.fontPointSize()
                      : fallback.pointSizeF();
  f.half_points = points > 0 ? int(std::lround(points * 2)) : 0;
  f.bold = cf.hasProperty(QTextFormat::FontWeight)
               ? cf.fontWeight() >= QFont::DemiBold
               : fallback.bold();
  f.italic = cf.hasProperty(QTextFormat::FontItalic) ? cf.fontItalic()
                                                     : fallback.italic();
  f.underline =
      cf.fontUnderline() || (!cf.hasProperty(QTextFormat::TextUnderlineStyle) &&
                             fallback.underline());
  f.strike = cf.hasProperty(QTextFormat::FontStrikeOut) ? cf.fontStrikeOut()
                                                        : fallback.strikeOut();
  if (cf.hasProperty(QTextFormat::ForegroundBrush) &&
      cf.foreground().style() != Qt::NoBrush) {
    QColor c = cf.foreground().color();
    f.color =
        RichColor{uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())};
  }
  return f;
}

Qt::Alignment ToAlignment(RichAlignment a) {
  switch (a) {
    case RichAlignment::kCenter:
      return Qt::AlignHCenter;
    case RichAlignment::kRight:
      return Qt::AlignRight;
    case RichAlignment::kJustify:
      return Qt::AlignJustify;
    case RichAlignment::kLeft:
      break;
  }
  return Qt::AlignLeft;
}

RichAlignment FromAlignment(Qt::Alignment a) {
  a &= Qt::AlignHorizontal_Mask;
  if (a & Qt::AlignHCenter) return RichAlignment::kCenter;
  if (a & Qt::AlignJustify) return RichAlignment::kJustify;
  if (a & (Qt::AlignRight | Qt::AlignTrailing)) return RichAlignment::kRight;
  return RichAlignment::kLeft;
}

// In RTF a bullet hangs at left + first indent and the text starts at the
// left indent; Qt draws the bullet in the list's indent, left of the text.
QTextBlockFormat ToBlockFormat(const RichParagraphFormat& p,
                               double list_indent) {
  QTextBlockFormat bf;
  bf.setAlignment(ToAlignment(p.alignment));
  double hang = p.bullet ? list_indent : 0;
  bf.setLeftMargin(Pixels(p.left_indent) - hang);
  bf.setTextIndent(Pixels(p.first_indent) + hang);
  bf.setRightMargin(Pixels(p.right_indent));
  QList<QTextOption::Tab> tabs;
  for (int t : p.tab_stops)
    tabs.append(QTextOption::Tab(Pixels(t), QTextOption::LeftTab));
  if (!tabs.isEmpty()) bf.setTabPositions(tabs);
  return bf;
}

RichParagraphFormat FromBlock(const QTextBlock& block, double indent_width) {
  QTextBlockFormat bf = block.blockFormat();
  RichParagraphFormat p;
  p.alignment = FromAlignment(bf.alignment());
  double hang = 0;
  if (QTextList* list = block.textList()) {
    p.bullet = true;
    hang = std::max(1, list->format().indent()) * indent_width;
  }
  hang += bf.indent() * indent_width;
  p.left_indent = Twips(bf.leftMargin() + hang);
  p.first_indent = Twips(bf.textIndent() - (p.bullet ? hang : 0));
  p.right_indent = Twips(bf.rightMargin());
  for (const QTextOption::Tab& tab : bf.tabPositions())
    p.tab_stops.push_back(Twips(tab.position));
  return p;
}

QString ToQtText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QChar('\n'), QChar::LineSeparator);
  return s;
}

std::string FromQtText(QString s) {
  s.replace(QChar::LineSeparator, QChar('\n'));
  s.remove(QChar::ObjectReplacementCharacter);
  s.remove(QChar::ParagraphSeparator);
  return s.toStdString();
}

}  // namespace

void ToTextDocument(const RichDocument& rich, QTextDocument* document) {
  document->clear();
  QTextCursor cursor(document);
  cursor.beginEditBlock();
  QTextListFormat list_format;
  list_format.setStyle(QTextListFormat::ListDisc);
  list_format.setIndent(1);
  double list_indent = document->indentWidth();
  QTextList* list = nullptr;
  bool first = true;
  for (const RichParagraph& paragraph : rich.paragraphs) {
    QTextBlockFormat bf = ToBlockFormat(paragraph.format, list_indent);
    QTextCharFormat mark = ToCharFormat(paragraph.mark_format);
    if (first) {
      cursor.setBlockFormat(bf);
      cursor.setBlockCharFormat(mark);
      first = false;
    } else {
      cursor.insertBlock(bf, mark);
    }
    if (paragraph.format.bullet) {
      if (list == nullptr) {
        list = cursor.createList(list_format);
        cursor.mergeBlockFormat(bf);  // keeps the margins, and the list
      } else {
        list->add(cursor.block());
      }
    } else {
      list = nullptr;
    }
    for (const RichRun& run : paragraph.runs) {
      cursor.insertText(ToQtText(run.text), ToCharFormat(run.format));
    }
  }
  cursor.endEditBlock();
}

RichDocument FromTextDocument(const QTextDocument& document) {
  RichDocument rich;
  rich.paragraphs.clear();
  QFont fallback = document.defaultFont();
  double indent_width = document.indentWidth();
  for (QTextBlock block = document.begin(); block.isValid();
       block = block.next()) {
    RichParagraph paragraph;
    paragraph.format = FromBlock(block, indent_width);
    paragraph.mark_format = FromCharFormat(block.charFormat(), fallback);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      AppendRunText(paragraph, FromCharFormat(fragment.charFormat(), fallback),
                    FromQtText(fragment.text()));
    }
    rich.paragraphs.push_back(std::move(paragraph));
  }
  if (rich.paragraphs.empty()) rich.paragraphs.emplace_back();
  return rich;
}

void LoadRichText(std::string_view data, QTextDocument* document) {
  ToTextDocument(ReadRichText(data), document);
}

std::string SaveRichText(const QTextDocument& document) {
  return WriteRtf(FromTextDocument(document));
}

}  // namespace mirokata
