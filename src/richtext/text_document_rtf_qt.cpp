#include "richtext/text_document_rtf_qt.h"

#include <QColor>
#include <QFont>
#include <QMimeData>
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
constexpr double kTwipsPerSingleLine = 240.0;  // \slmult's unit

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

QTextListFormat::Style ToListStyle(RichListStyle style) {
  switch (style) {
    case RichListStyle::kDecimal:
      return QTextListFormat::ListDecimal;
    case RichListStyle::kLowerAlpha:
      return QTextListFormat::ListLowerAlpha;
    case RichListStyle::kUpperAlpha:
      return QTextListFormat::ListUpperAlpha;
    case RichListStyle::kLowerRoman:
      return QTextListFormat::ListLowerRoman;
    case RichListStyle::kUpperRoman:
      return QTextListFormat::ListUpperRoman;
    case RichListStyle::kNone:
    case RichListStyle::kBullet:
      break;
  }
  return QTextListFormat::ListDisc;
}

RichListStyle FromListStyle(QTextListFormat::Style style) {
  switch (style) {
    case QTextListFormat::ListDecimal:
      return RichListStyle::kDecimal;
    case QTextListFormat::ListLowerAlpha:
      return RichListStyle::kLowerAlpha;
    case QTextListFormat::ListUpperAlpha:
      return RichListStyle::kUpperAlpha;
    case QTextListFormat::ListLowerRoman:
      return RichListStyle::kLowerRoman;
    case QTextListFormat::ListUpperRoman:
      return RichListStyle::kUpperRoman;
    default:
      return RichListStyle::kBullet;
  }
}

void SetSpacing(const RichParagraphFormat& p, QTextBlockFormat* bf) {
  bf->setTopMargin(Pixels(p.space_before));
  bf->setBottomMargin(Pixels(p.space_after));
  if (p.line_spacing == 0) {
    bf->setLineHeight(0, QTextBlockFormat::SingleHeight);
  } else if (p.line_multiple) {
    bf->setLineHeight(p.line_spacing * 100.0 / kTwipsPerSingleLine,
                      QTextBlockFormat::ProportionalHeight);
  } else if (p.line_spacing > 0) {
    bf->setLineHeight(Pixels(p.line_spacing), QTextBlockFormat::MinimumHeight);
  } else {
    bf->setLineHeight(Pixels(-p.line_spacing), QTextBlockFormat::FixedHeight);
  }
}

void GetSpacing(const QTextBlockFormat& bf, RichParagraphFormat* p) {
  p->space_before = std::max(0, Twips(bf.topMargin()));
  p->space_after = std::max(0, Twips(bf.bottomMargin()));
  const double height = bf.lineHeight();
  switch (bf.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
      // 100 percent is single spacing, which RTF writes as no \sl.
      if (std::lround(height * kTwipsPerSingleLine / 100.0) !=
          std::lround(kTwipsPerSingleLine)) {
        p->line_spacing = int(std::lround(height * kTwipsPerSingleLine / 100));
        p->line_multiple = true;
      }
      break;
    case QTextBlockFormat::MinimumHeight:
      p->line_spacing = Twips(height);
      break;
    case QTextBlockFormat::FixedHeight:
      p->line_spacing = -Twips(height);
      break;
    default:
      break;
  }
}

// In RTF a bullet or number hangs at left + first indent and the text
// starts at the left indent; Qt draws it in the list's indent, left of the
// text.
QTextBlockFormat ToBlockFormat(const RichParagraphFormat& p,
                               double list_indent) {
  QTextBlockFormat bf;
  bf.setAlignment(ToAlignment(p.alignment));
  double hang = p.list != RichListStyle::kNone ? list_indent : 0;
  bf.setLeftMargin(Pixels(p.left_indent) - hang);
  bf.setTextIndent(Pixels(p.first_indent) + hang);
  bf.setRightMargin(Pixels(p.right_indent));
  SetSpacing(p, &bf);
  QList<QTextOption::Tab> tabs;
  for (int t : p.tab_stops)
    tabs.append(QTextOption::Tab(Pixels(t), QTextOption::LeftTab));
  bf.setTabPositions(tabs);
  return bf;
}

RichParagraphFormat FromBlock(const QTextBlock& block, double indent_width) {
  QTextBlockFormat bf = block.blockFormat();
  RichParagraphFormat p;
  p.alignment = FromAlignment(bf.alignment());
  double hang = 0;
  if (QTextList* list = block.textList()) {
    const QTextListFormat lf = list->format();
    p.list = FromListStyle(lf.style());
    if (p.numbered() && lf.hasProperty(kListStartProperty)) {
      p.list_start = lf.intProperty(kListStartProperty);
    }
    hang = std::max(1, lf.indent()) * indent_width;
  }
  hang += bf.indent() * indent_width;
  const bool listed = p.list != RichListStyle::kNone;
  p.left_indent = Twips(bf.leftMargin() + hang);
  p.first_indent = Twips(bf.textIndent() - (listed ? hang : 0));
  p.right_indent = Twips(bf.rightMargin());
  GetSpacing(bf, &p);
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

QTextListFormat ListFormatFor(RichListStyle style, int start) {
  QTextListFormat format;
  format.setStyle(ToListStyle(style));
  format.setIndent(1);
  if (style != RichListStyle::kBullet && style != RichListStyle::kNone) {
    format.setProperty(kListStartProperty, start);
  }
  return format;
}

RichListStyle ListStyleOf(const QTextListFormat& format) {
  return FromListStyle(format.style());
}

RichParagraphFormat ParagraphFormatOf(const QTextBlock& block) {
  const QTextDocument* document = block.document();
  return FromBlock(block, document ? document->indentWidth() : 40);
}

QTextBlockFormat BlockFormatFor(const RichParagraphFormat& format,
                                const QTextDocument& document) {
  return ToBlockFormat(format, document.indentWidth());
}

void ToTextDocument(const RichDocument& rich, QTextDocument* document) {
  document->clear();
  QTextCursor cursor(document);
  cursor.beginEditBlock();
  double list_indent = document->indentWidth();
  QTextList* list = nullptr;
  const RichParagraphFormat* previous = nullptr;
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
    const RichParagraphFormat& f = paragraph.format;
    if (f.list == RichListStyle::kNone) {
      list = nullptr;
    } else if (list != nullptr && previous != nullptr &&
               previous->list == f.list &&
               (!f.numbered() || previous->list_start == f.list_start)) {
      list->add(cursor.block());
    } else {
      list = cursor.createList(ListFormatFor(f.list, f.list_start));
      cursor.mergeBlockFormat(bf);  // keeps the margins, and the list
    }
    previous = &f;
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

QByteArray RtfOfMimeData(const QMimeData* source) {
  static const char* const kTypes[] = {"text/rtf", "application/rtf",
                                       "text/richtext"};
  for (const char* type : kTypes) {
    if (source->hasFormat(type)) return source->data(type);
  }
  return {};
}

}  // namespace mirokata
