// The diary's page window, month list, search window and command over fake
// services and a real diary folder.
#include <sys/stat.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/settings_file.h"
#include "notes/diary_module.h"
#include "notes/diary_page.h"
#include "notes/diary_store.h"
#include "notes/ui/diary_list_window.h"
#include "notes/ui/diary_window.h"
#include "platform/testing/fake_desktop.h"
#include "richtext/text_document_rtf_qt.h"
#include "richtext/ui/rich_text_editor.h"
#include "support/fake_command_host.h"
#include "support/fake_world.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

QString BodyText(const DiaryPage& page) {
  QTextDocument document;
  LoadRichText(page.body, &document);
  return document.toPlainText();
}

QPushButton* Button(QWidget* window, const char* caption) {
  for (QPushButton* b : window->findChildren<QPushButton*>()) {
    if (b->accessibleName() == U(caption)) return b;
  }
  return nullptr;
}

// Today is Thursday 2026-12-10; the privacy folder is the data folder.
struct World : FakeDataWorld {
  World() { folder = *EnsureDiaryFolder(settings, messages); }
  Services Context() {
    Services c = FakeDataWorld::Context();
    c.screen = &screen;
    return c;
  }
  std::string PagePath(const CivilDate& date) const {
    return folder + "/" + DiaryPageName(date);
  }
  void PutPage(const CivilDate& date, const std::string& title,
               const std::string& weather, const std::string& body) {
    DiaryPage page;
    page.header.title = title;
    page.header.weather = weather;
    page.body = body;
    std::ofstream(PagePath(date), std::ios::binary) << DiaryPageBytes(page);
  }
  DiaryPage Page(const CivilDate& date) const {
    return ParseDiaryPage(Read(PagePath(date))).page;
  }
  std::string folder;
  FakeScreen screen;
};

// The date part of rows and captions in the test's locale.
QString Day(const CivilDate& date) {
  return QString::fromStdString(DiaryDateText(date, LocaleShortWeekdayNames()));
}

constexpr CivilDate kToday{2026, 12, 10};

int DiaryWindows() {
  int count = 0;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (qobject_cast<DiaryWindow*>(top) && top->isVisible()) ++count;
  }
  return count;
}

}  // namespace

class DiaryWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void TodaysPageIsWrittenPrivatelyWhenClosed() {
    World w;
    QPointer<DiaryWindow> window =
        new DiaryWindow(w.Context(), w.folder, kToday);
    window->show();
    QCOMPARE(window->windowTitle(), Day(kToday) + U("の日記"));
    QCOMPARE(window->title_field()->text(), Day(kToday) + U("の日記"));
    QVERIFY(!window->modified());
    window->editor()->setFocus();
    QTest::keyClicks(window->editor(), "walked to the river");
    QTest::mouseClick(Button(window, "晴"), Qt::LeftButton);
    QTest::mouseClick(Button(window, "後"), Qt::LeftButton);
    QTest::mouseClick(Button(window, "雨"), Qt::LeftButton);
    QVERIFY(window->close());
    FlushEvents();
    QVERIFY(window.isNull());
    QCOMPARE(ModeOf(w.folder), mode_t{0700});
    QCOMPARE(ModeOf(w.PagePath(kToday)), mode_t{0600});
    const DiaryPage page = w.Page(kToday);
    QCOMPARE(page.header.weather, std::string("晴 のち 雨"));
    QCOMPARE(page.header.title, (Day(kToday) + U("の日記")).toStdString());
    QCOMPARE(BodyText(page), U("walked to the river"));
  }

  void PrintedLinesNameThePage() {
    World w;
    auto* window = new DiaryWindow(w.Context(), w.folder, kToday);
    window->show();
    window->AddWeather(U("雨"));
    const QStringList lines = window->PrintHeaderLines();
    QCOMPARE(lines,
             (QStringList{U("【") + Day(kToday) + U("の日記】"),
                          U("【タイトル：") + Day(kToday) + U("の日記】"),
                          U("【天気：雨】"), QString()}));
    window->close();
    FlushEvents();
  }

  void UnchangedPagesAreNeverWritten() {
    World w;
    // A new page closed untouched, and a page read and closed untouched.
    auto* fresh = new DiaryWindow(w.Context(), w.folder, kToday);
    fresh->show();
    QVERIFY(fresh->close());
    QVERIFY(!std::filesystem::exists(w.PagePath(kToday)));
    w.PutPage({2026, 12, 1}, "x", "y", "body\r\n");
    const std::string before = Read(w.PagePath({2026, 12, 1}));
    auto* old = new DiaryWindow(w.Context(), w.folder, {2026, 12, 1});
    old->show();
    QVERIFY(old->delete_button()->isEnabled());
    QVERIFY(old->close());
    FlushEvents();
    QCOMPARE(Read(w.PagePath({2026, 12, 1})), before);
  }

  void FailedSaveKeepsTheWindowAndTheText() {
    World w;
    QPointer<DiaryWindow> window =
        new DiaryWindow(w.Context(), w.folder, kToday);
    window->show();
    QTest::keyClicks(window->editor(), "keep me");
    // Something in the way of the page's name.
    std::filesystem::create_directories(w.PagePath(kToday) + "/inside");
    QVERIFY(!window->close());
    FlushEvents();
    QVERIFY(!window.isNull());
    QCOMPARE(window->editor()->toPlainText(), U("keep me"));
    const std::string said = w.messages.texts().back();
    QVERIFY2(
        said.rfind("保存できません。\r" + w.PagePath(kToday) + "\r", 0) == 0,
        said.c_str());
    // Clearing the way lets the next close save.
    std::filesystem::remove_all(w.PagePath(kToday));
    QVERIFY(window->close());
    FlushEvents();
    QCOMPARE(BodyText(w.Page(kToday)), U("keep me"));
  }

  void CancelledExportKeepsTheEditsForTheClose() {
    World w;
    QPointer<DiaryWindow> window =
        new DiaryWindow(w.Context(), w.folder, kToday);
    window->show();
    QTest::keyClicks(window->editor(), "after export");
    window->Export();
    QVERIFY(window->export_dialog() != nullptr);
    window->export_dialog()->reject();
    FlushEvents();
    QVERIFY(window->close());
    FlushEvents();
    QCOMPARE(BodyText(w.Page(kToday)), U("after export"));
  }

  void WrittenExportStopsTheSave() {
    World w;
    QPointer<DiaryWindow> window =
        new DiaryWindow(w.Context(), w.folder, kToday);
    window->show();
    QTest::keyClicks(window->editor(), "exported");
    window->Export();
    const std::string target = w.dir / "out.JNL";
    emit window->export_dialog()->fileSelected(QString::fromStdString(target));
    FlushEvents();
    FlushEvents();
    QVERIFY(window.isNull());
    QVERIFY(!std::filesystem::exists(w.PagePath(kToday)));
    const std::string bytes = Read(target);
    QVERIFY(bytes.find(":END\r\nexported") != std::string::npos);
    QVERIFY(bytes.find("CODE:RTF") == std::string::npos);
  }

  void RefusedPagesCloseWithoutWriting() {
    World w;
    const std::string bytes = "TITLE:t\r\nYOV_LEFT:abc\r\n:END\r\nbody";
    std::ofstream(w.PagePath(kToday), std::ios::binary) << bytes;
    QPointer<DiaryWindow> window =
        new DiaryWindow(w.Context(), w.folder, kToday);
    window->show();
    FlushEvents();
    FlushEvents();
    QVERIFY(window.isNull());
    QCOMPARE(Read(w.PagePath(kToday)), bytes);
    QCOMPARE(w.messages.texts().back(),
             std::string("｢YOV_LEFT:abc｣は正しい数値ではないので中断します。"));
  }

  void ReadOnlyPagesShowTheMark() {
    World w;
    std::ofstream(w.PagePath(kToday), std::ios::binary)
        << "title:Tokyo\r\nyov_readonly:true\r\nMOOD:good\r\n:END\r\ntext";
    auto* window = new DiaryWindow(w.Context(), w.folder, kToday);
    window->show();
    QVERIFY(window->read_only());
    QVERIFY(window->editor()->isReadOnly());
    QCOMPARE(window->windowTitle(), Day(kToday) + U("の日記 (RO)"));
    QCOMPARE(window->title_field()->text(), U("Tokyo"));
    // The title stays editable; the unknown line goes back on saving.
    window->title_field()->setText(U("Osaka"));
    emit window->title_field()->textEdited(U("Osaka"));
    QVERIFY(window->close());
    FlushEvents();
    const DiaryPage page = w.Page(kToday);
    QCOMPARE(page.header.title, std::string("Osaka"));
    QVERIFY(page.header.read_only);
    QCOMPARE(page.header.other_lines, std::vector<std::string>{"MOOD:good"});
  }

  void StoredPlacementIsKeptOnTheScreen() {
    World w;
    w.settings.Batch([](SettingsBatch& b) {
      b.WriteInteger("Nikki", "left", -500);
      b.WriteInteger("Nikki", "top", 100000);
    });
    auto* window = new DiaryWindow(w.Context(), w.folder, kToday);
    w.screen.SetGeometry({0, 0, 800, 600}, {0, 0, 800, 570});
    window->show();
    QCOMPARE(window->x(), 0);
    QCOMPARE(window->y() + window->height(), 570);
    window->close();
    // A page's own placement is kept on the screen too.
    std::ofstream(w.PagePath({2026, 12, 1}), std::ios::binary)
        << "TITLE:t\r\nYOV_LEFT:5000\r\nYOV_WIDTH:2147483647\r\n:END\r\n";
    auto* page = new DiaryWindow(w.Context(), w.folder, {2026, 12, 1});
    page->show();
    QCOMPARE(page->x(), 0);
    QCOMPARE(page->width(), 800);
    page->close();
    FlushEvents();
  }

  void LeapFebruaryListsEveryDayWithItsCount() {
    World w;
    w.PutPage({2024, 2, 3}, "three", "", "");
    w.PutPage({2024, 2, 29}, "leap", "", "");
    std::ofstream(w.PagePath({2024, 2, 5}), std::ios::binary) << "no end";
    std::ofstream(w.folder + "/ni240207.day", std::ios::binary) << "old\r\n";
    auto* list = new DiaryListWindow(w.Context(), w.folder);
    list->show();
    QCOMPARE(list->year_field()->value(), 2026);
    QCOMPARE(list->month_field()->value(), 12);
    QCOMPARE(list->list()->currentRow(), 9);  // today
    list->SetMonth(2024, 2);
    QCOMPARE(list->list()->count(), 29);
    QCOMPARE(list->list()->item(28)->text(), Day({2024, 2, 29}) + U(" : leap"));
    QCOMPARE(list->list()->item(4)->text(),
             Day({2024, 2, 5}) + U(" : ファイル内容不正!!"));
    QCOMPARE(list->list()->item(6)->text(),
             Day({2024, 2, 7}) + U(" : 【old】"));
    QCOMPARE(list->progress()->toolTip(),
             U("月あたり\r日記の記入状況 3件(10%)"));
    // Past rows: white on the active caption colour by default.
    QCOMPARE(list->list()->item(0)->foreground().color(), QColor(Qt::white));
    // Fields hold only real years and months.
    list->year_field()->setValue(0);
    list->month_field()->setValue(13);
    QCOMPARE(list->year_field()->value(), 1);
    QCOMPARE(list->month_field()->value(), 12);
    QVERIFY(list->close());
    FlushEvents();
  }

  void OneWindowPerDateReadOnlyToo() {
    World w;
    std::ofstream(w.PagePath({2026, 12, 2}), std::ios::binary)
        << "TITLE:ro\r\nYOV_READONLY:TRUE\r\n:END\r\n";
    auto* list = new DiaryListWindow(w.Context(), w.folder);
    list->show();
    for (const CivilDate date : {kToday, CivilDate{2026, 12, 2}}) {
      const int before = DiaryWindows();
      QListWidgetItem* item = list->list()->item(date.day - 1);
      const QRect at = list->list()->visualItemRect(item);
      QTest::mouseClick(list->list()->viewport(), Qt::LeftButton, {},
                        at.center());
      QTest::mouseDClick(list->list()->viewport(), Qt::LeftButton, {},
                         at.center());
      DiaryWindow* first = list->WindowOf(date);
      QVERIFY(first != nullptr);
      QCOMPARE(list->OpenDay(date), first);
      QCOMPARE(DiaryWindows(), before + 1);
    }
    QVERIFY(list->WindowOf({2026, 12, 2})->read_only());
    QVERIFY(list->close());
    FlushEvents();
  }

  void ListCloseStopsWhenAPageCannotBeSaved() {
    World w;
    QPointer<DiaryListWindow> list = new DiaryListWindow(w.Context(), w.folder);
    list->show();
    QPointer<DiaryWindow> page = list->OpenDay(kToday);
    QTest::keyClicks(page->editor(), "unsaved");
    std::filesystem::create_directories(w.PagePath(kToday) + "/inside");
    QVERIFY(!list->close());
    FlushEvents();
    QVERIFY(!list.isNull());
    QVERIFY(!page.isNull());
    std::filesystem::remove_all(w.PagePath(kToday));
    QVERIFY(list->close());
    FlushEvents();
    QVERIFY(list.isNull());
    QVERIFY(page.isNull());
    QCOMPARE(BodyText(w.Page(kToday)), U("unsaved"));
  }

  void SearchJumpSelectsTheHit() {
    World w;
    w.PutPage({2024, 5, 3}, "holiday", "",
              "first line\r\nthe lake was calm\r\n");
    w.PutPage({2024, 7, 1}, "lake trip", "", "x\r\n");
    w.PutPage({2025, 1, 1}, "lake", "", "");
    auto* list = new DiaryListWindow(w.Context(), w.folder);
    list->show();
    DiarySearchWindow* search = list->OpenSearch();
    // A range given backwards runs forwards.
    search->range_field(0)->setValue(2024);
    search->range_field(1)->setValue(12);
    search->range_field(2)->setValue(2024);
    search->range_field(3)->setValue(3);
    search->word_field()->setText(U("lake"));
    QTest::keyClick(search->word_field(), Qt::Key_Return);
    QCOMPARE(search->results()->count(), 2);
    QCOMPARE(search->results()->item(0)->text(),
             Day({2024, 5, 3}) + U(" : 【本文】holiday"));
    QCOMPARE(search->results()->item(1)->text(),
             Day({2024, 7, 1}) + U(" : 【題名】lake trip"));
    QCOMPARE(search->status(), U("日記を検索します。"));
    search->Jump(0);
    QCOMPARE(list->year_field()->value(), 2024);
    QCOMPARE(list->month_field()->value(), 5);
    QCOMPARE(list->list()->currentRow(), 2);
    DiaryWindow* page = list->WindowOf({2024, 5, 3});
    QVERIFY(page != nullptr);
    QCOMPARE(page->editor()->textCursor().selectedText(), U("lake"));
    // A title hit moves the list only.
    search->Jump(1);
    QCOMPARE(list->month_field()->value(), 7);
    QCOMPARE(list->list()->currentRow(), 0);
    QVERIFY(list->WindowOf({2024, 7, 1}) == nullptr);
    QVERIFY(list->close());
    FlushEvents();
    QCOMPARE(w.settings.ReadInteger("Nikki", "Serch_open", 0), 1);
    QCOMPARE(w.settings.ReadString("Nikki", "Serch_String", ""),
             std::string("lake"));
  }

  void CommandOpensTheListAfterThePassword() {
    World w;
    std::filesystem::remove_all(w.folder);
    FakeCommandHost commands;
    Services context = w.Context();
    std::function<void()> pending;
    InstallDiary(context, commands,
                 {[] { return true; },
                  [&pending](std::function<void()> go_on) {
                    pending = std::move(go_on);
                  }});
    const QWidgetList before = QApplication::topLevelWidgets();
    commands.RunCommand(Command::kDiaryList);
    // Nothing opens before the password is passed.
    QVERIFY(commands.opened.empty());
    QVERIFY(pending);
    pending();
    QCOMPARE(commands.opened, std::vector<std::string>{"diary"});
    QCOMPARE(ModeOf(w.folder), mode_t{0700});
    int lists = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      auto* list = qobject_cast<DiaryListWindow*>(top);
      if (list && !before.contains(top)) {
        ++lists;
        list->close();
      }
    }
    QCOMPARE(lists, 1);
    FlushEvents();
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::DiaryWindowsTest)
#include "diary_windows_uitest.moc"
