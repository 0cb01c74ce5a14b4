// The password prompt and the gate in front of the locked parts, over fake
// services.
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "base/settings_file.h"
#include "support/fake_world.h"
#include "tools/password_lock.h"
#include "tools/ui/password_window.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

// Answers every box that is up, and those they lead to.
void AnswerAll(FakeMessages& messages) {
  while (messages.AnswerPending() > 0) {
  }
}

}  // namespace

class PasswordWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void FirstPasswordIsSetInsideACheckAndLetsTheUserIn() {
    FakeDataWorld w;
    w.settings.WriteBool("Password", "Use", true);
    PasswordGate gate(w.Context());
    int opened = 0;
    gate.Check(LockedPart::kDiary, [&] { ++opened; });
    PasswordWindow* prompt = gate.prompt();
    QVERIFY(prompt && prompt->isVisible());
    QCOMPARE(w.sound.cues().back(), std::string("pas"));
    QVERIFY(!prompt->password_field()->isEnabled());
    QVERIFY(!prompt->open_button()->isEnabled());
    QVERIFY(prompt->new_field()->isEnabled());
    QVERIFY(prompt->set_button()->isEnabled());
    QCOMPARE(prompt->access_field(LockedPart::kDiary)->text(),
             U("アクセスありません。"));
    QCOMPARE(std::filesystem::status(w.data + "/Password").permissions() &
                 std::filesystem::perms::all,
             std::filesystem::perms::owner_all);

    QTest::keyClicks(prompt->new_field(), "Kagi 9");
    QTest::keyClicks(prompt->again_field(), "Kagi 9");
    prompt->telephone_box()->setChecked(true);
    prompt->SetPassword();
    AnswerAll(w.messages);
    FlushEvents();
    const std::vector<std::string> texts = w.messages.texts();
    QCOMPARE(texts.size(), size_t{6});
    QCOMPARE(texts[0], std::string("パスワードを変更しました。"));
    QVERIFY(texts[1].rfind("このパスワード機能は", 0) == 0);
    QVERIFY(texts[5].rfind("単なる牽制でしかなく", 0) == 0);
    QCOMPARE(opened, 1);
    QVERIFY(!gate.prompt());
    QVERIFY(IsPasswordHash(w.settings.ReadString("Password", "Password", "")));
    QVERIFY(w.settings.ReadBool("Password", "tel", false));
    QCOMPARE(w.settings.ReadString("Password", "Diary", ""),
             std::string("2026/12/10 10:30:00"));
  }

  void WrongPasswordStopsEveryWaitingCaller() {
    FakeDataWorld w;
    StorePassword(w.settings, "Secret", false);
    w.settings.WriteBool("Password", "Use", true);
    w.settings.WriteString("Password", "Period", "2026/11/01 08:00:00");
    PasswordGate gate(w.Context());
    int opened = 0;
    gate.Check(LockedPart::kPeriod, [&] { ++opened; });
    // A second request while the prompt is up shares it.
    gate.Check(LockedPart::kDiary, [&] { ++opened; });
    PasswordWindow* prompt = gate.prompt();
    QCOMPARE(prompt->access_field(LockedPart::kPeriod)->text(),
             U("2026/11/01 08:00:00"));
    QVERIFY(prompt->password_field()->isEnabled());
    QVERIFY(!prompt->new_field()->isEnabled());
    QTest::keyClicks(prompt->password_field(), "secret");
    QVERIFY(prompt->open_button()->isEnabled());
    QTest::keyClick(prompt->password_field(), Qt::Key_Return);
    FlushEvents();
    QCOMPARE(opened, 0);
    QCOMPARE(w.messages.texts().back(), std::string("パスワードが違います。"));
    QVERIFY(w.messages.shown().back().request.buttons ==
            MessageButtons::kCancel);
    QCOMPARE(w.settings.ReadString("Password", "Period", ""),
             std::string("2026/11/01 08:00:00"));

    gate.Check(LockedPart::kPeriod, [&] { ++opened; });
    gate.Check(LockedPart::kDiary, [&] { ++opened; });
    QTest::keyClicks(gate.prompt()->password_field(), "Secret");
    gate.prompt()->Open();
    FlushEvents();
    QCOMPARE(opened, 2);
    QCOMPARE(w.settings.ReadString("Password", "Period", ""),
             std::string("2026/12/10 10:30:00"));

    // The phone book asks only with `tel`; the access is noted anyway.
    gate.Check(LockedPart::kTelephone, [&] { ++opened; });
    QCOMPARE(opened, 3);
    QVERIFY(!gate.prompt());
    QCOMPARE(w.settings.ReadString("Password", "Telephone", ""),
             std::string("2026/12/10 10:30:00"));
  }

  void FailedChangesLeaveThePasswordAlone() {
    FakeDataWorld w;
    StorePassword(w.settings, "Old", true);
    const std::string stored =
        w.settings.ReadString("Password", "Password", "");
    const struct {
      const char* current;
      const char* fresh;
      const char* again;
      const char* message;
    } cases[] = {
        {"old", "New", "New", "パスワードが異なるので変更しませんでした。"},
        {"Old", "", "", "パスワードが不正なので変更しませんでした。"},
        {"Old", "New", "Nwe", "パスワードが不正なので変更しませんでした。"},
    };
    PasswordGate gate(w.Context());
    for (const auto& c : cases) {
      bool passed = true;
      gate.Confirm([&](bool ok) { passed = ok; });
      PasswordWindow* prompt = gate.prompt();
      QVERIFY(!prompt->set_button()->isEnabled());
      QTest::keyClicks(prompt->current_field(), c.current);
      QVERIFY(prompt->new_field()->isEnabled());
      QTest::keyClicks(prompt->new_field(), c.fresh);
      QTest::keyClicks(prompt->again_field(), c.again);
      prompt->telephone_box()->setChecked(false);
      w.messages.Clear();
      prompt->SetPassword();
      QVERIFY(!prompt->isVisible());
      AnswerAll(w.messages);
      FlushEvents();
      QCOMPARE(w.messages.texts().front(), std::string(c.message));
      QVERIFY(!passed);
      QCOMPARE(w.settings.ReadString("Password", "Password", ""), stored);
      QVERIFY(w.settings.ReadBool("Password", "tel", false));
    }
  }

  void ClosingTheProgramWithThePromptUp() {
    FakeDataWorld w;
    w.settings.WriteBool("Password", "Use", true);
    // No data folder yet: nothing is made in the current folder.
    w.settings.WriteString("Calendar", "Directory", ".");
    const auto before = std::filesystem::exists("Password");
    int opened = 0;
    {
      PasswordGate gate(w.Context());
      gate.Check(LockedPart::kPeriod, [&] { ++opened; });
      QVERIFY(gate.prompt());
    }
    FlushEvents();
    QCOMPARE(opened, 0);
    QCOMPARE(std::filesystem::exists("Password"), before);
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::PasswordWindowTest)
#include "password_window_uitest.moc"
