// Find and replace over an editor's document.
#include "richtext/text_find.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace mirokata {

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

// The selected text of a hit.
QString TextAt(const QTextDocument& document, const TextHit& hit) {
  QTextCursor cursor(const_cast<QTextDocument*>(&document));
  cursor.setPosition(hit.position);
  cursor.setPosition(hit.position + hit.length, QTextCursor::KeepAnchor);
  return cursor.selectedText();
}

}  // namespace

class TextFindTest : public QObject {
  Q_OBJECT

 private slots:
  void FindsByDocumentPosition_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("position");  // -1: nothing
    QTest::addColumn<bool>("sensitive");
    // Positions count one per paragraph break, not CR LF's two.
    QTest::newRow("third line")
        << U("一行目\n二行目\n三行目の雨") << U("雨") << 0 << 12 << true;
    QTest::newRow("from after a hit")
        << U("雨と雨\n雨") << U("雨") << 1 << 2 << true;
    QTest::newRow("next line") << U("雨と雨\n雨") << U("雨") << 3 << 4 << true;
    QTest::newRow("case matters")
        << U("Rain rain") << U("rain") << 0 << 5 << true;
    QTest::newRow("case ignored")
        << U("Rain rain") << U("rain") << 0 << 0 << false;
    QTest::newRow("not across lines")
        << U("晴\nれ") << U("晴れ") << 0 << -1 << true;
    QTest::newRow("empty text") << U("abc") << U("") << 0 << -1 << true;
    QTest::newRow("past the end") << U("abc") << U("c") << 99 << -1 << true;
    QTest::newRow("negative start") << U("abc") << U("a") << -5 << 0 << true;
    QTest::newRow("outside the BMP") << U("😀晴😀") << U("😀") << 1 << 3 << true;
  }
  void FindsByDocumentPosition() {
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, from);
    QFETCH(int, position);
    QFETCH(bool, sensitive);
    QTextDocument document(text);
    std::optional<TextHit> hit =
        FindText(document, what, from,
                 sensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
    if (position < 0) {
      QVERIFY(!hit);
      return;
    }
    QVERIFY(hit);
    QCOMPARE(hit->position, position);
    QCOMPARE(TextAt(document, *hit).toCaseFolded(), what.toCaseFolded());
  }

  // The find dialog's search goes line by line from the line after the
  // last hit; a line's second hit is never found.
  void LineFindGoesLineByLine() {
    QTextDocument document(U("晴 晴\n曇\n雨と晴\n晴"));
    LineFind find;
    QCOMPARE(find.Next(document, U("晴")), (TextHit{0, 1}));
    QCOMPARE(find.Next(document, U("晴")), (TextHit{8, 1}));
    QCOMPARE(find.Next(document, U("晴")), (TextHit{10, 1}));
    QVERIFY(!find.Next(document, U("晴")));
    QVERIFY(!find.Next(document, U("晴")));  // stays at the end
    // Another text starts at the first line again.
    QCOMPARE(find.Next(document, U("曇")), (TextHit{4, 1}));
    QCOMPARE(find.Next(document, U("晴")), (TextHit{0, 1}));
    // So does the dialog opening again.
    find.Restart();
    QCOMPARE(find.Next(document, U("晴")), (TextHit{0, 1}));

    // Hits only on one line: the second find finds nothing.
    QTextDocument one(U("雨 雨 雨\n晴"));
    LineFind again;
    QCOMPARE(again.Next(one, U("雨")), (TextHit{0, 1}));
    QVERIFY(!again.Next(one, U("雨")));
    // Case matters.
    QVERIFY(!again.Next(one, U("RAIN")));
  }

  void ReplaceFirstKeepsTheFormat() {
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(U("今日は "));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(U("晴"), bold);
    cursor.insertText(U(" 晴"), QTextCharFormat());
    std::optional<TextHit> hit = ReplaceFirst(&document, U("晴"), U("曇り"));
    QCOMPARE(hit, (TextHit{4, 2}));
    QCOMPARE(document.toPlainText(), U("今日は 曇り 晴"));
    QTextCursor check(&document);
    check.setPosition(6);
    QCOMPARE(check.charFormat().fontWeight(), int(QFont::Bold));
    check.setPosition(4);  // the plain character before it
    QCOMPARE(check.charFormat().fontWeight(), int(QFont::Normal));
    QVERIFY(!ReplaceFirst(&document, U("雪"), U("x")));
    QCOMPARE(document.toPlainText(), U("今日は 曇り 晴"));
  }

  void ReplaceAllEnds_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("with");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("count");
    QTest::newRow("simple")
        << U("a b a\na") << U("a") << U("x") << U("x b x\nx") << 3;
    QTest::newRow("replacement contains the text")
        << U("雨 雨") << U("雨") << U("大雨") << U("大雨 大雨") << 2;
    QTest::newRow("replacement repeats the text")
        << U("aa") << U("a") << U("aa") << U("aaaa") << 2;
    QTest::newRow("overlapping")
        << U("aaa") << U("aa") << U("b") << U("ba") << 1;
    QTest::newRow("to nothing")
        << U("a-b-c") << U("-") << U("") << U("abc") << 2;
    QTest::newRow("nothing found")
        << U("abc") << U("z") << U("y") << U("abc") << 0;
    QTest::newRow("empty text") << U("abc") << U("") << U("y") << U("abc") << 0;
  }
  void ReplaceAllEnds() {
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(QString, with);
    QFETCH(QString, result);
    QFETCH(int, count);
    QTextDocument document(text);
    QCOMPARE(ReplaceAll(&document, what, with), count);
    QCOMPARE(document.toPlainText(), result);
    if (count > 0) {
      // One undo step brings the text back.
      document.undo();
      QCOMPARE(document.toPlainText(), text);
    }
  }
};

}  // namespace mirokata

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  mirokata::TextFindTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "text_find_test.moc"
