// The birthday book and the greeting over fake services, and the greeting
// as the reminder engine's tick opens it.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <filesystem>
#include <string>

#include "base/preferences_page.h"
#include "base/settings_file.h"
#include "base/tick_events.h"
#include "contacts/contacts_module.h"
#include "contacts/ui/birthday_book_window.h"
#include "contacts/ui/birthday_greeting_window.h"
#include "platform/file_io.h"
#include "schedule/reminder_engine.h"
#include "support/fake_command_host.h"
#include "support/fake_world.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

std::string ReadFile(const std::string& path) {
  std::string data;
  ReadWholeFile(path, &data);
  return data;
}

// The windows of a kind that exist (the fake host opens without showing).
template <typename W>
QList<W*> Open() {
  QList<W*> out;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (auto* w = qobject_cast<W*>(top)) out.append(w);
  }
  return out;
}

void CloseAll() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (!qobject_cast<QMenu*>(top)) top->close();
  }
  FlushEvents();
}

// Every control of the window says what it is.
void CheckAccessibleNames(QWidget* window) {
  for (QWidget* child : window->findChildren<QWidget*>()) {
    if (qobject_cast<QAbstractButton*>(child) ||
        qobject_cast<QAbstractSpinBox*>(child) ||
        qobject_cast<QTextEdit*>(child) ||
        qobject_cast<QPlainTextEdit*>(child) ||
        qobject_cast<QListWidget*>(child)) {
      if (qobject_cast<QAbstractSpinBox*>(child->parentWidget())) continue;
      QVERIFY2(!child->accessibleName().isEmpty(),
               child->metaObject()->className());
    }
  }
}

}  // namespace

class BirthdayWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void OpensAtTheLastDateAndShowsWhatItMeans() {
    FakeDataWorld w;
    w.settings.Batch([](SettingsBatch& b) {
      b.WriteString("Bio", "BD", "2000/02/29");
      b.WriteInteger("Birthday", "left", 130);
      b.WriteInteger("Birthday", "top", 70);
      b.WriteBool("Form", "Qreki", true);
    });
    auto* book = new BirthdayBookWindow(w.Context(), w.data);
    book->show();
    QCOMPARE(w.sound.cues().front(), std::string("ope"));
    QCOMPARE(book->pos(), QPoint(130, 70));
    QCOMPARE(book->birth_date(), (CivilDate{2000, 2, 29}));
    QCOMPARE(book->field(0)->value(), 2000);
    QCOMPARE(book->age_field()->value(), 26);
    QCOMPARE(book->caption("path")->text(),
             QString::fromStdString(w.data + "/BORN0229.2000"));
    QCOMPARE(book->caption("sign")->text(), U("魚座"));
    QCOMPARE(book->caption("sign")->toolTip(), U("2/19～3/20"));
    QCOMPARE(book->caption("animal")->text(), U("辰"));
    QCOMPARE(book->caption("flower")->text(), U("ハナムギ"));
    QCOMPARE(book->caption("word")->text(), U("清らかな愛情"));
    QCOMPARE(book->caption("flower")->toolTip(),
             U("２月の誕生花 マーガレット／フリージア"));
    QCOMPARE(book->caption("old_month")->text(), U("(如月)"));
    QCOMPARE(book->caption("stone")->text(), U("アメジスト"));
    QVERIFY(book->caption("rokuyo")->text().startsWith(U("(")));
    QCOMPARE(book->caption("chart_date")->text(), U("2000/02/29"));
    QCOMPARE(book->caption("chart_year")->text(), U("2026"));
    QCOMPARE(book->caption("chart_month")->text(), U("12"));
    QCOMPARE(book->picture(0), std::string("UO"));
    QCOMPARE(book->picture(1), std::string("TATU"));
    QCOMPARE(book->picture(2), std::string("TWO"));
    QVERIFY(!book->save_button()->isEnabled());
    QVERIFY(!book->delete_button()->isEnabled());
    CheckAccessibleNames(book);

    // Typed fields are made a real date.
    book->field(1)->setValue(4);
    book->field(2)->setValue(31);
    QCOMPARE(book->birth_date(), (CivilDate{2000, 4, 30}));
    QCOMPARE(book->field(2)->value(), 30);
    book->field(1)->setValue(13);
    QCOMPARE(book->birth_date(), (CivilDate{2000, 12, 30}));
    QCOMPARE(book->field(1)->value(), 12);
    // Every year 1-9999 names a file the list can come back to.
    book->field(0)->setValue(9999);
    QVERIFY(book->caption("path")->text().endsWith(U("/BORN1230.9999")));
    book->field(0)->setValue(1);
    QVERIFY(book->caption("path")->text().endsWith(U("/BORN1230.0001")));

    // Ages and their names; the age gives the birth year.
    book->SetBirthDate(1966, 12, 10);
    QCOMPARE(book->age_field()->value(), 60);
    QCOMPARE(book->caption("alias")->text(), U("(耳順)"));
    QCOMPARE(book->caption("celebration")->text(), U("(還暦)"));
    book->age_field()->setValue(61);
    QCOMPARE(book->caption("alias")->text(), QString());
    QCOMPARE(book->caption("celebration")->text(), QString());
    book->age_field()->setValue(30);
    book->ApplyAge();
    QCOMPARE(book->birth_date(), (CivilDate{1996, 12, 10}));
    QCOMPARE(book->caption("animal")->text(), U("子"));

    // The thirteen signs from the menu, kept in the settings.
    book->SetBirthDate(1996, 12, 18);
    QCOMPARE(book->caption("sign")->text(), U("射手座"));
    emit book->sign_menu()->aboutToShow();
    QVERIFY(book->sign_menu()->actions()[0]->isChecked());
    book->sign_menu()->actions()[1]->trigger();
    QCOMPARE(book->caption("sign")->text(), U("新射手座"));
    QCOMPARE(w.settings.ReadInteger("Birthday", "Seiza", -1), 1);
    emit book->sign_menu()->aboutToShow();
    QVERIFY(book->sign_menu()->actions()[1]->isChecked());

    // The chart's month steps over the year's end both ways.
    book->StepChartMonth(1);
    QCOMPARE(book->caption("chart_year")->text(), U("2027"));
    QCOMPARE(book->caption("chart_month")->text(), U("1"));
    book->StepChartMonth(-1);
    book->StepChartMonth(-1);
    QCOMPARE(book->caption("chart_month")->text(), U("11"));
    book->StepChartMonth(0);
    QCOMPARE(book->caption("chart_month")->text(), U("12"));

    // Closing keeps the date shown and the place, in one write.
    book->move(150, 90);
    book->close();
    FlushEvents();
    QCOMPARE(w.sound.cues().back(), std::string("clo"));
    QCOMPARE(w.settings.ReadString("Bio", "BD", ""), std::string("1996/12/18"));
    QCOMPARE(w.settings.ReadInteger("Birthday", "left", -1), 150);
    QCOMPARE(w.settings.ReadInteger("Birthday", "top", -1), 90);
  }

  void AnUnreadableDateIsToday() {
    FakeDataWorld w;
    for (const char* stored : {"garbage", "2000/02/30", ""}) {
      w.settings.WriteString("Bio", "BD", stored);
      auto* book = new BirthdayBookWindow(w.Context(), w.data);
      QCOMPARE(book->birth_date(), (CivilDate{2026, 12, 10}));
      QCOMPARE(book->age_field()->value(), 0);
      book->close();
      FlushEvents();
    }
  }

  void SavesReloadsAndDeletes() {
    FakeDataWorld w;
    w.settings.WriteString("Bio", "BD", "1970/01/15");
    QSignalSpy changed(&w.changes, &EntryChanges::Changed);
    int memo_refreshes = 0;
    auto* book =
        new BirthdayBookWindow(w.Context(), w.data, [&] { ++memo_refreshes; });
    QCOMPARE(book->list()->count(), 0);
    book->text_box()->setPlainText(U("山田太郎"));
    QVERIFY(book->save_button()->isEnabled());
    book->Save();
    const std::string file = w.data + "/BORN0115.1970";
    QVERIFY(ReadFile(file).starts_with("{\\rtf1"));
    QCOMPARE(w.sound.cues().back(), std::string("sav"));
    QVERIFY(!book->save_button()->isEnabled());
    QVERIFY(book->delete_button()->isEnabled());
    QCOMPARE(memo_refreshes, 1);
    FlushEvents();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(book->list()->count(), 1);
    QCOMPARE(book->list()->item(0)->text(), U("01月15日【1970年】あと 36日"));
    book->close();
    FlushEvents();

    // Reopened at the same date, the text is back.
    book = new BirthdayBookWindow(w.Context(), w.data);
    QCOMPARE(book->text_box()->toPlainText(), U("山田太郎"));
    QVERIFY(book->save_button()->isEnabled());
    QVERIFY(book->delete_button()->isEnabled());

    // No keeps it, Yes deletes it.
    w.messages.QueueAnswer(MessageAnswer::kNo);
    book->Delete();
    QCOMPARE(w.messages.AnswerPending(), 1);
    QCOMPARE(w.messages.texts().back(), std::string("削除しますか？"));
    QCOMPARE(w.messages.shown().back().request.corner_of,
             static_cast<QWidget*>(book));
    QVERIFY(std::filesystem::exists(file));
    w.messages.QueueAnswer(MessageAnswer::kYes);
    book->Delete();
    w.messages.AnswerPending();
    QVERIFY(!std::filesystem::exists(file));
    QCOMPARE(w.sound.cues().back(), std::string("del"));
    QCOMPARE(book->text_box()->toPlainText(), QString());
    QVERIFY(!book->save_button()->isEnabled());
    QVERIFY(!book->delete_button()->isEnabled());
    QCOMPARE(book->list()->count(), 0);
    FlushEvents();
    QCOMPARE(changed.count(), 2);

    // Without the question.
    w.settings.WriteInteger("Form", "Delete", 1);
    book->text_box()->setPlainText(U("again"));
    book->Save();
    QVERIFY(std::filesystem::exists(file));
    const size_t asked = w.messages.shown().size();
    book->Delete();
    QVERIFY(!std::filesystem::exists(file));
    QCOMPARE(w.messages.shown().size(), asked);
    book->close();
    FlushEvents();
  }

  void AFailedSaveSaysWhyAndKeepsTheButton() {
    FakeDataWorld w;
    w.settings.WriteString("Bio", "BD", "1980/05/05");
    // A folder stands where the file would go.
    std::filesystem::create_directory(w.data + "/BORN0505.1980");
    auto* book = new BirthdayBookWindow(w.Context(), w.data);
    QVERIFY(!book->delete_button()->isEnabled());
    book->text_box()->setPlainText(U("name"));
    book->Save();
    QCOMPARE(w.messages.texts().size(), size_t(1));
    const std::string text = w.messages.texts().back();
    QVERIFY2(text.starts_with("保存できませんでした。\r") &&
                 text.size() > std::string("保存できませんでした。\r").size(),
             text.c_str());
    QVERIFY(book->save_button()->isEnabled());
    QVERIFY(!book->delete_button()->isEnabled());
    for (const std::string& cue : w.sound.cues()) QVERIFY(cue != "sav");
    book->close();
    FlushEvents();
  }

  void TheListSkipsNamesThatAreNoBirthdays() {
    FakeDataWorld w;
    w.Put("BORN0102.19x9", "bad year");
    w.Put("BORN0230.2000", "no such day");
    w.Put("BORN0310.1985", "{\\rtf1 Hanako}");
    w.Put("____1210.26", "schedule");
    auto* book = new BirthdayBookWindow(w.Context(), w.data);
    QCOMPARE(book->list()->count(), 1);
    QCOMPARE(book->list()->item(0)->text(), U("03月10日【1985年】あと 90日"));
    QVERIFY(w.messages.texts().empty());

    // Picking it shows its date and text; saving waits for an edit.
    book->list()->setCurrentRow(0);
    QCOMPARE(book->birth_date(), (CivilDate{1985, 3, 10}));
    QCOMPARE(book->text_box()->toPlainText(), U("Hanako"));
    QVERIFY(!book->save_button()->isEnabled());
    QVERIFY(book->delete_button()->isEnabled());
    book->text_box()->insertPlainText(U("!"));
    QVERIFY(book->save_button()->isEnabled());
    book->close();
    FlushEvents();
  }

  void ClosingWhileTheQuestionIsOpen() {
    FakeDataWorld w;
    w.settings.WriteString("Bio", "BD", "1990/06/01");
    w.Put("BORN0601.1990", "keep me");
    auto* book = new BirthdayBookWindow(w.Context(), w.data);
    QPointer<BirthdayBookWindow> guard(book);
    book->Delete();
    book->close();
    FlushEvents();
    QVERIFY(guard.isNull());
    w.messages.QueueAnswer(MessageAnswer::kYes);
    QCOMPARE(w.messages.AnswerPending(), 1);
    QVERIFY(std::filesystem::exists(w.data + "/BORN0601.1990"));
  }

  void CommandsOpenTheBookAndTheGreeting() {
    FakeDataWorld w;
    FakeCommandHost commands;
    TickEvents events;
    PreferencesPages pages;
    Services context = w.Context();
    bool data_ok = false;
    InstallContacts(context, commands, events, pages,
                    {[&] { return data_ok; }, {}});
    commands.RunCommand(Command::kBirthdays);
    QVERIFY(commands.opened.empty());
    data_ok = true;
    commands.RunCommand(Command::kBirthdays);
    QCOMPARE(commands.opened, std::vector<std::string>{"birthday_book"});
    QCOMPARE(Open<BirthdayBookWindow>().size(), 1);
    CloseAll();

    // The greeting: shown (not waited for), refilled when run again.
    w.Put("BORN1210.1970", "{\\rtf1 Taro}");
    commands.RunCommand(Command::kBirthdayGreeting);
    QCOMPARE(Open<BirthdayGreetingWindow>().size(), 1);
    BirthdayGreetingWindow* greeting = Open<BirthdayGreetingWindow>().front();
    QVERIFY(greeting->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(greeting->windowTitle(), U("Happy Birthday!!"));
    QCOMPARE(greeting->text_box()->toPlainText(),
             U("【56歳の誕生日】1970/12/10 (木)\nTaro"));
    QVERIFY(greeting->text_box()->isReadOnly());
    CheckAccessibleNames(greeting);
    w.Put("BORN1210.19x0", "no year");
    commands.RunCommand(Command::kBirthdayGreeting);
    QCOMPARE(Open<BirthdayGreetingWindow>().size(), 1);
    QCOMPARE(greeting->text_box()->toPlainText(),
             U("【56歳の誕生日】1970/12/10 (木)\nTaro\nno year"));
    // The picture opens the book.
    greeting->picture_button()->click();
    QCOMPARE(commands.Count(Command::kBirthdays), 3);
    QCOMPARE(Open<BirthdayBookWindow>().size(), 1);
    CloseAll();
  }

  void TheTickGreetsOnceADay() {
    FakeDataWorld w;
    w.Put("BORN1210.19x0", "no year, still greeted");
    FakeCommandHost commands;
    TickEvents events;
    PreferencesPages pages;
    Services context = w.Context();
    InstallContacts(context, commands, events, pages,
                    {[] { return true; }, {}});
    auto make_engine = [&] {
      ReminderParts parts;
      parts.events = &events;
      parts.commands = &commands;
      return std::make_unique<ReminderEngine>(context, parts);
    };
    {
      auto engine = make_engine();
      engine->Tick();
      QCOMPARE(commands.later,
               std::vector<Command>{Command::kBirthdayGreeting});
      for (int i = 0; i < 5; ++i) {
        w.clock.Advance(1);
        w.uptime.Advance(1000);
        engine->Tick();
      }
      QCOMPARE(commands.Count(Command::kBirthdayGreeting), 1);
      QCOMPARE(Open<BirthdayGreetingWindow>().size(), 1);
      QCOMPARE(
          Open<BirthdayGreetingWindow>().front()->text_box()->toPlainText(),
          U("no year, still greeted"));
      CloseAll();
    }
    {  // a restart the same day
      auto engine = make_engine();
      engine->Tick();
      QCOMPARE(commands.Count(Command::kBirthdayGreeting), 1);
      QVERIFY(Open<BirthdayGreetingWindow>().isEmpty());
    }
    {  // the next day has no birthday, the one after has
      w.Put("BORN1212.2000", "{\\rtf1 Jiro}");
      w.clock.Set(2026, 12, 11, 23, 59, 59);
      auto engine = make_engine();
      engine->Tick();
      QCOMPARE(commands.Count(Command::kBirthdayGreeting), 1);
      w.clock.Advance(1);
      w.uptime.Advance(1000);
      engine->Tick();
      QCOMPARE(commands.Count(Command::kBirthdayGreeting), 2);
      QCOMPARE(
          Open<BirthdayGreetingWindow>().front()->text_box()->toPlainText(),
          U("【26歳の誕生日】2000/12/12 (火)\nJiro"));
      CloseAll();
    }
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::BirthdayWindowsTest)
#include "birthday_windows_uitest.moc"
