// The editing widgets over real documents: the tool bar, the ruler, the
// find and replace dialogs, printing a copy, pasting, missing faces.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <string>

#include "base/settings_file.h"
#include "platform/text_codec.h"
#include "richtext/color_history.h"
#include "richtext/rtf_reader.h"
#include "richtext/text_document_rtf_qt.h"
#include "richtext/ui/find_replace_dialog.h"
#include "richtext/ui/print_copy.h"
#include "richtext/ui/rich_text_editor.h"
#include "richtext/ui/rich_text_pane.h"
#include "richtext/ui/rich_text_tool_bar.h"
#include "richtext/ui/ruler_widget.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

void Select(QTextEdit* editor, int from, int to) {
  QTextCursor c(editor->document());
  c.setPosition(from);
  c.setPosition(to, QTextCursor::KeepAnchor);
  editor->setTextCursor(c);
}

// Plain text with no format left from before (QTextEdit::setPlainText
// would keep the caret's).
void SetText(QTextEdit* editor, const QString& text) {
  editor->document()->setPlainText(text);
  editor->moveCursor(QTextCursor::Start);
}

QTextCharFormat FormatAt(QTextEdit* editor, int position) {
  QTextCursor c(editor->document());
  c.setPosition(position + 1);
  return c.charFormat();
}

}  // namespace

class RichTextUiTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TempFolder> folder_;
  std::unique_ptr<SettingsFile> settings_;

  std::unique_ptr<RichTextPane> Pane() {
    auto pane = std::make_unique<RichTextPane>(settings_.get());
    pane->resize(500, 300);
    pane->show();
    return pane;
  }

 private slots:
  void init() {
    folder_ = std::make_unique<TempFolder>();
    settings_ = std::make_unique<SettingsFile>(*folder_ / "mirokata.ini");
  }

  void ToolBarTogglesChangeOnlyTheSelection() {
    auto pane = Pane();
    RichTextEditor* editor = pane->editor();
    RichTextToolBar* bar = pane->tool_bar();
    QSignalSpy applied(bar, &RichTextToolBar::FormatApplied);
    struct Toggle {
      QAction* action;
      bool (*on)(const QTextCharFormat&);
    };
    const Toggle toggles[] = {
        {bar->bold_action(),
         [](const QTextCharFormat& f) {
           return f.fontWeight() == QFont::Bold;
         }},
        {bar->italic_action(),
         [](const QTextCharFormat& f) { return f.fontItalic(); }},
        {bar->underline_action(),
         [](const QTextCharFormat& f) { return f.fontUnderline(); }},
        {bar->strike_action(),
         [](const QTextCharFormat& f) { return f.fontStrikeOut(); }},
    };
    for (const Toggle& t : toggles) {
      SetText(editor, U("予定 会議"));
      Select(editor, 0, 2);
      QVERIFY(!t.action->isChecked());
      t.action->trigger();
      QVERIFY2(t.on(FormatAt(editor, 0)), qPrintable(t.action->toolTip()));
      QVERIFY(t.on(FormatAt(editor, 1)));
      QVERIFY(!t.on(FormatAt(editor, 3)));
      // The bar shows the caret's format.
      Select(editor, 4, 4);
      QVERIFY(!t.action->isChecked());
      Select(editor, 1, 1);
      QVERIFY(t.action->isChecked());
    }
    QCOMPARE(applied.count(), 4);

    SetText(editor, U("予定 会議"));
    Select(editor, 3, 5);
    bar->size_box()->setValue(20);
    QCOMPARE(FormatAt(editor, 3).fontPointSize(), 20.0);
    QVERIFY(FormatAt(editor, 0).fontPointSize() != 20.0);
    bar->face_box()->setCurrentFont(QFont("DejaVu Serif"));
    QCOMPARE(FormatAt(editor, 4).fontFamilies().toStringList().value(0),
             QString("DejaVu Serif"));
    const RichDocument saved = ReadRichText(editor->SaveRichText());
    QCOMPARE(saved.paragraphs[0].runs.back().format.half_points, 40);
    QCOMPARE(saved.paragraphs[0].runs.back().format.font,
             std::string("DejaVu Serif"));

    // Without a selection the format is what is typed next.
    SetText(editor, U("あ"));
    Select(editor, 1, 1);
    bar->bold_action()->trigger();
    QVERIFY(bar->bold_action()->isChecked());
    QCOMPARE(editor->currentCharFormat().fontWeight(), int(QFont::Bold));
    QTest::keyClicks(editor, "i");
    QCOMPARE(FormatAt(editor, 1).fontWeight(), int(QFont::Bold));
    QVERIFY(FormatAt(editor, 0).fontWeight() != QFont::Bold);
    QCOMPARE(editor->toPlainText(), U("あi"));

    // A read-only text takes no format.
    pane->SetReadOnly(true);
    QVERIFY(!bar->bold_action()->isEnabled());
    QVERIFY(!bar->face_box()->isEnabled());
  }

  void ListsAlignmentAndIndentReachTheRtf() {
    auto pane = Pane();
    RichTextEditor* editor = pane->editor();
    RichTextToolBar* bar = pane->tool_bar();
    SetText(editor, U("一\n二\n三"));
    Select(editor, 0, 3);  // the first two lines
    bar->numbered_action()->trigger();
    QVERIFY(bar->numbered_action()->isChecked());
    QTextBlock first = editor->document()->begin();
    QCOMPARE(first.textList()->format().style(), QTextListFormat::ListDecimal);
    QCOMPARE(first.next().textList(), first.textList());
    QVERIFY(first.next().next().textList() == nullptr);
    std::string rtf = editor->SaveRichText();
    QVERIFY2(rtf.find("{\\pntext 2.\\tab}") != std::string::npos, rtf.c_str());
    // Numbers to bullets, then off again.
    bar->bullet_action()->trigger();
    QCOMPARE(editor->document()->begin().textList()->format().style(),
             QTextListFormat::ListDisc);
    QVERIFY(!bar->numbered_action()->isChecked());
    bar->bullet_action()->trigger();
    QVERIFY(editor->document()->begin().textList() == nullptr);
    QCOMPARE(ParagraphFormatOfFirst(editor).left_indent, 0);

    Select(editor, 5, 5);
    bar->align_action(Qt::AlignHCenter)->trigger();
    QCOMPARE(editor->document()->lastBlock().blockFormat().alignment() &
                 Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    bar->indent_action()->trigger();
    rtf = editor->SaveRichText();
    QVERIFY2(rtf.find("\\qc\\li600") != std::string::npos, rtf.c_str());
    bar->outdent_action()->trigger();
    QVERIFY(editor->SaveRichText().find("\\li600") == std::string::npos);
  }

  void ColourHistoryFollowsTheChoices() {
    settings_->WriteInteger("Nikki", "Color1", 0xFF0000);
    auto pane = Pane();
    RichTextEditor* editor = pane->editor();
    RichTextToolBar* bar = pane->tool_bar();
    // Blue, then the default red of the keys not written.
    QVERIFY(bar->swatch(0)->isEnabled());
    QVERIFY(bar->swatch(1)->isEnabled());
    QVERIFY(!bar->swatch(2)->isEnabled());
    SetText(editor, U("色の付く文字"));
    Select(editor, 0, 2);
    bar->ApplyTextColor(QColor(0, 128, 0));
    QCOMPARE(FormatAt(editor, 0).foreground().color(), QColor(0, 128, 0));
    QCOMPARE(ReadColorHistory(settings_->Open()),
             (std::vector<ColorValue>{0x008000, 0xFF0000, 0x0000FF}));
    QVERIFY(bar->swatch(2)->isEnabled());
    // A swatch applies its colour and moves it to the front.
    Select(editor, 3, 4);
    bar->swatch(1)->click();
    QCOMPARE(FormatAt(editor, 3).foreground().color(), QColor(0, 0, 255));
    QCOMPARE(ReadColorHistory(settings_->Open()).front(), ColorValue(0xFF0000));
    // The colour dialog opens without blocking, on the selection's colour.
    bar->color_action()->trigger();
    QVERIFY(bar->color_dialog() != nullptr);
    QVERIFY(bar->color_dialog()->isVisible());
    QCOMPARE(bar->color_dialog()->currentColor(), QColor(0, 0, 255));
    bar->color_dialog()->setCurrentColor(QColor(1, 2, 3));
    bar->color_dialog()->accept();
    QCOMPARE(FormatAt(editor, 3).foreground().color(), QColor(1, 2, 3));
    QCOMPARE(ReadColorHistory(settings_->Open()).front(), ColorValue(0x030201));
  }

  void EveryControlHasAName() {
    auto pane = Pane();
    FindReplaceDialog::Open(pane->editor(), FindReplaceDialog::Mode::kReplace);
    QWidgetList widgets = pane->findChildren<QWidget*>();
    widgets.append(pane.get());
    for (QWidget* w : widgets) {
      const bool control =
          qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
          qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QLineEdit*>(w) ||
          qobject_cast<QTextEdit*>(w) || qobject_cast<RulerWidget*>(w);
      if (!control || qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
        continue;
      QVERIFY2(!w->accessibleName().isEmpty(),
               qPrintable(QString("%1 %2").arg(w->metaObject()->className(),
                                               w->objectName())));
    }
  }

  // Dragging a marker sets the indents of the caret's paragraph; saved and
  // loaded again, the ruler shows them where they were dropped.
  void RulerDragReachesTheRtfAndBack() {
    auto pane = Pane();
    RichTextEditor* editor = pane->editor();
    RulerWidget* ruler = pane->ruler();
    SetText(editor, U("一行目\n二行目"));
    Select(editor, 1, 1);
    QCOMPARE(ruler->markers().first, 2);
    QCOMPARE(ruler->markers().left, 2);
    QSignalSpy applied(ruler, &RulerWidget::IndentsApplied);

    auto drag = [ruler](RulerWidget::Marker marker, int to_x) {
      const QPoint from = ruler->MarkerRect(marker).center();
      QTest::mousePress(ruler, Qt::LeftButton, {}, from);
      QTest::mouseMove(ruler, QPoint(to_x, from.y()));
      QTest::mouseRelease(ruler, Qt::LeftButton, {}, QPoint(to_x, from.y()));
    };
    // First line to 30 points (40 pixels), the other lines stay.
    drag(RulerWidget::Marker::kFirst, 6 + 40);
    QCOMPARE(ruler->indents(), (RulerIndents{30, -30, 0}));
    std::string rtf = editor->SaveRichText();
    QCOMPARE(ReadRichText(rtf).paragraphs[0].format.first_indent, 600);
    QCOMPARE(ReadRichText(rtf).paragraphs[0].format.left_indent, 0);
    // Other lines to 60 points: LeftIndent is relative to the first line.
    drag(RulerWidget::Marker::kLeft, 6 + 80);
    QCOMPARE(ruler->indents(), (RulerIndents{30, 30, 0}));
    const int right_x =
        ruler->MarkerRect(RulerWidget::Marker::kRight).center().x();
    drag(RulerWidget::Marker::kRight, right_x - 20);  // 15 points in
    QCOMPARE(ruler->indents(), (RulerIndents{30, 30, 15}));
    QCOMPARE(applied.count(), 3);

    rtf = editor->SaveRichText();
    const RichDocument doc = ReadRichText(rtf);
    QCOMPARE(doc.paragraphs[0].format.first_indent, -600);
    QCOMPARE(doc.paragraphs[0].format.left_indent, 1200);
    QCOMPARE(doc.paragraphs[0].format.right_indent, 300);
    QCOMPARE(doc.paragraphs[1].format, RichParagraphFormat{});

    const RulerMarkers dropped = ruler->markers();
    auto other = Pane();
    other->editor()->LoadRichText(rtf);
    QCOMPARE(other->ruler()->markers(), dropped);
    Select(other->editor(), 5, 5);  // the second line
    QCOMPARE(other->ruler()->markers().first, 2);
    // A press beside the markers changes nothing.
    QTest::mouseClick(ruler, Qt::LeftButton, {}, QPoint(200, 5));
    QCOMPARE(applied.count(), 3);
  }

  void FindDialogSearchesLineByLinePerEditor() {
    auto pane = Pane();
    RichTextEditor* editor = pane->editor();
    SetText(editor, U("晴 晴\n曇\n雨と晴"));
    FindReplaceDialog* find =
        FindReplaceDialog::Open(editor, FindReplaceDialog::Mode::kFind);
    QCOMPARE(find->windowTitle(), U("検索"));
    QVERIFY(find->isVisible());
    QVERIFY(!find->isModal());
    QVERIFY(find->replace_box() == nullptr);
    find->find_box()->setText(U("晴"));
    find->find_next_button()->click();
    QCOMPARE(editor->textCursor().selectionStart(), 0);
    QCOMPARE(editor->textCursor().selectedText(), U("晴"));
    find->find_next_button()->click();
    QCOMPARE(editor->textCursor().selectionStart(), 8);
    find->find_next_button()->click();  // nothing left: nothing happens
    QCOMPARE(editor->textCursor().selectionStart(), 8);

    // Another editor has its own dialog and its own place.
    auto other_pane = Pane();
    RichTextEditor* other = other_pane->editor();
    SetText(other, U("晴"));
    FindReplaceDialog* other_find =
        FindReplaceDialog::Open(other, FindReplaceDialog::Mode::kFind);
    QVERIFY(other_find != find);
    other_find->find_box()->setText(U("晴"));
    other_find->find_next_button()->click();
    QCOMPARE(other->textCursor().selectedText(), U("晴"));

    // Opening again starts at the first line.
    QCOMPARE(FindReplaceDialog::Open(editor, FindReplaceDialog::Mode::kFind),
             find);
    find->find_next_button()->click();
    QCOMPARE(editor->textCursor().selectionStart(), 0);
  }

  void ReplaceDialogReplacesAndCloses() {
    auto pane = Pane();
    RichTextEditor* editor = pane->editor();
    SetText(editor, U("晴 晴\n雨と晴"));
    FindReplaceDialog* dialog =
        FindReplaceDialog::Open(editor, FindReplaceDialog::Mode::kReplace);
    QCOMPARE(dialog->windowTitle(), U("置換"));
    dialog->find_box()->setText(U("晴"));
    dialog->replace_box()->setText(U("大晴"));
    // Find-next always finds the first in the whole text.
    Select(editor, 7, 7);
    dialog->find_next_button()->click();
    QCOMPARE(editor->textCursor().selectionStart(), 0);
    dialog->replace_button()->click();
    QCOMPARE(editor->toPlainText(), U("大晴 晴\n雨と晴"));
    QVERIFY(!dialog->isVisible());

    FindReplaceDialog::Open(editor, FindReplaceDialog::Mode::kReplace);
    dialog->replace_all_button()->click();  // contains the text: ends
    QCOMPARE(editor->toPlainText(), U("大大晴 大晴\n雨と大晴"));
    QVERIFY(!dialog->isVisible());
    QVERIFY(editor->document()->isModified());

    editor->setReadOnly(true);
    FindReplaceDialog::Open(editor, FindReplaceDialog::Mode::kReplace);
    dialog->replace_all_button()->click();
    QCOMPARE(editor->toPlainText(), U("大大晴 大晴\n雨と大晴"));
  }

  void PrintingLeavesTheDocumentAlone() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
      QSKIP("pdftotext is not installed");
    RichTextEditor editor;
    editor.SetDefaultFace(U("Noto Sans CJK JP"), 10);
    editor.LoadRichText(
        "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 Noto Sans CJK "
        "JP;}}\\f0 \\'96\\'7b\\'95\\'b6\\'82\\'cc\\'88\\'ea\\'8d\\'73\\'96\\'da"
        "\\par{\\*\\pn\\pnlvlbody\\pndec}\\'82\\'a0\\par}");
    Select(&editor, 2, 4);
    const QString html = editor.document()->toHtml();
    const std::string rtf = editor.SaveRichText();

    const QString pdf = QString::fromStdString(*folder_ / "page.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    PrintDocumentCopy(*editor.document(), printer,
                      {U("【2024/05/01 (水)の日記】"), U("【タイトル：旅行】"),
                       U("【天気：晴 のち 雨】"), QString()});

    QCOMPARE(editor.document()->toHtml(), html);
    QCOMPARE(editor.SaveRichText(), rtf);
    QVERIFY(!editor.document()->isModified());
    QVERIFY(!editor.document()->isUndoAvailable());
    QCOMPARE(editor.textCursor().selectionStart(), 2);

    QProcess text;
    text.start("pdftotext", {"-enc", "UTF-8", pdf, "-"});
    QVERIFY(text.waitForFinished(30000));
    // pdftotext folds some glyphs to compatibility forms.
    const QString out = QString::fromUtf8(text.readAllStandardOutput())
                            .normalized(QString::NormalizationForm_KC);
    for (const char* expected :
         {"【2024/05/01 (水)の日記】", "【タイトル：旅行】",
          "【天気：晴 のち 雨】", "本文の一行目", "1. あ"}) {
      const QString want =
          U(expected).normalized(QString::NormalizationForm_KC);
      QVERIFY2(out.contains(want), qPrintable(want + " in " + out));
    }
    QVERIFY(out.indexOf(U("【天気")) < out.indexOf(U("本文")));
  }

  // Pasted lists keep their numbers; a missing face stays in the file.
  void PastesKeepFormattingAndFacesStay() {
    RichTextEditor editor;
    auto html = std::make_unique<QMimeData>();
    html->setHtml(U("<ol type='a'><li>一つ目</li><li>二つ目</li></ol>"));
    html->setText(U("一つ目\n二つ目"));
    QVERIFY(editor.canInsertFromMimeData(html.get()));
    editor.insertFromMimeData(html.get());
    std::string rtf = editor.SaveRichText();
    QVERIFY2(rtf.find("\\pnlcltr") != std::string::npos, rtf.c_str());
    QVERIFY(rtf.find("{\\pntext b.\\tab}") != std::string::npos);

    RichTextEditor second;
    auto rich = std::make_unique<QMimeData>();
    rich->setData("text/rtf", QByteArray::fromStdString(rtf));
    second.insertFromMimeData(rich.get());
    QCOMPARE(second.toPlainText(), editor.toPlainText());
    QCOMPARE(second.document()->begin().textList()->format().style(),
             QTextListFormat::ListLowerAlpha);

    const QString missing = U("ＭＳ Ｐゴシック");
    if (QFontDatabase::families().contains(missing))
      QSKIP("the face is installed here");
    RichTextEditor page;
    page.SetDefaultFace(missing, 9);
    page.LoadRichText(Utf8ToCp932("日記の本文"));
    const QFontInfo drawn(page.document()->defaultFont());
    QVERIFY(QFontDatabase::families().contains(drawn.family()));
    QCOMPARE(
        ReadRichText(page.SaveRichText()).paragraphs[0].runs[0].format.font,
        std::string("ＭＳ Ｐゴシック"));
  }

 private:
  static RichParagraphFormat ParagraphFormatOfFirst(QTextEdit* editor);
};

RichParagraphFormat RichTextUiTest::ParagraphFormatOfFirst(QTextEdit* editor) {
  return ReadRichText(SaveRichText(*editor->document())).paragraphs[0].format;
}

}  // namespace mirokata

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  mirokata::RichTextUiTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "richtext_ui_test.moc"
