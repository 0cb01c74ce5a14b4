// The result window, the settings window and the mail commands over the
// fake network.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <map>
#include <string>

#include "base/preferences_page.h"
#include "base/secret_store.h"
#include "base/settings_file.h"
#include "base/tick_events.h"
#include "mail/mail_module.h"
#include "mail/ui/mail_result_window.h"
#include "mail/ui/mail_settings_window.h"
#include "platform/file_io.h"
#include "platform/testing/fake_mail_network.h"
#include "platform/testing/fake_shell.h"
#include "support/fake_command_host.h"
#include "support/fake_world.h"
#include "support/window_queries.h"

namespace mirokata {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

void CheckAccessibleNames(QWidget* window) {
  for (QWidget* child : window->findChildren<QWidget*>()) {
    if (qobject_cast<QAbstractButton*>(child) ||
        qobject_cast<QLineEdit*>(child) || qobject_cast<QComboBox*>(child) ||
        qobject_cast<QAbstractSpinBox*>(child)) {
      if (qobject_cast<QAbstractSpinBox*>(child->parentWidget())) continue;
      if (qobject_cast<QComboBox*>(child->parentWidget())) continue;
      if (qobject_cast<QTabWidget*>(child->parentWidget()->parentWidget()))
        continue;  // the tab bar's scroll buttons
      QVERIFY2(!child->accessibleName().isEmpty(),
               qPrintable(child->metaObject()->className()));
    }
  }
}

}  // namespace

class MailWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { CloseAll(); }

  void ResultWindowLinesKeysAndMenu() {
    FakeWorld world;
    Services services = world.Context();
    int mailer = 0;
    MailResultActions actions;
    actions.start_mailer = [&mailer] { ++mailer; };
    auto* window = new MailResultWindow(services, actions);
    window->SetLines({"", U("仕事：3通").toStdString(), ""});
    window->ShowResults();
    QCOMPARE(window->line(0)->text(), QString());
    QCOMPARE(window->line(1)->text(), U("仕事：3通"));
    QCOMPARE(window->size(), QSize(240, 50));
    QCOMPARE(world.sound.cues().back(), std::string("rml"));
    QStringList items;
    for (QAction* a : window->context_menu()->actions()) items << a->text();
    QCOMPARE(items, (QStringList{U("メールチェック"), U("メーラー起動"), "",
                                 U("メールの設定"), U("閉じる(&C)")}));
    QPointer<MailResultWindow> guard(window);
    window->move(40, 30);
    QTest::keyClick(window, Qt::Key_Return);
    FlushEvents();
    QCOMPARE(mailer, 1);
    QVERIFY(!guard);
    QCOMPARE(world.settings.ReadInteger("pop", "left", -1), 40);
    QCOMPARE(world.sound.cues().back(), std::string("clo"));

    auto* second = new MailResultWindow(services, {});
    second->ShowResults();
    QPointer<MailResultWindow> guard2(second);
    QTest::keyClick(second, Qt::Key_Escape);
    FlushEvents();
    QVERIFY(!guard2);
  }

  void SettingsOkWritesAndCancelLeavesTheFile() {
    FakeWorld world;
    Services services = world.Context();
    SettingsSecretStore secrets(world.settings);
    world.settings.WriteString("pop", "pop2_name", "old");
    const std::string before = ReadFile(world.settings.path());
    {
      auto* window = new MailSettingsWindow(services, secrets, [](int n) {
        return n == 2 ? MailOutcome::kLoginFailed : MailOutcome::kNotRun;
      });
      CheckAccessibleNames(window);
      QCOMPARE(window->pages()->count(), 5);
      QCOMPARE(window->account(1).name->text(), U("old"));
      QCOMPARE(
          window->account(1).outcome->text(),
          QString::fromStdString(MailOutcomeText(MailOutcome::kLoginFailed)));
      window->account(1).name->setText(U("changed"));
      window->account(1).password->setText("typed");
      window->reject();
      FlushEvents();
    }
    QCOMPARE(ReadFile(world.settings.path()), before);

    auto* window = new MailSettingsWindow(services, secrets, {});
    window->auto_check()->setChecked(true);
    window->interval()->setValue(5);
    window->account(1).name->setText(U("仕事"));
    window->account(1).server->setText("pop.example");
    window->account(1).password->setText(U("P a=\\漢"));
    window->account(1).security->setCurrentIndex(2);
    window->account(1).check->setChecked(true);
    window->send().to->setText("me@example.com");
    window->send().password->setText("smtp pw");
    window->accept();
    FlushEvents();
    Settings s = world.settings.Open();
    QVERIFY(s.ReadBool("pop", "check", false));
    QCOMPARE(s.ReadInteger("pop", "min", 0), 5);
    QCOMPARE(s.ReadString("pop", "pop2_name", ""), U("仕事").toStdString());
    QCOMPARE(s.ReadString("pop", "pop2_server", ""),
             std::string("pop.example"));
    QCOMPARE(s.ReadInteger("pop", "pop2_security", 0), 2);
    QVERIFY(s.ReadBool("pop", "pop2_check", false));
    QCOMPARE(s.ReadString("smtp", "smtp_mailaddr", ""),
             std::string("me@example.com"));
    // Passwords never stand in the file as typed.
    QVERIFY(ReadFile(world.settings.path()).find("smtp pw") ==
            std::string::npos);
    std::optional<std::string> pop2, smtp;
    secrets.Read("pop2", [&](std::optional<std::string> p) { pop2 = p; });
    secrets.Read("smtp", [&](std::optional<std::string> p) { smtp = p; });
    QCOMPARE(pop2.value_or(""), U("P a=\\漢").toStdString());
    QCOMPARE(smtp.value_or(""), std::string("smtp pw"));
    QVERIFY(!s.HasKey("pop", "pop1_password"));
  }

  void CheckCommandOpensAndClosesTheResultWindow() {
    FakeWorld world;
    FakeMailNetwork network;
    FakeShell shell;
    Services services = world.Context();
    services.mail_network = &network;
    services.shell = &shell;
    FakeCommandHost host;
    TickEvents events;
    PreferencesPages pages;
    int countdown = 10;
    std::vector<StripColour> colours;
    MailHost mail_host;
    mail_host.strip_colour = [&](StripColour c) { colours.push_back(c); };
    mail_host.mail_countdown = [&] { return countdown; };
    mail_host.set_mail_countdown = [&](int m) { countdown = m; };
    InstallMail(services, host, events, pages, mail_host);

    std::map<std::string, int> counts{{"pop.example", 3}};
    network.on_connect_script = [](FakeMailPeer& p) {
      p.Accept();
      p.Send("+OK\r\n");
    };
    network.line_script = [&](FakeMailPeer& p, const std::string& line) {
      if (line == "STAT") {
        p.Send("+OK " + std::to_string(counts[p.host]) + " 9\r\n");
      } else if (line == "CAPA") {
        p.Send("-ERR\r\n");
      } else {
        p.Send("+OK\r\n");
      }
    };
    world.settings.Batch([](SettingsBatch& b) {
      b.WriteBool("pop", "pop2_check", true);
      b.WriteString("pop", "pop2_name", "b");
      b.WriteString("pop", "pop2_server", "pop.example");
      b.WriteInteger("pop", "min", 7);
      b.WriteString("pop", "pop1_program", "/usr/bin/mailer?-new");
    });
    host.RunCommand(Command::kMailCheck);
    network.RunPending();
    QCOMPARE(countdown, 7);
    QList<MailResultWindow*> open = Open<MailResultWindow>(true);
    QCOMPARE(open.size(), 1);
    QCOMPARE(open[0]->line(1)->text(), U("b：3通"));

    counts["pop.example"] = 0;
    host.RunCommand(Command::kMailCheck);
    network.RunPending();
    FlushEvents();
    QCOMPARE(Open<MailResultWindow>(true).size(), 0);

    host.RunCommand(Command::kMailer);
    QCOMPARE(countdown, 8);
    QCOMPARE(shell.calls().size(), size_t{1});
    QCOMPARE(shell.calls()[0].target, std::string("/usr/bin/mailer"));
    QCOMPARE(shell.calls()[0].parameters, std::string("-new"));
  }

  void PopupWithMailSendsOnlyWhenAsked() {
    FakeWorld world;
    FakeMailNetwork network;
    Services services = world.Context();
    services.mail_network = &network;
    FakeCommandHost host;
    TickEvents events;
    PreferencesPages pages;
    InstallMail(services, host, events, pages, {});
    world.settings.Batch([](SettingsBatch& b) {
      b.WriteBool("smtp", "smtp_check", true);
      b.WriteString("smtp", "smtp_server", "smtp.example");
      b.WriteString("smtp", "smtp_mailaddr", "me@example.com");
    });
    PopupFinished popup;
    popup.title = "26/12/11 (Fri) 09:05";
    popup.texts = {"a", "b"};
    events.PopupWindowFinished(popup);
    QCOMPARE(network.peers.size(), size_t{0});
    popup.send_mail = true;
    events.PopupWindowFinished(popup);
    QCOMPARE(network.peers.size(), size_t{1});
    QCOMPARE(network.last().host, std::string("smtp.example"));
  }
};

}  // namespace mirokata

QTEST_MAIN(mirokata::MailWindowsTest)
#include "mail_windows_uitest.moc"
