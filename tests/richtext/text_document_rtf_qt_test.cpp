#include "richtext/text_document_rtf_qt.h"

#include <QFont>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QtTest>

#include "platform/text_codec.h"
#include "richtext/rich_document.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

namespace mirokata {
namespace {

RichCharFormat Format(std::string font, int half_points) {
  RichCharFormat f;
  f.font = std::move(font);
  f.half_points = half_points;
  return f;
}

RichDocument SampleDocument() {
  RichDocument doc;
  doc.paragraphs.clear();
  RichCharFormat gothic = Format("ＭＳ ゴシック", 18);
  RichCharFormat red = gothic;
  red.bold = true;
  red.color = RichColor{255, 0, 0};
  RichCharFormat mincho = Format("ＭＳ 明朝", 24);
  mincho.italic = true;
  mincho.underline = true;
  mincho.strike = true;

  RichParagraph title;
  title.format.alignment = RichAlignment::kCenter;
  AppendRunText(title, red, "会議");
  AppendRunText(title, mincho, "の予定");
  title.mark_format = mincho;
  doc.paragraphs.push_back(title);

  RichParagraph body;
  body.format.first_indent = 300;
  body.format.left_indent = 600;
  body.format.right_indent = 150;
  body.format.alignment = RichAlignment::kRight;
  body.format.tab_stops = {900};
  body.format.space_before = 120;
  body.format.space_after = 240;
  body.format.line_spacing = 360;
  body.format.line_multiple = true;
  AppendRunText(body, gothic, "一行目\t続き\n二行目");
  body.mark_format = gothic;
  doc.paragraphs.push_back(body);

  RichParagraph empty;
  empty.mark_format = mincho;
  doc.paragraphs.push_back(empty);

  for (const char* item : {"牛乳", "卵"}) {
    RichParagraph bullet;
    bullet.format.list = RichListStyle::kBullet;
    bullet.format.first_indent = -360;
    bullet.format.left_indent = 360;
    AppendRunText(bullet, gothic, item);
    bullet.mark_format = gothic;
    doc.paragraphs.push_back(bullet);
  }
  for (const char* item : {"一", "二"}) {
    RichParagraph numbered;
    numbered.format.list = RichListStyle::kDecimal;
    numbered.format.first_indent = -360;
    numbered.format.left_indent = 720;
    numbered.format.line_spacing = -300;
    AppendRunText(numbered, gothic, item);
    numbered.mark_format = gothic;
    doc.paragraphs.push_back(numbered);
  }
  RichParagraph lettered;  // right after the numbers: a list of its own
  lettered.format.list = RichListStyle::kLowerAlpha;
  lettered.format.list_start = 3;
  lettered.format.line_spacing = 300;
  AppendRunText(lettered, gothic, "丙");
  lettered.mark_format = gothic;
  doc.paragraphs.push_back(lettered);

  RichParagraph last;
  last.format.alignment = RichAlignment::kJustify;
  AppendRunText(last, gothic, "以上");
  last.mark_format = gothic;
  doc.paragraphs.push_back(last);
  return doc;
}

}  // namespace

class TextDocumentRtfTest : public QObject {
  Q_OBJECT

 private slots:
  void ModelSurvivesTheTextDocument() {
    RichDocument doc = SampleDocument();
    QTextDocument text;
    ToTextDocument(doc, &text);

    QCOMPARE(text.blockCount(), 9);
    QCOMPARE(text.toRawText(),
             QString::fromUtf8("会議の予定\u2029一行目\t続き\u2028二行目\u2029"
                               "\u2029牛乳\u2029卵\u2029一\u2029二\u2029丙"
                               "\u2029以上"));
    QTextBlock title = text.begin();
    QCOMPARE(title.blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    QTextCharFormat first = title.begin().fragment().charFormat();
    QCOMPARE(first.fontFamilies().toStringList(),
             QStringList{QString::fromUtf8("ＭＳ ゴシック")});
    QCOMPARE(first.fontPointSize(), 9.0);
    QCOMPARE(first.fontWeight(), int(QFont::Bold));
    QCOMPARE(first.foreground().color(), QColor(255, 0, 0));
    QTextBlock body = title.next();
    QCOMPARE(body.blockFormat().leftMargin(), 40.0);  // 600 twips at 96 dpi
    QCOMPARE(body.blockFormat().textIndent(), 20.0);
    QCOMPARE(body.blockFormat().rightMargin(), 10.0);
    QCOMPARE(body.blockFormat().tabPositions().size(), 1);
    QCOMPARE(body.blockFormat().topMargin(), 8.0);
    QCOMPARE(body.blockFormat().bottomMargin(), 16.0);
    QCOMPARE(body.blockFormat().lineHeightType(),
             int(QTextBlockFormat::ProportionalHeight));
    QCOMPARE(body.blockFormat().lineHeight(), 150.0);
    QTextBlock bullet = body.next().next();
    QVERIFY(bullet.textList() != nullptr);
    QCOMPARE(bullet.textList()->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(bullet.textList(), bullet.next().textList());
    QTextBlock one = bullet.next().next();
    QVERIFY(one.textList() != nullptr);
    QVERIFY(one.textList() != bullet.textList());
    QCOMPARE(one.textList()->format().style(), QTextListFormat::ListDecimal);
    QCOMPARE(one.textList(), one.next().textList());
    QCOMPARE(one.textList()->itemText(one.next()), QString("2."));
    QCOMPARE(one.blockFormat().lineHeightType(),
             int(QTextBlockFormat::FixedHeight));
    QCOMPARE(one.blockFormat().lineHeight(), 20.0);
    QTextBlock third = one.next().next();
    QVERIFY(third.textList() != one.textList());
    QCOMPARE(third.textList()->format().style(),
             QTextListFormat::ListLowerAlpha);
    QCOMPARE(third.textList()->format().intProperty(kListStartProperty), 3);
    QCOMPARE(third.blockFormat().lineHeightType(),
             int(QTextBlockFormat::MinimumHeight));
    QVERIFY(third.next().textList() == nullptr);

    RichDocument back = FromTextDocument(text);
    QCOMPARE(int(back.paragraphs.size()), int(doc.paragraphs.size()));
    for (size_t i = 0; i < doc.paragraphs.size(); ++i) {
      if (!(back.paragraphs[i] == doc.paragraphs[i])) {
        QFAIL(qPrintable(QString("paragraph %1 differs: %2")
                             .arg(i)
                             .arg(QString::fromStdString(WriteRtf(back)))));
      }
    }
  }

  // What an editor builds with a cursor is saved and loaded back.
  void EditorContentRoundTripsThroughRtf() {
    QTextDocument text;
    text.setDefaultFont(QFont(QString::fromUtf8("ＭＳ ゴシック"), 9));
    QTextCursor cursor(&text);
    QTextCharFormat plain;
    cursor.insertText(QString::fromUtf8("表示ソフト "), plain);
    QTextCharFormat styled;
    styled.setFontWeight(QFont::Bold);
    styled.setFontItalic(true);
    styled.setFontPointSize(14);
    styled.setForeground(QColor(0, 0, 255));
    styled.setFontFamilies({"Arial"});
    cursor.insertText(QString::fromUtf8("強調 \u20ac"), styled);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.insertBlock(centred);
    cursor.insertText(QString::fromUtf8("中央"), plain);
    QTextCharFormat whole_font;  // as a font dialog sets it
    whole_font.setFont(QFont("Courier New", 11));
    cursor.insertText("mono", whole_font);
    cursor.insertBlock(QTextBlockFormat());
    cursor.createList(QTextListFormat::ListDisc);
    cursor.insertText(QString::fromUtf8("項目"), plain);

    std::string rtf = SaveRichText(text);
    QVERIFY(IsAscii(rtf));
    QVERIFY(rtf.starts_with("{\\rtf1\\ansi\\ansicpg932"));
    RichDocument doc = *ParseRtf(rtf);
    QCOMPARE(int(doc.paragraphs.size()), 3);
    const RichRun& unset = doc.paragraphs[0].runs[0];
    QCOMPARE(unset.format.font, std::string("ＭＳ ゴシック"));  // the default
    QCOMPARE(unset.format.half_points, 18);
    const RichRun& bold = doc.paragraphs[0].runs[1];
    QCOMPARE(bold.text, std::string("強調 €"));
    QVERIFY(bold.format.bold && bold.format.italic);
    QCOMPARE(bold.format.half_points, 28);
    QCOMPARE(bold.format.font, std::string("Arial"));
    QVERIFY(bold.format.color == (RichColor{0, 0, 255}));
    QCOMPARE(doc.paragraphs[1].format.alignment, RichAlignment::kCenter);
    QCOMPARE(doc.paragraphs[1].runs[1].format.font, std::string("Courier New"));
    QCOMPARE(doc.paragraphs[1].runs[1].format.half_points, 22);
    QVERIFY(doc.paragraphs[2].format.bullet());

    QTextDocument loaded;
    loaded.setDefaultFont(text.defaultFont());
    LoadRichText(rtf, &loaded);
    QCOMPARE(loaded.toPlainText(), text.toPlainText());
    QCOMPARE(SaveRichText(loaded), rtf);
  }

  // A list pasted as HTML (as a browser or word processor offers it)
  // keeps its numbers and spacing through save and reopen.
  void PastedNumberedListSurvivesSaveAndReopen() {
    QTextDocument text;
    text.setDefaultFont(QFont(QString::fromUtf8("ＭＳ ゴシック"), 9));
    text.setHtml(QString::fromUtf8(
        "<p style='margin-top:12px; margin-bottom:6px'>見出し</p>"
        "<ol><li>一つ目</li><li>二つ目</li></ol>"
        "<ol type='I'><li>甲</li></ol>"
        "<ul><li>点</li></ul>"));
    std::string rtf = SaveRichText(text);
    QVERIFY2(rtf.find("\\pndec") != std::string::npos, rtf.c_str());
    QVERIFY(rtf.find("{\\pntext 2.\\tab}") != std::string::npos);
    QVERIFY(rtf.find("\\pnucrm") != std::string::npos);
    QVERIFY(rtf.find("\\sb180\\sa90") != std::string::npos);

    QTextDocument reopened;
    reopened.setDefaultFont(text.defaultFont());
    LoadRichText(rtf, &reopened);
    QCOMPARE(reopened.toPlainText(), text.toPlainText());
    QTextBlock heading = reopened.begin();
    QCOMPARE(heading.blockFormat().topMargin(), 12.0);
    QCOMPARE(heading.blockFormat().bottomMargin(), 6.0);
    QTextBlock first = heading.next();
    QVERIFY(first.textList() != nullptr);
    QCOMPARE(first.textList()->format().style(), QTextListFormat::ListDecimal);
    QCOMPARE(first.textList()->count(), 2);
    QTextBlock roman = first.next().next();
    QCOMPARE(roman.textList()->format().style(),
             QTextListFormat::ListUpperRoman);
    QCOMPARE(roman.next().textList()->format().style(),
             QTextListFormat::ListDisc);
    QCOMPARE(SaveRichText(reopened), rtf);
  }

  // The block format helpers give the model's indents for the ruler and
  // put them back, inside a list too.
  void BlockFormatHelpersRoundTrip() {
    QTextDocument text;
    QTextCursor cursor(&text);
    cursor.insertText("a");
    cursor.createList(ListFormatFor(RichListStyle::kDecimal));
    RichParagraphFormat f = ParagraphFormatOf(cursor.block());
    QCOMPARE(f.list, RichListStyle::kDecimal);
    f.left_indent = 900;
    f.first_indent = -300;
    f.space_after = 60;
    cursor.mergeBlockFormat(BlockFormatFor(f, text));
    QVERIFY(cursor.block().textList() != nullptr);
    QCOMPARE(ParagraphFormatOf(cursor.block()), f);
  }

  void PlainTextFilesLoadWithTheEditorsFont() {
    QTextDocument text;
    text.setDefaultFont(QFont(QString::fromUtf8("ＭＳ Ｐゴシック"), 12));
    LoadRichText(Utf8ToCp932("一行目\r\n二行目"), &text);
    QCOMPARE(text.toPlainText(), QString::fromUtf8("一行目\n二行目"));
    RichDocument doc = FromTextDocument(text);
    QCOMPARE(doc.paragraphs[1].runs[0].format, Format("ＭＳ Ｐゴシック", 24));
    QCOMPARE(doc.paragraphs[1].runs[0].format.color, std::nullopt);

    // Broken RTF comes in as its text, never as nothing.
    std::string broken = "{\\rtf1 \\" + std::string(40, 'x') + "}";
    LoadRichText(broken, &text);
    QCOMPARE(text.toPlainText(), QString::fromStdString(broken));
  }
};

}  // namespace mirokata

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  mirokata::TextDocumentRtfTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "text_document_rtf_qt_test.moc"
