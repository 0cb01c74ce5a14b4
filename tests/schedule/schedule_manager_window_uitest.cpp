// The schedule manager over a temporary data folder and a fake clock
// (Thursday 2026-12-10 10:30): its three lists, what a selection shows,
// deleting with and without the question, and day navigation.
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "base/entry_changes.h"
#include "base/folders.h"
#include "platform/color/color_value.h"
#include "platform/file_io.h"
#include "schedule/entry_files.h"
#include "schedule/ui/schedule_manager_window.h"
#include "support/fake_world.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

}  // namespace

class ScheduleManagerWindowTest : public QObject {
  Q_OBJECT

  struct World : FakeDataWorld {
    World() : folder(data) {}
    bool Has(const std::string& name) {
      return std::filesystem::exists(data + "/" + name);
    }
    std::string Section(const std::string& name) {
      return folder.FullPath(name);
    }
    // A window whose host records what it is asked to do.
    ScheduleManagerWindow* Make(CivilDate day = {2026, 12, 10}) {
      ScheduleManagerHost host;
      host.open_entry = [this](const std::string& name) {
        opened.push_back(name);
        return open_answer;
      };
      host.open_popup_editor = [this](const CivilDate& d) {
        popup_days.push_back(d);
      };
      host.open_schedule_editor = [this](const CivilDate& d) {
        schedule_days.push_back(d);
      };
      host.rebuild_schedule_list = [this] { ++list_rebuilds; };
      return new ScheduleManagerWindow(Context(), host, day);
    }
    std::vector<std::string> Names(const ScheduleManagerWindow* w) {
      std::vector<std::string> names;
      for (const ManagerLine& l : w->lines()) names.push_back(l.name);
      return names;
    }
    int Count(const std::string& cue) {
      return int(std::count(sound.cues().begin(), sound.cues().end(), cue));
    }

    EntryFolder folder;
    std::vector<std::string> opened;
    bool open_answer = true;
    std::vector<CivilDate> popup_days;
    std::vector<CivilDate> schedule_days;
    int list_rebuilds = 0;
  };

  static QPushButton* Button(QWidget* w, const char* hint) {
    for (QPushButton* b : w->findChildren<QPushButton*>()) {
      if (b->toolTip() == U(hint)) return b;
    }
    return nullptr;
  }

 private slots:
  // The menu's iCalendar items: the folder written out, read back into an
  // empty folder, and a file that is no iCalendar refused with a box.
  void ICalendarOutAndIn() {
    World w;
    w.Put("____1225.26", "{\\rtf1\\ansi party\\par}");
    w.Put("0900__25.__", "{\\rtf1\\ansi pay day\\par}");
    auto* window = w.Make();
    const std::string out = w.dir / "out.ics";
    window->ExportIcalendarFile(QString::fromStdString(out));
    QCOMPARE(w.messages.texts().back(), "2件を書き出しました。\r" + out);
    std::string text;
    QCOMPARE(ReadWholeFile(out, &text), ReadResult::kOk);
    QVERIFY(text.find("BEGIN:VCALENDAR") == 0);
    delete window;

    World empty;
    auto* reader = empty.Make();
    reader->ShowAll();
    reader->ImportIcalendarFile(QString::fromStdString(out));
    QVERIFY2(empty.messages.texts().back() == "2件を読み込みました。",
             empty.messages.texts().back().c_str());
    QVERIFY(empty.Has("____1225.26"));
    QVERIFY(empty.Has("0900__25.__"));
    QCOMPARE(int(reader->lines().size()), 2);
    // Read again: nothing is written over, each is named as skipped.
    reader->ImportIcalendarFile(QString::fromStdString(out));
    QVERIFY(empty.messages.texts().back().rfind(
                "0件を読み込みました。\r2件は読み込みませんでした。", 0) == 0);

    const std::string junk = empty.dir / "junk.ics";
    std::ofstream(junk) << "not a calendar";
    reader->ImportIcalendarFile(QString::fromStdString(junk));
    QVERIFY(empty.messages.texts().back().rfind(
                "iCalendarとして読めませんでした。", 0) == 0);
    reader->ExportIcalendarFile(
        QString::fromStdString(empty.dir / "no/such/folder.ics"));
    QVERIFY(empty.messages.texts().back().rfind("書き出せませんでした。\r",
                                                0) == 0);
    delete reader;
  }

  void EachModeListsItsEntriesOrSaysThereAreNone() {
    World w;
    auto* window = w.Make();
    struct {
      void (ScheduleManagerWindow::*build)();
      const char* empty;
      ColorValue color;
    } empties[] = {
        {&ScheduleManagerWindow::ShowChosenDay, "この日のｽｹｼﾞｭｰﾙはありません｡",
         kClBlue},
        {&ScheduleManagerWindow::ShowAll, "ｽｹｼﾞｭｰﾙはありません｡", kClGreen},
        {&ScheduleManagerWindow::ShowPast, "過去のｽｹｼﾞｭｰﾙはありません｡",
         kClBlue},
    };
    for (const auto& e : empties) {
      (window->*e.build)();
      QVERIFY(window->lines().empty());
      QCOMPARE(window->strip_text(), U(e.empty));
      QCOMPARE(window->strip_color(), ColorFromValue(e.color));
    }

    for (const char* name :
         {"____1210.26", "____1209.26", "09001210.26", "12001210.26",
          "0930____.MON", "BORN1210.1990", "W0000600.__", "notes.txt"}) {
      w.Put(name);
    }
    const int builds = w.Count("c1");
    window->ShowChosenDay();
    QCOMPARE(w.Count("c1"), builds + 1);
    QCOMPARE(w.Names(window),
             (std::vector<std::string>{"09001210.26", "12001210.26",
                                       "____1210.26"}));
    QCOMPARE(window->current_row(), 0);  // the first line shows at once
    QCOMPARE(window->strip_text(), U("26年12月10日(木) 9時0分"));
    window->ShowPast();
    QCOMPARE(w.Names(window),
             (std::vector<std::string>{"09001210.26", "____1209.26"}));
    window->ShowAll();
    QCOMPARE(w.Names(window),
             (std::vector<std::string>{
                 "09001210.26", "12001210.26", "notes.txt", "0930____.MON",
                 "____1209.26", "____1210.26", "W0000600.__"}));
    QCOMPARE(window->mode(), ManagerMode::kAll);
    QVERIFY(Button(window, "全てのﾃﾞｰﾀを検索します｡")->isChecked());
    QVERIFY(!Button(window, "過去のﾃﾞｰﾀを検索します")->isChecked());
    window->close();
  }

  void ASelectionShowsItsDateTextAndColours() {
    World w;
    w.settings.WriteInteger("To_do", "FutureColor", 0x123456);
    w.Put("09051213.26", "{\\rtf1 hello\\par world}");  // Sunday
    w.Put("____1212.26", "plain");                      // Saturday
    w.Put("~_~_~___.SAT", "weekly");
    w.Put("____0101.27", "");
    w.Put("<b>bold<i>", "not an entry");
    auto* window = w.Make();
    window->ShowAll();
    const std::vector<std::string> names = w.Names(window);
    auto select = [&](const std::string& name) {
      const auto at = std::find(names.begin(), names.end(), name);
      QVERIFY(at != names.end());
      window->SelectRow(int(at - names.begin()));
    };
    auto* preview = window->findChild<QPlainTextEdit*>();

    select("09051213.26");
    QCOMPARE(window->strip_text(), U("26年12月13日(日) 9時5分"));
    QCOMPARE(window->strip_color(), ColorFromValue(kClRed));
    QCOMPARE(window->preview_text(), U("hello\nworld"));
    QCOMPARE(preview->palette().color(QPalette::Text),
             ColorFromValue(0x123456));
    QCOMPARE(window->status_text(), U("09051213.26"));

    select("____1212.26");
    QCOMPARE(window->strip_text(), U("26年12月12日(土)"));
    QCOMPARE(window->strip_color(), ColorFromValue(kClFuchsia));
    QCOMPARE(window->preview_text(), U("plain"));

    select("~_~_~___.SAT");
    QCOMPARE(window->strip_text(), U("土曜日(　　第２　　第４　　)"));
    QCOMPARE(window->strip_color(), ColorFromValue(kClFuchsia));
    QCOMPARE(preview->palette().color(QPalette::Base), QColor(Qt::white));

    // A name is shown as it is, never as markup.
    select("<b>bold<i>");
    QCOMPARE(window->status_text(), U("<b>bold<i>"));
    for (QLabel* label : window->findChildren<QLabel*>()) {
      QCOMPARE(label->textFormat(), Qt::PlainText);
    }
    QCOMPARE(window->preview_text(), U("not an entry"));

    // More than 16 MiB previews nothing.
    std::filesystem::resize_file(w.data + "/____0101.27",
                                 kManagerPreviewLimit + 1);
    select("____0101.27");
    QCOMPARE(window->preview_text(), QString());
    window->close();
  }

  void DeletingAsksUnlessTurnedOffAndActsOnTheAskedEntry() {
    World w;
    for (const char* name : {"09001210.26", "10001210.26", "____1210.26"}) {
      w.Put(name);
    }
    w.settings.WriteInteger(w.Section("09001210.26"), "closetime", 30);
    QSignalSpy changed(&w.changes, &EntryChanges::Changed);
    auto* window = w.Make();
    QCOMPARE(window->current_row(), 0);  // 09001210.26
    w.messages.QueueAnswer(MessageAnswer::kYes);
    window->DeleteSelected();
    QCOMPARE(w.messages.shown().size(), size_t(1));
    const FakeMessages::Shown& asked = w.messages.shown()[0];
    QCOMPARE(asked.request.text, std::string("削除しますか？"));
    QVERIFY(!asked.modal);
    QCOMPARE(asked.request.corner_of, static_cast<QWidget*>(window));
    QVERIFY(!window->findChild<QListWidget*>()->isEnabled());
    // Another line selected meanwhile: the asked one still goes.
    window->SelectRow(1);
    QCOMPARE(w.messages.AnswerPending(), 1);
    QVERIFY(!w.Has("09001210.26"));
    QVERIFY(w.Has("10001210.26"));
    QCOMPARE(w.settings.ReadInteger(w.Section("09001210.26"), "closetime", -9),
             -9);
    QCOMPARE(w.Names(window),
             (std::vector<std::string>{"10001210.26", "____1210.26"}));
    QCOMPARE(window->strip_text(), U("ｽｹｼﾞｭｰﾙを削除しました｡"));
    QCOMPARE(window->current_row(), -1);
    QCOMPARE(window->preview_text(), QString());
    QVERIFY(!Button(window, "ﾃﾞｰﾀを削除します｡")->isEnabled());
    QVERIFY(window->findChild<QListWidget*>()->isEnabled());
    QCOMPARE(w.Count("del"), 1);
    QVERIFY(changed.count() == 1 || changed.wait(1000));
    QVERIFY(window->may_have_changed());

    // No: nothing goes.
    window->SelectRow(0);
    w.messages.QueueAnswer(MessageAnswer::kNo);
    window->DeleteSelected();
    w.messages.AnswerPending();
    QVERIFY(w.Has("10001210.26"));
    QCOMPARE(w.Count("del"), 1);

    // Turned off: no question.
    w.messages.Clear();
    window->SetNoConfirmation(true);
    window->DeleteSelected();
    QVERIFY(w.messages.shown().empty());
    QVERIFY(!w.Has("10001210.26"));
    QCOMPARE(w.Names(window), (std::vector<std::string>{"____1210.26"}));
    window->close();
    QCOMPARE(w.list_rebuilds, 1);
  }

  void FormDeleteChecksAndLocksTheBox() {
    World w;
    w.settings.WriteInteger("Form", "Delete", 1);
    w.Put("____1210.26");
    auto* window = w.Make();
    auto* box = window->findChild<QCheckBox*>();
    QVERIFY(box->isChecked());
    QVERIFY(!box->isEnabled());
    window->DeleteSelected();
    QVERIFY(w.messages.shown().empty());
    QVERIFY(!w.Has("____1210.26"));
    window->close();
  }

  // Case twins: the line's own name is deleted and every line whose file
  // went with it is dropped.
  void TwinsGoTogether() {
    World w;
    w.Put("0900____.TUE");
    w.Put("0900____.tue");
    w.Put("0900____.WED");
    auto* window = w.Make();
    window->SetNoConfirmation(true);
    window->ShowAll();
    QCOMPARE(w.Names(window).size(), size_t(3));
    window->SelectRow(1);
    window->DeleteSelected();
    QVERIFY(!w.Has("0900____.TUE"));
    QVERIFY(!w.Has("0900____.tue"));
    QCOMPARE(w.Names(window), (std::vector<std::string>{"0900____.WED"}));
    window->close();
  }

  void AFailedDeleteKeepsTheLineAndTheOptions() {
    World w;
    w.Put("09001210.26");
    w.settings.WriteInteger(w.Section("09001210.26"), "closetime", 30);
    auto* window = w.Make();
    window->SetNoConfirmation(true);
    std::filesystem::permissions(w.data, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    if (::access(w.data.c_str(), W_OK) == 0) {
      window->close();
      QSKIP("running with permissions that ignore the folder's mode");
    }
    window->DeleteSelected();
    std::filesystem::permissions(w.data, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    QVERIFY(w.Has("09001210.26"));
    QCOMPARE(w.settings.ReadInteger(w.Section("09001210.26"), "closetime", -9),
             30);
    QCOMPARE(w.Names(window), (std::vector<std::string>{"09001210.26"}));
    QCOMPARE(window->current_row(), 0);
    QCOMPARE(w.messages.shown().size(), size_t(1));
    QVERIFY(QString::fromStdString(w.messages.shown()[0].request.text)
                .startsWith(U("削除できませんでした。\r")));
    QVERIFY(!w.messages.shown()[0].modal);
    QVERIFY(window->strip_text() != U("ｽｹｼﾞｭｰﾙを削除しました｡"));
    QCOMPARE(w.Count("del"), 0);
    window->close();
  }

  void ClosingWhileAskingDeletesNothing() {
    World w;
    w.Put("____1210.26");
    QPointer<ScheduleManagerWindow> window = w.Make();
    window->show();
    w.messages.QueueAnswer(MessageAnswer::kYes);
    window->DeleteSelected();
    QVERIFY(window->asking());
    window->close();
    FlushEvents();
    QVERIFY(window.isNull());
    QCOMPARE(w.messages.AnswerPending(), 1);
    QVERIFY(w.Has("____1210.26"));
    QCOMPARE(w.Count("del"), 0);
  }

  void DaysMoveAndTodayComesBack() {
    World w;
    w.Put("____1209.26");
    w.Put("____1211.26");
    w.Put("____1231.26");
    w.Put("____0101.27");
    auto* window = w.Make();
    const WeekdayNames ddd = LocaleShortWeekdayNames();
    QCOMPARE(window->date_caption(),
             QString::fromStdString("2026/12/10(" + ddd[4] + ")"));
    QPushButton* today = Button(window, "今日に戻す｡");
    QVERIFY(!today->isEnabled());
    QVERIFY(window->lines().empty());
    window->PreviousDay();
    QCOMPARE(w.Names(window), (std::vector<std::string>{"____1209.26"}));
    QVERIFY(today->isEnabled());
    window->NextDay();
    window->NextDay();
    QCOMPARE(window->chosen_day(), (CivilDate{2026, 12, 11}));
    QCOMPARE(w.Names(window), (std::vector<std::string>{"____1211.26"}));
    window->SetChosenDay({2026, 12, 31});
    window->NextDay();  // across the year's end
    QCOMPARE(window->date_caption(),
             QString::fromStdString("2027/01/01(" + ddd[5] + ")"));
    QCOMPARE(w.Names(window), (std::vector<std::string>{"____0101.27"}));
    window->ShowAll();
    window->BackToToday();
    QCOMPARE(window->mode(), ManagerMode::kChosenDay);
    QCOMPARE(window->chosen_day(), (CivilDate{2026, 12, 10}));
    QVERIFY(!today->isEnabled());
    Button(window, "ポップアップ")->click();
    Button(window, "スケジュール")->click();
    QCOMPARE(w.popup_days, (std::vector<CivilDate>{{2026, 12, 10}}));
    QCOMPARE(w.schedule_days, (std::vector<CivilDate>{{2026, 12, 10}}));
    window->close();
    QCOMPARE(w.list_rebuilds, 0);  // nothing changed
  }

  void EditingOpensByTheOnDiskNameAndTheListFollows() {
    World w;
    w.Put("0900____.tue");
    w.Put("0800____.__");
    auto* window = w.Make();
    window->ShowAll();
    window->SelectRow(1);
    w.open_answer = false;
    window->EditSelected();
    QCOMPARE(w.opened, (std::vector<std::string>{"0900____.tue"}));
    QCOMPARE(w.messages.beeps().size(), size_t(1));  // nothing opened
    // The editor saved another entry: the selection stays where it was.
    w.Put("0700____.__");
    window->Rebuild();
    QCOMPARE(w.Names(window).size(), size_t(3));
    QCOMPARE(w.Names(window)[window->current_row()],
             std::string("0900____.tue"));
    window->close();
    QCOMPARE(w.list_rebuilds, 1);
  }

  void HoveringSaysWhatAControlDoes() {
    World w;
    w.Put("____1210.26");
    auto* window = w.Make();
    QCOMPARE(window->status_text(), U("____1210.26"));  // the selection's file
    struct {
      const char* hint;
      const char* status;
    } cases[] = {
        {"ﾃﾞｰﾀを削除します｡", "データの削除"},
        {"過去のﾃﾞｰﾀを検索します", "過去のデータを一覧表示"},
        {"全てのﾃﾞｰﾀを検索します｡", "全てのデータを一覧表示"},
        {"指定日のﾃﾞｰﾀを検索します", "選択日のデータを一覧表示"},
        {"翌日へ", "選択日を翌日に移動"},
        {"今日に戻す｡", "選択日を今日に移動"},
        {"前日へ", "選択日を前日に移動"},
    };
    for (const auto& c : cases) {
      QEvent enter(QEvent::Enter);
      QCoreApplication::sendEvent(Button(window, c.hint), &enter);
      QCOMPARE(window->status_text(), U(c.status));
    }
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(window->findChild<QPlainTextEdit*>(), &enter);
    QCOMPARE(window->status_text(), U("プレビュー画面"));
    QCoreApplication::sendEvent(window->findChild<QCheckBox*>()->parentWidget(),
                                &enter);
    QCOMPARE(window->status_text(), U("スケジュールデータの一覧です。"));
    window->close();
  }

  void PlacementAndHeightsAreKept() {
    World w;
    w.settings.WriteInteger("Data", "Height", 500);
    w.settings.WriteInteger("Data", "LHeight", 200);
    w.settings.WriteInteger("Data", "left", 40);
    w.settings.WriteInteger("Data", "top", 30);
    auto* window = w.Make();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->width(), 270);
    QCOMPARE(window->height(), 500);
    QCOMPARE(window->findChild<QListWidget*>()->height(), 200);
    QCOMPARE(w.Count("ope"), 1);
    for (QWidget* child : window->findChildren<QWidget*>()) {
      if (qobject_cast<QPushButton*>(child) ||
          qobject_cast<QCheckBox*>(child) ||
          qobject_cast<QListWidget*>(child)) {
        QVERIFY2(!child->accessibleName().isEmpty(),
                 qPrintable(child->objectName()));
      }
    }
    window->close();
    QCOMPARE(w.settings.ReadInteger("Data", "Height", 0), 500);
    QCOMPARE(w.settings.ReadInteger("Data", "LHeight", 0), 200);
    QCOMPARE(w.Count("clo"), 1);
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::ScheduleManagerWindowTest)
#include "schedule_manager_window_uitest.moc"
