#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include "base/entry_changes.h"
#include "base/folders.h"
#include "base/services.h"
#include "base/settings_file.h"
#include "contacts/contacts_module.h"
#include "contacts/ui/birthday_book_window.h"
#include "mainwin/ui/calendar_grid.h"
#include "mainwin/ui/calendar_grid_panel.h"
#include "mainwin/ui/day_panel_controller.h"
#include "platform/qt_screen.h"
#include "platform/sound_cues.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_desktop.h"
#include "platform/testing/fake_messages.h"
#include "platform/testing/fake_shell.h"
#include "platform/testing/fake_sound.h"
#include "support/temp_folder.h"
#include "tools/tools_module.h"
#include "tools/ui/date_jump_window.h"
#include "tools/ui/day_calculator_window.h"
#include "tools/ui/preferences_window.h"
#include "widgets/startup_message_window.h"

namespace mirokata {
namespace {

// One program folder with its fakes; a window per Start().
struct Harness {
  Harness() {
    settings = std::make_unique<SettingsFile>(dir / "mirokata.ini");
    cues = std::make_unique<SoundCues>(sound, CueSwitch(*settings));
    screen.SetGeometry({0, 0, 1280, 800}, {0, 0, 1280, 800});
    clock.Set(2027, 1, 31, 9, 30);
  }
  Services Context() {
    Services c;
    c.program_folder = dir.path() + "/";
    c.settings = settings.get();
    c.clock = &clock;
    c.messages = &messages;
    c.cues = cues.get();
    c.shell = &shell;
    c.hot_key = &hot_key;
    c.tray = &tray;
    c.screen = &screen;
    c.power = &power;
    c.entry_changes = entry_changes;
    return c;
  }
  MainWindow* Start() {
    window = std::make_unique<MainWindow>(Context());
    window->Start();
    Settle();
    return window.get();
  }
  // Waits for the start-up work that follows the first paint.
  void Settle() {
    if (!QTest::qWaitFor([this] { return window->startup_finished(); })) {
      qWarning("start-up work did not finish");
    }
  }
  int Form(const char* key) { return settings->ReadInteger("Form", key, -1); }
  // A settings file as left by an earlier run.
  void SeedEarlierRun() {
    settings->WriteInteger("Horiday", "Set", 1);
    settings->WriteString("Qclock", "Ver", kVersionText);
  }

  TempFolder dir;
  std::unique_ptr<SettingsFile> settings;
  FakeSound sound;
  std::unique_ptr<SoundCues> cues;
  FakeMessages messages;
  FakeShell shell;
  FakeHotKey hot_key;
  FakeTray tray;
  FakeScreen screen;
  FakePower power;
  FakeClock clock;
  EntryChanges* entry_changes = nullptr;
  std::unique_ptr<MainWindow> window;
};

int OpenPreferencesCount() {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (qobject_cast<PreferencesWindow*>(w) && w->isVisible()) ++n;
  }
  return n;
}

// A window with unsaved work that asks before closing.
class GuardedWindow : public QWidget {
 public:
  bool refuse = true;
  int asked = 0;

 protected:
  void closeEvent(QCloseEvent* e) override {
    ++asked;
    if (refuse) {
      e->ignore();
    } else {
      e->accept();
    }
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void FirstStartSetsUpOnce() {
    Harness h;
    MainWindow* w = h.Start();
    QCOMPARE(w->mode(), WindowMode::kToolbar);
    QCOMPARE(w->pos(), QPoint(1280 - 240, 0));
    QCOMPARE(w->height(), 72);
    QCOMPARE(h.settings->ReadInteger("Horiday", "Set", 0), 1);
    QVERIFY(!h.settings->ReadString("Horiday", "01/01", "").empty());
    const std::string data = h.dir.path() + "//Schedule";
    QCOMPARE(h.settings->ReadString("Calendar", "Directory", ""), data);
    QVERIFY(std::filesystem::is_directory(h.dir / "Schedule"));
    QCOMPARE(h.settings->ReadString("Qclock", "Ver", ""),
             std::string(kVersionText));
    // The first start and the new version both ask for it: one window.
    QCOMPARE(OpenPreferencesCount(), 1);
    QVERIFY(h.tray.IsVisible(TrayIconId::kCalendar));
    QVERIFY(h.tray.IsVisible(TrayIconId::kMemo));
    QVERIFY(h.hot_key.chord() == HotKeyChord::kSuperSpace);
    QCOMPARE(w->timer_interval(), 1000);
    QVERIFY(w->timer_active());
    QCOMPARE(w->year_caption(), QString("2027"));
    QCOMPARE(w->month_caption(), QString("1"));
    QCOMPARE(w->selected_date(), (CivilDate{2027, 1, 31}));
  }

  void LaterStartsReadTheirSettings() {
    struct Case {
      int interval, hotkey, tray_icon;
      int expect_interval;
      bool icons;
      HotKeyChord chord;
    } cases[] = {
        {0, 0, 3, 1000, false, HotKeyChord::kSuperSpace},
        {-5, 1, 1, 1000, false, HotKeyChord::kCtrlSpace},
        {250, 0, 2, 250, true, HotKeyChord::kSuperSpace},
    };
    for (const Case& c : cases) {
      Harness h;
      h.SeedEarlierRun();
      h.settings->WriteInteger("Form", "Interval", c.interval);
      h.settings->WriteInteger("Form", "Hotkey", c.hotkey);
      h.settings->WriteInteger("Form", "Tray_icon", c.tray_icon);
      MainWindow* w = h.Start();
      QCOMPARE(w->timer_interval(), c.expect_interval);
      QCOMPARE(h.tray.IsVisible(TrayIconId::kCalendar), c.icons);
      QVERIFY(h.hot_key.chord() == c.chord);
      QCOMPARE(OpenPreferencesCount(), 0);
      QCOMPARE(DataFolder(h.settings->Open()), std::string("."));
    }
  }

  void MissingTrayIsSaidOnceAndTheTaskbarButtonStandsIn() {
    struct Case {
      int tray_icon;
      bool said;            // when the tray is missing
      bool tool_with_tray;  // no taskbar button while the tray is there
    } cases[] = {
        {0, true, true}, {2, true, false}, {1, false, false}, {3, false, true}};
    for (const Case& c : cases) {
      Harness h;
      h.SeedEarlierRun();
      h.settings->WriteInteger("Form", "Tray_icon", c.tray_icon);
      // One start after another: said at the first start without a tray,
      // and again only after a start with one.
      const struct {
        bool tray;
        bool said;
      } starts[] = {
          {false, c.said}, {false, false}, {true, false}, {false, c.said}};
      for (const auto& start : starts) {
        h.window.reset();
        h.messages.Clear();
        h.tray.SetAvailable(start.tray);
        MainWindow* w = h.Start();
        const bool said = !h.messages.shown().empty() &&
                          !h.messages.shown()[0].modal &&
                          h.messages.shown()[0].request.text ==
                              "タスクトレイにアイコンを登録できません。";
        QCOMPARE(said, start.said);
        // Without a tray only Tray_icon 3 goes without a taskbar button.
        const bool tool = w->windowType() == Qt::Tool;
        QCOMPARE(tool, start.tray ? c.tool_with_tray : c.tray_icon == 3);
        QCOMPARE(h.Form("Tray_icon"), c.tray_icon);
        QVERIFY(w->isVisible());
        QVERIFY(w->timer_active());
      }
    }
  }

  void ShuttingDownAsksFirst() {
    Harness h;
    h.SeedEarlierRun();
    MainWindow* w = h.Start();
    QMenu* windows = nullptr;
    for (QAction* a : w->main_menu()->actions()) {
      if (a->menu() && a->text() == QString::fromUtf8("Windowsの終了")) {
        windows = a->menu();
      }
    }
    QVERIFY(windows);
    auto item = [&](const char* caption) {
      QAction* found = nullptr;
      for (QAction* a : windows->actions()) {
        if (a->text() == QString::fromUtf8(caption)) found = a;
      }
      if (!found) qFatal("no item %s", caption);
      return found;
    };
    const struct {
      const char* item;
      MessageAnswer answer;
      const char* question;
      std::vector<PowerAction> requests;  // all so far
    } cases[] = {
        {"Windowsの再起動",
         MessageAnswer::kNo,
         "コンピュータを再起動しますか？",
         {}},
        {"Windowsの再起動",
         MessageAnswer::kYes,
         "コンピュータを再起動しますか？",
         {PowerAction::kRestart}},
        {"Windowsの終了",
         MessageAnswer::kYes,
         "コンピュータの電源を切りますか？",
         {PowerAction::kRestart, PowerAction::kShutDown}},
    };
    for (const auto& c : cases) {
      h.messages.Clear();
      h.messages.QueueAnswer(c.answer);
      const size_t before = h.power.requests().size();
      item(c.item)->trigger();
      QCOMPARE(h.power.requests().size(), before);  // not before the answer
      QCOMPARE(h.messages.shown().size(), size_t{1});
      const FakeMessages::Shown& asked = h.messages.shown()[0];
      QVERIFY(!asked.modal);
      QCOMPARE(asked.request.text, std::string(c.question));
      QVERIFY(asked.request.buttons == MessageButtons::kYesNo);
      QVERIFY(asked.request.default_answer == MessageAnswer::kNo);
      QCOMPARE(h.messages.AnswerPending(), 1);
      QVERIFY(h.power.requests() == c.requests);
    }
  }

  void NewVersionOpensPreferencesOnce() {
    Harness h;
    h.settings->WriteInteger("Horiday", "Set", 1);
    h.settings->WriteString("Qclock", "Ver", "Version 2.61");
    h.Start();
    QCOMPARE(OpenPreferencesCount(), 1);
    h.window.reset();
    QTest::qWait(0);
    h.Start();
    QCOMPARE(OpenPreferencesCount(), 0);
  }

  void UnreadableSettingsAreNoFirstStart() {
    Harness h;
    // Stands for any file that exists and cannot be read.
    std::filesystem::create_directory(h.dir / "mirokata.ini");
    std::vector<std::string> reports;
    h.settings->SetProblemReporter(
        [&](const std::string& m) { reports.push_back(m); });
    h.Start();
    QCOMPARE(OpenPreferencesCount(), 0);
    QVERIFY(!std::filesystem::exists(h.dir / "Schedule"));
    QVERIFY(std::filesystem::is_directory(h.dir / "mirokata.ini"));
    QCOMPARE(reports.size(), size_t{1});
  }

  void MissingDataFolderIsForgotten() {
    Harness h;
    h.SeedEarlierRun();
    h.settings->WriteString("Calendar", "Directory", h.dir / "renamed");
    h.Start();
    QCOMPARE(h.settings->ReadString("Calendar", "Directory", ""),
             std::string("."));
    // Every data command now opens the preferences instead.
    std::string folder;
    QVERIFY(!h.window->RequireDataFolder(&folder));
    QCOMPARE(OpenPreferencesCount(), 1);
    QVERIFY(h.window->main_menu() != nullptr);
  }

  void StartsInTheStoredMode() {
    struct Case {
      int height;
      WindowMode mode;
      QPoint pos;
      bool toolbar;
      int strip_top;
    } cases[] = {
        {19, WindowMode::kMini, QPoint(30, 40), false, 1},
        {190, WindowMode::kCalendar, QPoint(50, 610), true, 54},
        {100, WindowMode::kToolbar, QPoint(1040, 0), true, 54},
    };
    for (const Case& c : cases) {
      Harness h;
      h.SeedEarlierRun();
      h.settings->WriteInteger("Form", "Height", c.height);
      h.settings->WriteInteger("Form", "left_mini", 30);
      h.settings->WriteInteger("Form", "top_mini", 40);
      h.settings->WriteInteger("Form", "left_cal", 50);
      h.settings->WriteInteger("Form", "top_cal", 5000);
      MainWindow* w = h.Start();
      QCOMPARE(w->mode(), c.mode);
      QCOMPARE(w->pos(), c.pos);
      QCOMPARE(w->height(), HeightOf(c.mode));
      QCOMPARE(w->toolbar_visible(), c.toolbar);
      QCOMPARE(w->strip_top(), c.strip_top);
    }
  }

  void ComesBackOnTheSecondMonitor() {
    Harness h;
    h.SeedEarlierRun();
    h.screen.SetOtherScreens({{1280, 0, 1920, 1050}});
    h.settings->WriteInteger("Form", "Height", 190);
    h.settings->WriteInteger("Form", "left_cal", 3100);  // past its right edge
    h.settings->WriteInteger("Form", "top_cal", 300);
    MainWindow* w = h.Start();
    QCOMPARE(w->pos(), QPoint(3200 - 240, 300));
    // The next mode stays there too.
    w->ToggleMode();
    QCOMPARE(w->pos(), QPoint(3200 - 240, 300));
  }

  // Run by main_window_two_screens_test, whose offscreen platform has a
  // second screen to the right of the primary one.
  void ComesBackOnTheSecondScreenOfTheDesktop() {
    if (QGuiApplication::screens().size() < 2) QSKIP("one screen only");
    Harness h;
    h.SeedEarlierRun();
    QtScreen desktop;
    h.settings->WriteInteger("Form", "Height", 190);
    h.settings->WriteInteger("Form", "left_cal", 2200);
    h.settings->WriteInteger("Form", "top_cal", 700);
    h.window = std::make_unique<MainWindow>([&] {
      Services c = h.Context();
      c.screen = &desktop;
      return c;
    }());
    MainWindow* w = h.window.get();
    w->Start();
    QCOMPARE(w->pos(), QPoint(2304 - 240, 768 - 190));
    QCOMPARE(w->screen()->name(), QStringLiteral("right"));
  }

  void ModesHotKeyAndDeactivation() {
    Harness h;
    h.SeedEarlierRun();
    h.settings->WriteInteger("Form", "minitokei", 1);
    MainWindow* w = h.Start();
    h.sound.Clear();
    w->ToggleMode();
    QCOMPARE(w->height(), 190);
    QCOMPARE(h.Form("Height"), 190);
    w->ToggleMode();
    QCOMPARE(w->mode(), WindowMode::kMini);
    QCOMPARE(w->height(), 19);
    QVERIFY(!w->toolbar_visible());
    QCOMPARE(h.sound.cues(), (std::vector<std::string>{"c1", "c1"}));

    QVERIFY(h.hot_key.Press());
    QCOMPARE(w->height(), 72);
    QVERIFY(w->toolbar_visible());
    QVERIFY(w->temporarily_expanded());
    QCOMPARE(h.Form("Height"), 19);

    w->OnDeactivated();
    QCOMPARE(w->mode(), WindowMode::kMini);
    QCOMPARE(w->height(), 19);
    QVERIFY(!w->toolbar_visible());
    QVERIFY(!w->application_active());
  }

  void AnotherWindowOfTheProgramEndsTheExpansion() {
    Harness h;
    h.SeedEarlierRun();
    h.settings->WriteInteger("Form", "Height", 19);
    h.settings->WriteInteger("Form", "ModeSave", 1);
    h.settings->WriteInteger("Form", "top_mini", 300);
    h.settings->WriteInteger("Form", "left_mini", 400);
    MainWindow* w = h.Start();
    QVERIFY(h.hot_key.Press());  // hides and shows: no collapse meanwhile
    QVERIFY(w->temporarily_expanded());
    QCOMPARE(w->height(), 72);
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QEvent change(QEvent::ActivationChange);
    QApplication::sendEvent(w, &change);
    QCOMPARE(w->mode(), WindowMode::kMini);
    QCOMPARE(w->pos(), QPoint(400, 300));
    QVERIFY(w->isVisible());
  }

  void MonthButtonsLowerTheDay() {
    Harness h;
    h.SeedEarlierRun();
    MainWindow* w = h.Start();
    w->ShowNextMonth();
    QCOMPARE(w->selected_date(), (CivilDate{2027, 2, 28}));
    QCOMPARE(w->month_caption(), QString("2"));
    w->ShowPreviousMonth();
    QCOMPARE(w->selected_date(), (CivilDate{2027, 1, 28}));
    for (int i = 0; i < 11; ++i) w->ShowPreviousMonth();
    QCOMPARE(w->selected_date(), (CivilDate{2026, 2, 28}));
    QCOMPARE(w->year_caption(), QString("2026"));
    w->ShowToday();
    QCOMPARE(w->selected_date(), (CivilDate{2027, 1, 31}));
  }

  void CommandsRunNowOrAfterTheCallerReturned() {
    Harness h;
    h.SeedEarlierRun();
    MainWindow* w = h.Start();
    CommandHost& host = *w;
    int runs = 0;
    QVERIFY(!host.HasCommand(Command::kBirthdays));
    host.RunCommand(Command::kBirthdays);  // no handler: nothing
    host.SetCommand(Command::kBirthdays, [&] { ++runs; });
    QVERIFY(host.HasCommand(Command::kBirthdays));
    host.RunCommand(Command::kBirthdays);
    QCOMPARE(runs, 1);
    host.RunCommandLater(Command::kBirthdays);
    QCOMPARE(runs, 1);  // the tick that asked has not returned yet
    QTRY_COMPARE(runs, 2);
  }

  void StartupStepsRunUnderTheStartupMessage() {
    const auto message_shown = [] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<StartupMessageWindow*>(w) && w->isVisible()) {
          return true;
        }
      }
      return false;
    };
    Harness h;
    h.SeedEarlierRun();
    h.window = std::make_unique<MainWindow>(h.Context());
    std::vector<bool> seen;
    h.window->AddStartupStep([&] { seen.push_back(message_shown()); });
    h.window->SetMenuBuilder(MenuSlot::kMemo, [&](QMenu* menu) {
      seen.push_back(message_shown());
      menu->addAction("memo 1");
    });
    h.window->Start();
    QCOMPARE(seen, (std::vector<bool>{true, false}));
    QCOMPARE(h.window->memo_menu()->actions().size(), 1);
    // Without steps there is nothing to wait for and nothing to show.
    Harness bare;
    bare.SeedEarlierRun();
    bare.window = std::make_unique<MainWindow>(bare.Context());
    bool shown = true;
    bare.window->SetMenuBuilder(MenuSlot::kLauncher,
                                [&](QMenu*) { shown = message_shown(); });
    bare.window->Start();
    QVERIFY(!shown);
  }

  void TrayAndFirstTickFollowTheFirstPaint() {
    Harness h;
    h.SeedEarlierRun();
    h.window = std::make_unique<MainWindow>(h.Context());
    int ticks = 0;
    h.window->SetTickHandler([&] { ++ticks; });
    h.window->Start();
    // Nothing slow stands between the start and the first paint.
    QCOMPARE(ticks, 0);
    QVERIFY(!h.tray.IsVisible(TrayIconId::kCalendar));
    QVERIFY(!h.window->startup_finished());
    h.Settle();
    QVERIFY(h.window->startup_finished());
    QCOMPARE(ticks, 1);
    QVERIFY(h.tray.IsVisible(TrayIconId::kCalendar));
    QVERIFY(h.tray.IsVisible(TrayIconId::kMemo));
  }

  void EntryChangesRecolourTheMonthOnce() {
    Harness h;
    h.SeedEarlierRun();
    EntryChanges changes;
    h.entry_changes = &changes;
    MainWindow* w = h.Start();
    // Another day of the shown month: no re-colouring of its own.
    w->calendar_panel()->setDate({2027, 1, 15});
    QVERIFY(!w->calendar_panel()->controller()->state().recoloured);
    int recolours = 0;
    connect(&changes, &EntryChanges::Changed, [&] {
      recolours += w->calendar_panel()->controller()->state().recoloured;
    });
    // Three files of one action: the views refresh once, from the loop.
    changes.Notify();
    changes.Notify();
    changes.Notify();
    QCOMPARE(recolours, 0);
    QTRY_COMPARE(recolours, 1);
    QTest::qWait(20);
    QCOMPARE(recolours, 1);
  }

  void MainMenuFollowsSettings() {
    Harness h;
    h.SeedEarlierRun();
    MainWindow* w = h.Start();
    auto item = [&](const char* caption) {
      QAction* a = w->FindMenuItem(QString::fromUtf8(caption));
      if (!a) qFatal("no menu item %s", caption);
      return a;
    };
    w->PrepareMainMenu();
    QVERIFY(!item("Period")->isVisible());
    QVERIFY(!item("メール")->isVisible());
    QVERIFY(!item("Windowsの終了")->isVisible() ||
            item("Windowsの終了")->menu() == nullptr);
    QVERIFY(!item("ヘルプ")->isEnabled());
    QVERIFY(!item("指定日に移動")->isEnabled());  // no window behind it yet

    h.settings->WriteInteger("Setup", "Period", 0);
    h.settings->WriteString("Form", "Period_Cap", "体調");
    h.settings->WriteBool("pop", "pop2_check", true);
    h.settings->WriteInteger("Setup", "Reboot", 0);
    std::filesystem::create_directory(h.dir / "help_html");
    std::ofstream(h.dir / "help_html/index.html") << "<html></html>";
    w->PrepareMainMenu();
    QVERIFY(item("体調")->isVisible());
    QVERIFY(item("メール")->isVisible());
    QVERIFY(item("ヘルプ")->isEnabled());
    QAction* windows = nullptr;
    for (QAction* a : w->main_menu()->actions()) {
      if (a->text() == QString::fromUtf8("Windowsの終了")) windows = a;
    }
    QVERIFY(windows && windows->isVisible());

    // Jump to date: enabled by its handler, but never in toolbar mode.
    int jumps = 0;
    w->SetCommand(Command::kJumpToDate, [&] { ++jumps; });
    w->PrepareMainMenu();
    QVERIFY(!item("指定日に移動")->isEnabled());
    w->ToggleMode();
    w->PrepareMainMenu();
    QVERIFY(item("指定日に移動")->isEnabled());
    item("指定日に移動")->trigger();
    QCOMPARE(jumps, 1);
  }

  void HelpOpensTheFileOrWarns() {
    Harness h;
    h.SeedEarlierRun();
    MainWindow* w = h.Start();
    w->OpenHelp();
    QCOMPARE(h.messages.texts().back(),
             std::string("ヘルプファイルが正しくインストールされていません。"));
    QVERIFY(h.shell.calls().empty());
    std::filesystem::create_directory(h.dir / "help_html");
    std::ofstream(h.dir / "help_html/index.html") << "<html></html>";
    w->OpenHelp();
    QCOMPARE(h.shell.calls().size(), size_t{1});
    QCOMPARE(h.shell.calls()[0].working_folder, h.dir.path() + "//help_html");
  }

  void DoubleClickActionFollowsSetting() {
    Harness h;
    h.SeedEarlierRun();
    h.settings->WriteInteger("Setup", "MIcon_DBLC", 5);
    MainWindow* w = h.Start();
    int phone = 0;
    w->SetCommand(Command::kPhoneBook, [&] { ++phone; });
    QVERIFY(h.tray.DoubleClick(TrayIconId::kMemo));
    QCOMPARE(phone, 1);
    QCOMPARE(
        h.tray.icon(TrayIconId::kMemo).hint,
        std::string("ダブルクリック：簡易電話帳／右クリック：メモメニュー"));
  }

  void OpenOrRaiseKeepsOneWindowAndItsCheck() {
    Harness h;
    h.SeedEarlierRun();
    MainWindow* w = h.Start();
    QAction* prefs = w->FindMenuItem(QString::fromUtf8("環境設定"));
    QVERIFY(prefs && !prefs->isChecked());
    int made = 0;
    auto make = [&]() -> QWidget* {
      ++made;
      return new QWidget;
    };
    QWidget* first = w->tool_windows().OpenOrRaise("preferences", make);
    QWidget* second = w->tool_windows().OpenOrRaise("preferences", make);
    QCOMPARE(first, second);
    QCOMPARE(made, 1);
    QVERIFY(prefs->isChecked());
    first->close();
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!prefs->isChecked());
    QVERIFY(!w->tool_windows().IsOpen("preferences"));
  }

  // The birthday book is one window, checked in the menu while it is open.
  void TheBirthdayBookOpensOnceAndIsChecked() {
    Harness h;
    h.SeedEarlierRun();
    std::filesystem::create_directory(h.dir / "data");
    h.settings->WriteString("Calendar", "Directory", h.dir / "data");
    MainWindow* w = h.Start();
    Services services = h.Context();
    TickEvents events;
    PreferencesPages pages;
    InstallContacts(services, *w, events, pages,
                    {[w] { return w->RequireDataFolder(nullptr); }, {}});
    QAction* item = w->FindMenuItem(QString::fromUtf8("誕生日管理"));
    QVERIFY(item && item->isEnabled() && !item->isChecked());
    item->trigger();
    w->RunCommand(Command::kBirthdays);
    const QWidgetList tops = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(tops.begin(), tops.end(),
                           [](QWidget* t) {
                             return qobject_cast<BirthdayBookWindow*>(t) &&
                                    t->isVisible();
                           }),
             1);
    QVERIFY(item->isChecked());
    w->tool_windows().Find("birthday_book")->close();
    QTRY_VERIFY(!w->tool_windows().IsOpen("birthday_book"));
    QVERIFY(!item->isChecked());
  }

  void ClosingAsksOtherWindowsFirst() {
    Harness h;
    h.SeedEarlierRun();
    MainWindow* w = h.Start();
    auto* guarded = new GuardedWindow;
    guarded->show();
    QVERIFY(!w->close());  // the other window kept its work open
    QCOMPARE(guarded->asked, 1);
    QVERIFY(w->timer_active());
    QVERIFY(h.hot_key.chord().has_value());

    guarded->refuse = false;
    QVERIFY(w->close());
    QCOMPARE(guarded->asked, 2);
    QVERIFY(!w->timer_active());
    QVERIFY(!h.hot_key.chord().has_value());
    QVERIFY(!h.tray.IsVisible(TrayIconId::kCalendar));
    delete guarded;
  }

  void StripTextsFitTheirPanels() {
    Harness h;
    h.SeedEarlierRun();
    MainWindow* w = h.Start();
    const struct {
      int panel;
      QString text;
    } cases[] = {
        {0, QString::fromUtf8("2026/12/10(木)")},
        {1, "23:59:59"},
        {2, "23964160K(97%)"},    // 24 GiB
        {2, "134217728K(100%)"},  // 128 GiB
        {2, QString(40, 'W')},    // nothing sensible fits: cut, not spilt
        {2, "3271396K(94%)"},     // stays at the strip's own size
    };
    for (const auto& c : cases) {
      w->SetStripText(c.panel, c.text);
      const QLabel* label = w->strip_panel(c.panel);
      QVERIFY(QFontMetrics(label->font()).horizontalAdvance(label->text()) <=
              label->contentsRect().width());
      if (c.text.size() < 20) QCOMPARE(label->text(), c.text);
    }
    QCOMPARE(w->strip_panel(2)->font().pixelSize(), 10);
    QCOMPARE(w->strip_panel(0)->x() + w->strip_panel(0)->width(),
             w->strip_panel(1)->x());
    QCOMPARE(w->strip_panel(2)->x() + w->strip_panel(2)->width(),
             kMainWindowWidth - 12);
  }

  // A weekday colour shows on the grid before OK; Cancel brings the old
  // one back, OK keeps the new one.
  void PreferencesPreviewGridColors() {
    Harness h;
    h.SeedEarlierRun();
    MainWindow* w = h.Start();
    CalendarGrid* grid = w->calendar_panel()->grid();
    const ColorValue old_color = grid->color(kWeekdayColor);
    const ColorValue picked = ValueFromColor(QColor(10, 20, 30));
    for (const bool ok : {false, true}) {
      w->OpenPreferences();
      auto* prefs = qobject_cast<PreferencesWindow*>(
          w->tool_windows().Find("preferences"));
      QVERIFY(prefs);
      prefs->set_color_chooser(
          [](QWidget*, const QColor&, std::function<void(const QColor&)> done) {
            done(QColor(10, 20, 30));
          });
      static_cast<QPushButton*>(
          prefs->control(PreferenceIndex("CalendarEx", "WeekdayColor")))
          ->click();
      QCOMPARE(grid->color(kWeekdayColor), picked);
      if (ok) {
        QVERIFY(prefs->Accept());
      } else {
        prefs->cancel_button()->click();
      }
      QTRY_VERIFY(!w->tool_windows().IsOpen("preferences"));
      QCOMPARE(grid->color(kWeekdayColor), ok ? picked : old_color);
      QCOMPARE(h.settings->ReadInteger("CalendarEx", "WeekdayColor", -1),
               ok ? ColorValueToInt(picked) : -1);
    }
  }

  // The tools open as tool windows (checked in the menu while open), and
  // the jump reaches 29 February from the 31st in one change of the grid.
  void ToolsOpenOnceAndTheJumpSelectsInOneStep() {
    Harness h;
    MainWindow* w = h.Start();
    Services services = h.Context();
    TickEvents events;
    PreferencesPages pages;
    InstallTools(services, *w, events, pages,
                 {[w] { return w->selected_date(); },
                  [w](const CivilDate& d) { w->SelectDate(d); },
                  [] { return true; },
                  {}});
    w->RunCommand(Command::kDayCalculator);
    w->RunCommand(Command::kDayCalculator);
    const QWidgetList tops = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(tops.begin(), tops.end(),
                           [](QWidget* t) {
                             return qobject_cast<DayCalculatorWindow*>(t) &&
                                    t->isVisible();
                           }),
             1);
    QVERIFY(w->tool_windows().IsOpen("day_calculator"));

    w->SelectDate({2001, 1, 31});
    w->RunCommand(Command::kJumpToDate);
    auto* jump = qobject_cast<DateJumpWindow*>(w->tool_windows().Find("jump"));
    QVERIFY(jump);
    QCOMPARE(jump->date(), (CivilDate{2001, 1, 31}));
    jump->SetDate({2000, 2, 29});
    QSignalSpy changes(w->calendar_panel(), &CalendarGridPanel::dateChanged);
    jump->JumpAndClose();
    QCOMPARE(changes.count(), 1);
    QCOMPARE(w->selected_date(), (CivilDate{2000, 2, 29}));
    QCOMPARE(w->year_caption(), QString("2000"));
    QCOMPARE(w->month_caption(), QString("2"));
    QTRY_VERIFY(!w->tool_windows().IsOpen("jump"));
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::MainWindowTest)
#include "main_window_test.moc"
