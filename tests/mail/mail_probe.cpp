// One exchange against a real server, for the integration scripts:
//   mail_probe pop3 HOST PORT SECURITY USER PASSWORD
//   mail_probe smtp HOST PORT SECURITY USER PASSWORD FROM TO TEXT...
// Prints the outcome's number and, for POP3, the count (-1 for none).
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "mail/mail_exchange.h"
#include "mail/pop3_session.h"
#include "mail/reminder_message.h"
#include "mail/smtp_session.h"
#include "platform/linux_platform.h"
#include "platform/mail_connection.h"

int main(int argc, char** argv) {
  using namespace mirokata;
  QCoreApplication app(argc, argv);
  if (argc < 7) {
    std::fprintf(
        stderr,
        "usage: mail_probe pop3|smtp HOST PORT SECURITY USER PASSWORD ...\n");
    return 2;
  }
  const std::string kind = argv[1];
  std::unique_ptr<MailNetwork> network = MakeLinuxMailNetwork();
  std::unique_ptr<Uptime> uptime = MakeBootUptime();
  std::unique_ptr<Clock> clock = MakeSystemClock();
  std::unique_ptr<MailSession> session;
  Pop3Session* pop3 = nullptr;
  if (kind == "pop3") {
    Pop3Account account;
    account.host = argv[2];
    account.port_text = argv[3];
    account.security = std::stoi(argv[4]);
    account.user = argv[5];
    account.password = argv[6];
    auto p = std::make_unique<Pop3Session>(account);
    pop3 = p.get();
    session = std::move(p);
  } else {
    if (argc < 10) return 2;
    ReminderMail mail;
    mail.from = argv[7];
    mail.to = argv[8];
    mail.title = "26/12/11 (Fri) 09:05";
    for (int i = 9; i < argc; ++i) mail.texts.push_back(argv[i]);
    mail.date = clock->Now();
    mail.unique = std::to_string(mail.date.unix_seconds) + ".probe";
    std::optional<std::string> message = ComposeReminderMessage(mail);
    if (!message) {
      std::printf("refused\n");
      return 0;
    }
    SmtpRequest request;
    request.host = argv[2];
    request.port_text = argv[3];
    request.security = std::stoi(argv[4]);
    request.user = argv[5];
    request.password = argv[6];
    request.local_host_name = "localhost";
    request.envelope_from = mail.from;
    request.envelope_to = mail.to;
    request.message = *message;
    session = std::make_unique<SmtpSession>(request);
  }
  MailSession* s = session.get();
  MailExchange exchange(*network, *uptime, std::move(session), [] {
    QTimer::singleShot(0, [] { QCoreApplication::quit(); });
  });
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout,
                   [&exchange] { exchange.CheckDeadline(); });
  poll.start(1000);
  exchange.Start();
  app.exec();
  std::printf("%d %d\n", static_cast<int>(s->outcome()),
              pop3 && pop3->count() ? *pop3->count() : -1);
  return 0;
}
