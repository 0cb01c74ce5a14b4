// The schedule list over a temporary data folder and a fake clock
// (Thursday 2026-12-10 10:30): what a build shows, the stored settings,
// the export with its question and its failure, the printout's colours,
// closing under open dialogs, and the commands that open and rebuild it.
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/entry_changes.h"
#include "base/tick_events.h"
#include "platform/color/color_value.h"
#include "platform/file_io.h"
#include "platform/testing/fake_desktop.h"
#include "platform/text_codec.h"
#include "schedule/schedule_list.h"
#include "schedule/schedule_list_module.h"
#include "schedule/ui/schedule_list_window.h"
#include "support/fake_command_host.h"
#include "support/fake_world.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

class ScheduleListWindowTest : public QObject {
  Q_OBJECT

  struct World : FakeDataWorld {
    // Entry text as the editors write it.
    void Put(const std::string& name, const std::string& text) {
      FakeDataWorld::Put(name, Utf8ToCp932(text));
    }
    ScheduleListWindow* Make() {
      ScheduleListHost host;
      host.commands = &commands;
      host.main_frame = [] { return QRect(300, 0, 250, 200); };
      return new ScheduleListWindow(Context(), host);
    }
    int Count(const std::string& cue) {
      return int(std::count(sound.cues().begin(), sound.cues().end(), cue));
    }

    FakeCommandHost commands;
  };

 private slots:
  void ShowingBuildsTheRangeIntoThreePanes() {
    World w;
    w.settings.WriteInteger("Sch_List", "mae", 1);
    w.settings.WriteInteger("Sch_List", "ato", 1);
    w.settings.WriteInteger("To_do", "PastColor", 0x0000FF);
    w.Put("____1209.26", "昨日");
    w.Put("____1210.26", "今日");
    w.Put("____1211.26", "明日");
    QPointer<ScheduleListWindow> window = w.Make();
    window->show();
    QCOMPARE(w.Count("ope"), 1);
    QCOMPARE(window->width(), 250);
    QCOMPARE(window->windowTitle(),
             QString::fromStdString(window->list().caption));
    QVERIFY(window->windowTitle().startsWith(U("2026/12/09 (")));
    QVERIFY(window->windowTitle().contains(U("～2026/12/11 (")));
    QVERIFY(window->pane_text(kPastPane).contains(U("昨日")));
    QVERIFY(window->pane_text(kTodayPane).contains(U("〔本日〕\n今日")));
    QVERIFY(window->pane_text(kFuturePane).contains(U("明日")));
    QCOMPARE(window->pane(kPastPane)->palette().color(QPalette::Text),
             QColor(Qt::red));
    // The build disables "一覧" until a box changes.
    QVERIFY(!window->build_enabled());
    QVERIFY(!window->today_enabled());
    window->SetDays(0, 0);
    QVERIFY(window->build_enabled());
    window->Build();
    QCOMPARE(window->pane_text(kPastPane), QString());
    QCOMPARE(w.settings.ReadInteger("Sch_List", "mae", -1), 0);
    window->close();
    FlushEvents();
    QVERIFY(!window);
    QCOMPARE(w.Count("clo"), 1);
  }

  void StoredValuesAreClampedAndPanesThatDoNotFitAreEqual() {
    World w;
    w.settings.WriteInteger("Sch_List", "mae", 500);
    w.settings.WriteInteger("Sch_List", "ato", -3);
    w.settings.WriteInteger("Sch_List", "Height", 600);
    w.settings.WriteInteger("Sch_List", "PastHeight", 5000);
    w.settings.WriteInteger("Sch_List", "TodayHeight", 80);
    QPointer<ScheduleListWindow> window = w.Make();
    window->show();
    QCOMPARE(window->days_before(), 99);
    QCOMPARE(window->days_after(), 0);
    const std::array<int, 3> equal = window->pane_heights();
    QCOMPARE(equal[0], equal[1]);
    QVERIFY(equal[2] >= equal[0]);
    window->close();
    FlushEvents();
    // Heights that fit come back as stored.
    QCOMPARE(w.settings.ReadInteger("Sch_List", "Height", 0), 600);
    w.settings.WriteInteger("Sch_List", "PastHeight", 70);
    w.settings.WriteInteger("Sch_List", "TodayHeight", 90);
    window = w.Make();
    window->show();
    QCOMPARE(window->pane_heights()[0], 70);
    QCOMPARE(window->pane_heights()[1], 90);

    // The upper bar dropped onto the lower one: the past pane takes half
    // of the height down to the today pane's bottom, less 2 pixels.
    auto* splitter = window->findChild<QSplitter*>();
    const int handle = splitter->handleWidth();
    const int squeezed = window->pane(kTodayPane)->minimumSizeHint().height();
    splitter->setSizes({200, squeezed, splitter->height()});
    const std::array<int, 3> pushed = window->pane_heights();
    QCOMPARE(pushed[1], squeezed);
    emit splitter->splitterMoved(pushed[0], 1);
    const int bottom = pushed[0] + handle + pushed[1];
    QCOMPARE(window->pane_heights()[0], bottom / 2 - 2);
    QCOMPARE(window->pane_heights()[1], bottom - (bottom / 2 - 2) - handle);
    // The lower bar dropped onto the upper one: three equal panes.
    splitter->setSizes({100, squeezed, splitter->height()});
    emit splitter->splitterMoved(100 + handle + squeezed, 2);
    QCOMPARE(window->pane_heights()[0], window->pane_heights()[1]);
    QVERIFY(window->pane_heights()[0] > squeezed);
    // A window too short for the panes it had: equal panes again.
    splitter->setSizes({300, 150, splitter->height()});
    window->resize(window->width(), 380);
    FlushEvents();
    QCOMPARE(window->pane_heights()[0], window->pane_heights()[1]);
    window->resize(window->width(), 600);
    splitter->setSizes({70, 90, splitter->height()});
    window->close();
    FlushEvents();
    QCOMPARE(w.settings.ReadInteger("Sch_List", "PastHeight", 0), 70);
    QCOMPARE(w.settings.ReadInteger("Sch_List", "TodayHeight", 0), 90);
  }

  void AnInvalidStartDateLowersTheDay() {
    World w;
    std::unique_ptr<ScheduleListWindow> window(w.Make());
    window->SetStartDate({2026, 2, 31});
    QCOMPARE(window->start_date().day, 28);
    QVERIFY(window->today_enabled());
    window->SetStartDate({12000, 4, 31});
    QCOMPARE(window->start_date().year, 9999);
    QCOMPARE(window->start_date().day, 30);
    window->SetDays(0, 99);
    window->Build();  // past the last day: stops there
    QCOMPARE(window->list().range.last.year, 9999);
    window->BackToToday();
    QVERIFY(!window->today_enabled());
  }

  void ButtonsRunTheEditorsCommands() {
    World w;
    std::unique_ptr<ScheduleListWindow> window(w.Make());
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
      if (b->toolTip() == U("ポップアップ")) b->click();
    }
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
      if (b->toolTip() == U("スケジュール")) b->click();
    }
    QCOMPARE(w.commands.runs, (std::vector<Command>{Command::kPopupEditor,
                                                    Command::kScheduleEditor}));
    // Every control says what it is.
    for (QWidget* c : window->findChildren<QWidget*>()) {
      if (qobject_cast<QAbstractButton*>(c) || qobject_cast<QSpinBox*>(c) ||
          qobject_cast<QTextEdit*>(c) || qobject_cast<QLabel*>(c) ||
          qobject_cast<QSplitter*>(c)) {
        QVERIFY2(!c->accessibleName().isEmpty(), c->metaObject()->className());
      }
    }
  }

  void PaneMenuActsOnThePaneItWasOpenedOn() {
    World w;
    w.Put("____1210.26", "今日");
    w.Put("____1211.26", "明日");
    QPointer<ScheduleListWindow> window = w.Make();
    window->SetDays(0, 1);
    window->show();
    QTextEdit* future = window->pane(kFuturePane);
    emit future->customContextMenuRequested(QPoint(5, 5));
    QMenu* menu = nullptr;
    for (QMenu* m : window->findChildren<QMenu*>()) {
      if (m->isVisible()) menu = m;
    }
    QVERIFY(menu);
    QStringList captions;
    QAction* select_all = nullptr;
    QAction* close = nullptr;
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      captions << a->text();
      if (a->text() == U("すべてを選択(&S)")) select_all = a;
      if (a->text() == U("閉じる")) close = a;
    }
    QCOMPARE(captions,
             QStringList({U("コピー(&C)"), U("すべてを選択(&S)"),
                          U("テキスト出力"), U("印刷"), U("閉じる")}));
    select_all->trigger();
    menu->hide();
    QVERIFY(future->textCursor().hasSelection());
    QCOMPARE(future->textCursor().selectedText(),
             future->toPlainText().replace('\n', QChar::ParagraphSeparator));
    QVERIFY(!window->pane(kTodayPane)->textCursor().hasSelection());
    close->trigger();
    FlushEvents();
    QVERIFY(!window);
  }

  void ExportWritesCodePage932AndAsksBeforeOverwriting() {
    World w;
    w.Put("____1210.26", "会議");
    std::unique_ptr<ScheduleListWindow> window(w.Make());
    window->SetDays(0, 0);
    window->Build();

    window->Export();
    QFileDialog* dialog = window->save_dialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->selectedFiles().value(0),
             QString::fromStdString(w.dir / "TODOLIST.TXT"));
    QVERIFY(dialog->nameFilters().join(";").contains("*.TXT *.txt"));
    dialog->reject();
    FlushEvents();

    const std::string path = w.dir / "TODOLIST.TXT";
    window->ExportTo(QString::fromStdString(path));
    const std::string expected = ListExportBytes(window->list(), w.clock.Now());
    QCOMPARE(ReadAll(path), expected);
    QVERIFY(expected.find("\x89\xEF\x8B\x63\r\n") != std::string::npos);
    struct stat info {};
    QCOMPARE(::stat(path.c_str(), &info), 0);
    QCOMPARE(info.st_mode & 0777, PublicFileMode());

    // Asked, answered No: the file stays; Yes: it is replaced.
    std::ofstream(path) << "keep";
    w.messages.QueueAnswer(MessageAnswer::kNo);
    window->ExportTo(QString::fromStdString(path));
    QCOMPARE(w.messages.AnswerPending(), 1);
    QCOMPARE(ReadAll(path), std::string("keep"));
    QVERIFY(w.messages.texts().back().find("上書きしますか") !=
            std::string::npos);
    w.messages.QueueAnswer(MessageAnswer::kYes);
    window->ExportTo(QString::fromStdString(path));
    QCOMPARE(w.messages.AnswerPending(), 1);
    QCOMPARE(ReadAll(path), expected);

    // A folder that is not there: said, with the reason.
    w.messages.Clear();
    window->ExportTo(QString::fromStdString(w.dir / "none/TODOLIST.TXT"));
    QCOMPARE(w.messages.shown().size(), size_t(1));
    QVERIFY(!w.messages.shown()[0].modal);
    const std::string text = w.messages.texts()[0];
    QVERIFY(text.find("テキスト出力できませんでした。") != std::string::npos);
    QVERIFY(text.size() >
            std::string("テキスト出力できませんでした。\r").size() +
                (w.dir / "none/TODOLIST.TXT").size() + 1);
  }

  void ThePrintoutIsBlackOnWhite() {
    World w;
    w.Put("____1210.26", "会議");
    std::unique_ptr<ScheduleListWindow> window(w.Make());
    window->SetDays(1, 1);
    window->Build();
    // The panes are white on dark colours by default.
    QCOMPARE(window->pane(kTodayPane)->palette().color(QPalette::Text),
             QColor(Qt::white));
    const std::unique_ptr<QTextDocument> doc = window->PrintDocument();
    QCOMPARE(doc->toPlainText(), QString::fromStdString(ListDocumentText(
                                     window->list(), w.clock.Now())));
    QCOMPARE(doc->rootFrame()->frameFormat().background().color(),
             QColor(Qt::white));
    int fragments = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        ++fragments;
        // Set, not left to whatever palette paints the document.
        QCOMPARE(it.fragment().charFormat().foreground().style(),
                 Qt::SolidPattern);
        QCOMPARE(it.fragment().charFormat().foreground().color(),
                 QColor(Qt::black));
        QVERIFY(it.fragment().charFormat().background().style() ==
                    Qt::NoBrush ||
                it.fragment().charFormat().background().color() ==
                    QColor(Qt::white));
      }
    }
    QVERIFY(fragments > 3);
  }

  // What the print dialog's accept prints, to a PDF file: the text reads
  // back, and the caption names the document.
  void PrintsToPdf() {
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
    if (pdftotext.isEmpty() || pdfinfo.isEmpty()) {
      QSKIP("poppler-utils is not installed");
    }
    World w;
    w.Put("____1210.26", "会議");
    std::unique_ptr<ScheduleListWindow> window(w.Make());
    window->SetDays(1, 1);
    window->Build();
    const QString pdf = QString::fromStdString(w.dir / "list.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    window->PrintTo(&printer);
    auto run = [](const QString& program, const QStringList& arguments) {
      QProcess process;
      process.start(program, arguments);
      process.waitForFinished(30000);
      return QString::fromUtf8(process.readAllStandardOutput());
    };
    // The font's glyphs for 日 and 月 map back to the Kangxi radicals as
    // well; NFKC folds them into the ideographs the document holds.
    const QString text =
        run(pdftotext, {pdf, "-"}).normalized(QString::NormalizationForm_KC);
    QVERIFY2(text.contains(U("Title:")), qPrintable(text));
    QVERIFY2(text.contains(U("2026年12月10日")), qPrintable(text));
    QVERIFY(text.contains(U("〔1日前〕")));
    QVERIFY(text.contains(U("〔本日〕")));
    QVERIFY(text.contains(U("会議")));
    const QString info = run(pdfinfo, {pdf});
    bool titled = false;
    for (const QString& line : info.split('\n')) {
      if (line.startsWith(U("Title:"))) {
        titled = line.mid(6).trimmed() == window->windowTitle();
      }
    }
    QVERIFY2(titled, qPrintable(info + " / " + window->windowTitle()));
  }

  void ClosingWithItsDialogsOpenIsSafe() {
    World w;
    QPointer<ScheduleListWindow> window = w.Make();
    window->show();
    window->Export();
    window->Print();
    QPointer<QFileDialog> save = window->save_dialog();
    QPointer<QPrintDialog> print = window->print_dialog();
    QVERIFY(save && save->isVisible());
    QVERIFY(print && print->isVisible());
    // And the overwrite question, answered once the window is gone.
    const std::string path = w.dir / "TODOLIST.TXT";
    std::ofstream(path) << "keep";
    w.messages.QueueAnswer(MessageAnswer::kYes);
    window->ExportTo(QString::fromStdString(path));
    window->close();
    FlushEvents();
    QVERIFY(!window);
    QVERIFY(!save);
    QVERIFY(!print);
    QCOMPARE(w.messages.AnswerPending(), 1);
    QCOMPARE(ReadAll(path), std::string("keep"));
  }

  // The desktop resizes as a border drag does, the pointer on the border;
  // the width comes back and the window has moved with the border.
  void BorderDragsMoveTheWindow_data() {
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("pointer");
    QTest::addColumn<int>("moved_left");
    QTest::newRow("left border out") << 160 << 290 << 160 << 160;
    QTest::newRow("left border in") << 240 << 210 << 240 << 240;
    QTest::newRow("right border out") << 200 << 300 << 499 << 250;
    QTest::newRow("right border in") << 200 << 180 << 379 << 130;
  }
  void BorderDragsMoveTheWindow() {
    QFETCH(int, left);
    QFETCH(int, width);
    QFETCH(int, pointer);
    QFETCH(int, moved_left);
    World w;
    QPointer<ScheduleListWindow> window = w.Make();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->setGeometry(200, 100, 250, 300);
    FlushEvents();
    QCOMPARE(window->geometry(), QRect(200, 100, 250, 300));
    QCursor::setPos(pointer, 200);
    window->setGeometry(left, 100, width, 300);
    QTRY_COMPARE(window->geometry(), QRect(moved_left, 100, 250, 300));
    // A plain move keeps the width and stays where it was put.
    window->move(20, 30);
    QTest::qWait(300);
    QCOMPARE(window->pos(), QPoint(20, 30));
    QCOMPARE(window->size(), QSize(250, 300));
    delete window;
  }

  void MaximizingTakesTheMainWindowsLeftEdgeAndGoesBack() {
    World w;
    FakeScreen screen;
    screen.SetGeometry({0, 0, 800, 600}, {0, 24, 800, 552});
    Services context = w.Context();
    context.screen = &screen;
    ScheduleListHost host;
    host.main_frame = [] { return QRect(530, 24, 250, 200); };
    QPointer<ScheduleListWindow> window = new ScheduleListWindow(context, host);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->setGeometry(100, 150, 250, 300);
    FlushEvents();
    const QRect normal = window->geometry();

    window->showMaximized();
    QTRY_COMPARE(window->frameGeometry(), QRect(530, 24, 242, 552));
    QVERIFY(!window->isMaximized());
    QCOMPARE(window->kept_width(), window->width());
    // Its width stays through a border drag, now the maximized one.
    QCursor::setPos(window->frameGeometry().left(), 300);
    const QRect maximized = window->geometry();
    window->setGeometry(maximized.adjusted(-30, 0, 0, 0));
    QTRY_COMPARE(window->frameGeometry(), QRect(500, 24, 242, 552));

    window->showMaximized();
    QTRY_COMPARE(window->geometry(), normal);
    QVERIFY(!window->isMaximized());
    QCOMPARE(window->kept_width(), 250);
    delete window;
  }

  void CommandsOpenCloseAndRebuildTheList() {
    World w;
    Services context = w.Context();
    TickEvents events;
    PreferencesPages pages;
    bool folder_ok = false;
    std::function<void()> rebuild =
        InstallScheduleList(context, w.commands, events, pages,
                            {[&folder_ok] { return folder_ok; },
                             [] { return QRect(0, 0, 260, 200); }});
    // No data folder yet: the preferences open instead (nothing here).
    w.commands.RunCommand(Command::kScheduleList);
    QVERIFY(w.commands.opened.empty());
    folder_ok = true;
    // Both may come from the tick: nothing in them runs the event loop.
    bool loop_ran = false;
    const auto queue_marker = [&loop_ran] {
      loop_ran = false;
      QMetaObject::invokeMethod(
          qApp, [&loop_ran] { loop_ran = true; }, Qt::QueuedConnection);
    };
    queue_marker();
    w.commands.RunCommand(Command::kScheduleList);
    QCOMPARE(w.commands.opened, std::vector<std::string>{"schedule_list"});
    QWidget* opened = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (qobject_cast<ScheduleListWindow*>(top)) opened = top;
    }
    QPointer<ScheduleListWindow> window =
        qobject_cast<ScheduleListWindow*>(opened);
    QVERIFY(window);
    window->show();  // as the host shows what it opens
    QVERIFY(!loop_ran);
    QCOMPARE(window->width(), 260);
    QVERIFY(!window->pane_text(kTodayPane).contains(U("追加")));

    // Entries changed: rebuilt from the event loop.
    w.Put("____1210.26", "追加");
    w.changes.Notify();
    FlushEvents();
    QVERIFY(window->pane_text(kTodayPane).contains(U("追加")));
    // The editors' hook.
    w.Put("____1210.26", "書き換え");
    rebuild();
    QVERIFY(window->pane_text(kTodayPane).contains(U("書き換え")));
    // A new day: the start date moves to today.
    window->SetStartDate({2026, 1, 1});
    w.clock.Set(2026, 12, 11, 0, 0, 1);
    FlushEvents();
    queue_marker();
    events.DateChanged();
    QVERIFY(!loop_ran);
    // Rebuilt right after the tick, not inside it.
    QCOMPARE(window->start_date().day, 1);
    FlushEvents();
    QCOMPARE(window->start_date().day, 11);
    QVERIFY(window->pane_text(kPastPane).contains(U("書き換え")));
    // A new day, and the list closes before its rebuild comes.
    events.DateChanged();
    w.commands.RunCommand(Command::kCloseScheduleList);
    FlushEvents();
    QVERIFY(!window);
    rebuild();  // nothing open: nothing happens
    w.commands.RunCommand(Command::kCloseScheduleList);
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::ScheduleListWindowTest)
#include "schedule_list_window_uitest.moc"
