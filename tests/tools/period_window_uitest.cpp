// The period tracker's window and command over fake services.
#include <sys/stat.h>

#include <QApplication>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <string>

#include "base/preferences_page.h"
#include "base/settings_file.h"
#include "base/tick_events.h"
#include "support/fake_command_host.h"
#include "support/fake_world.h"
#include "tools/tools_module.h"
#include "tools/ui/password_window.h"
#include "tools/ui/period_window.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

struct World : FakeDataWorld {
  World() {
    folder = data + "/Period";
    std::filesystem::create_directory(folder);
  }
  void Write(const std::string& bytes) {
    std::ofstream(folder + "/Period.ini", std::ios::binary) << bytes;
  }
  std::string folder;
};

}  // namespace

class PeriodWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void OpensWithTheLastDateAndBothPredictions() {
    World w;
    w.Write(
        "[Period]\r\nDays=5\r\nCount=3\r\n0=2024/01/01\r\n1=2024/01/29\r\n"
        "2=2024/02/27\r\n");
    w.settings.Batch([](SettingsBatch& b) {
      b.WriteInteger("Peri", "left", 140);
      b.WriteInteger("Peri", "top", 90);
    });
    auto* window = new PeriodWindow(w.Context(), w.folder, {2026, 12, 10});
    window->show();
    QCOMPARE(w.sound.cues().front(), std::string("ope"));
    QCOMPARE(window->pos(), QPoint(140, 90));
    QCOMPARE(window->recorded()->count(), 3);
    QCOMPARE(window->recorded()->currentRow(), 2);
    QCOMPARE(window->memo_label()->text(), U("2024/02/27のメモ："));
    QCOMPARE(window->status(), U("29日周期 (2024/01/29～2024/02/27)"));
    // The date being entered follows the selected date.
    QCOMPARE(window->entered(), (CivilDate{2024, 2, 27}));
    QCOMPARE(window->cycle_field(0)->text(), U("28"));
    QCOMPARE(window->cycle_field(1)->text(), U("28"));
    QCOMPARE(window->cycle_field(2)->text(), U("29"));
    QCOMPARE(window->predictions(0)->count(), 100);
    QCOMPARE(window->predictions(1)->item(1)->text(), U("2024/04/24 (水)"));
    QCOMPARE(window->predictions(0)->currentRow(), 0);
    QCOMPARE(window->detail_frame(0)->title(),
             U("2024/02/27 (火)～2024/03/26 (火)"));
    QCOMPARE(window->detail(0)->count(), 29);
    QCOMPARE(window->detail(0)->item(12)->text(),
             U("2024/03/10 (日) ×【危険日】"));

    // A prediction clicked shows its cycle.
    window->predictions(1)->setCurrentRow(1);
    QCOMPARE(window->detail_frame(1)->title(),
             U("2024/03/26 (火)～2024/04/24 (水)"));
    QCOMPARE(window->detail(1)->count(), 30);

    // A longer period refreshes both details and is kept.
    window->period_days()->setValue(8);
    QVERIFY(window->detail(0)->item(7)->text().endsWith(U("×　生理中")));
    QVERIFY(window->detail(1)->item(7)->text().endsWith(U("×　生理中")));
    QCOMPARE(window->tracker().file().ReadInteger("Period", "Days", 0), 8);

    // Typed cycle lengths predict at once; an empty field counts as 28
    // and shows it when left.
    window->cycle_field(0)->setFocus();
    window->cycle_field(0)->selectAll();
    QTest::keyClicks(window->cycle_field(0), "30");
    QCOMPARE(window->predictions(0)->item(0)->text(), U("2024/03/28 (木)"));
    window->cycle_field(1)->setFocus();
    window->cycle_field(1)->selectAll();
    QTest::keyClick(window->cycle_field(1), Qt::Key_Backspace);
    QCOMPARE(window->predictions(1)->item(0)->text(), U("2024/03/26 (火)"));
    emit window->cycle_field(1)->editingFinished();
    QCOMPARE(window->cycle_field(1)->text(), U("28"));

    window->close();
    FlushEvents();
    QCOMPARE(w.sound.cues().back(), std::string("clo"));
    QCOMPARE(w.settings.ReadInteger("Peri", "left", -1), 140);

    // Reopening keeps the chosen period length.
    auto* again = new PeriodWindow(w.Context(), w.folder, {2026, 12, 10});
    QCOMPARE(again->period_days()->value(), 8);
    again->close();
    FlushEvents();
  }

  void AddsEditsMemosAndClampsTheDate() {
    World w;
    auto* window = new PeriodWindow(w.Context(), w.folder, {2024, 2, 31});
    QCOMPARE(window->entered(), (CivilDate{2024, 2, 29}));
    QCOMPARE(window->status(), U("良い子が授かりますように.."));
    QCOMPARE(window->predictions(0)->count(), 0);
    QVERIFY(!window->memo()->isEnabled());
    QCOMPARE(ModeOf(w.folder + "/Period.ini"), mode_t(0600));

    window->SetEntered({2024, 4, 3});
    window->Add();
    window->SetEntered({2024, 5, 1});
    window->Add();
    QCOMPARE(window->recorded()->count(), 2);
    QCOMPARE(window->status(), U("28日周期 (2024/04/03～2024/05/01)"));
    // Already there: only the cue.
    const size_t cues = w.sound.cues().size();
    window->Add();
    QCOMPARE(w.sound.cues().size(), cues + 1);
    QCOMPARE(w.sound.cues().back(), std::string("sav"));
    QCOMPARE(window->recorded()->count(), 2);

    // Typed through the input method, as Japanese is.
    QInputMethodEvent typed;
    typed.setCommitString(U("通院"));
    QApplication::sendEvent(window->memo(), &typed);
    QCOMPARE(window->tracker().Comment({2024, 5, 1}), std::string("通院"));
    window->recorded()->setCurrentRow(0);
    QCOMPARE(window->memo()->text(), QString());
    QCOMPARE(window->memo_label()->text(), U("2024/04/03のメモ："));
    QCOMPARE(window->status(), QString());
    window->recorded()->setCurrentRow(1);
    QCOMPARE(window->memo()->text(), U("通院"));

    // The day field lowered to the month's last day.
    window->SetEntered({2023, 1, 31});
    window->findChildren<QSpinBox*>()[1]->setValue(2);
    QCOMPARE(window->entered(), (CivilDate{2023, 2, 28}));
    window->close();
    FlushEvents();
  }

  void DeleteAsksAndSurvivesAClosedWindow() {
    World w;
    w.Write("[Period]\r\nCount=2\r\n0=2024/04/03\r\n1=2024/05/01\r\n");
    auto* window = new PeriodWindow(w.Context(), w.folder, {2026, 12, 10});
    w.messages.QueueAnswer(MessageAnswer::kNo);
    window->DeleteSelected();
    w.messages.AnswerPending();
    QCOMPARE(window->recorded()->count(), 2);
    QCOMPARE(w.messages.texts().back(), std::string("削除しますか？"));

    w.messages.QueueAnswer(MessageAnswer::kYes);
    window->DeleteSelected();
    w.messages.AnswerPending();
    QCOMPARE(window->recorded()->count(), 1);
    QCOMPARE(w.sound.cues().back(), std::string("del"));
    QCOMPARE(window->tracker().file().ReadInteger("Period", "Count", -1), 1);

    // The window closes while the question is up.
    QPointer<PeriodWindow> guard(window);
    window->DeleteSelected();
    window->close();
    FlushEvents();
    QVERIFY(guard.isNull());
    w.messages.QueueAnswer(MessageAnswer::kYes);
    w.messages.AnswerPending();
    SettingsFile file(w.folder + "/Period.ini");
    QCOMPARE(file.ReadInteger("Period", "Count", -1), 1);

    // Without the question.
    w.settings.WriteInteger("Form", "Delete", 1);
    auto* quiet = new PeriodWindow(w.Context(), w.folder, {2026, 12, 10});
    quiet->DeleteSelected();
    QCOMPARE(quiet->recorded()->count(), 0);
    QCOMPARE(quiet->predictions(1)->count(), 0);
    QCOMPARE(quiet->detail(0)->count(), 0);
    quiet->close();
    FlushEvents();
  }

  void CommandChecksTheLockAndMakesAPrivateFolder() {
    FakeDataWorld w;
    std::filesystem::remove_all(w.data + "/Period");
    FakeCommandHost commands;
    TickEvents events;
    PreferencesPages pages;
    Services context = w.Context();
    PasswordGate lock(context);
    bool data_ok = true;
    InstallTools(context, commands, events, pages,
                 {[] {
                    return CivilDate{2026, 12, 10};
                  },
                  [](const CivilDate&) {}, [&] { return data_ok; },
                  [&](std::function<void()> go_on) {
                    lock.Check(LockedPart::kPeriod, std::move(go_on));
                  }});

    // Locked: a wrong password opens nothing and notes no access.
    w.settings.WriteBool("Password", "Use", true);
    commands.RunCommand(Command::kPeriod);
    QVERIFY(lock.prompt());
    QVERIFY(commands.opened.empty());
    QTest::keyClicks(lock.prompt()->new_field(), "x");
    lock.prompt()->close();
    FlushEvents();
    QVERIFY(commands.opened.empty());
    QVERIFY(!w.settings.Open().HasKey("Password", "Period"));

    w.settings.WriteBool("Password", "Use", false);
    data_ok = false;
    commands.RunCommand(Command::kPeriod);
    QVERIFY(commands.opened.empty());
    QVERIFY(!std::filesystem::exists(w.data + "/Period"));
    QCOMPARE(w.settings.ReadString("Password", "Period", ""),
             std::string("2026/12/10 10:30:00"));

    data_ok = true;
    commands.RunCommand(Command::kPeriod);
    QCOMPARE(commands.opened.size(), size_t{1});
    QCOMPARE(commands.opened[0], std::string("period"));
    QCOMPARE(w.settings.ReadString("Password", "Period", ""),
             std::string("2026/12/10 10:30:00"));
    QCOMPARE(ModeOf(w.data + "/Period"), mode_t(0700));
    QCOMPARE(ModeOf(w.data + "/Period/Period.ini"), mode_t(0600));
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (qobject_cast<PeriodWindow*>(top)) top->close();
    }
    FlushEvents();

    // A separate privacy folder holds it.
    const std::string privacy = w.dir / "private";
    std::filesystem::create_directory(privacy);
    w.settings.WriteString("Privacy", "Directory", privacy);
    commands.RunCommand(Command::kPeriod);
    QVERIFY(std::filesystem::exists(privacy + "/Period/Period.ini"));
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (qobject_cast<PeriodWindow*>(top)) top->close();
    }
    FlushEvents();
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::PeriodWindowTest)
#include "period_window_uitest.moc"
