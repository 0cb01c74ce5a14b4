// The mail clients over real sockets against a local scripted server, with
// certificates made by openssl for the case.
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "mail/mail_exchange.h"
#include "mail/pop3_session.h"
#include "platform/mail_connection.h"
#include "platform/testing/fake_clock.h"

namespace mirokata {
namespace {

class Pop3Server : public QTcpServer {
 public:
  enum class Tls { kNone, kStls, kImplicit };
  Tls tls = Tls::kNone;
  QString certificate;  // base name in the certificate folder
  QString folder;
  bool greet = true;
  int count = 5;
  // Lines the client sent, with whether they came encrypted.
  QList<QPair<QByteArray, bool>> received;
  bool disconnected = false;

  bool Saw(const QByteArray& verb) const {
    for (const auto& line : received)
      if (line.first.startsWith(verb)) return true;
    return false;
  }
  bool SawPlain(const QByteArray& verb) const {
    for (const auto& line : received)
      if (line.first.startsWith(verb) && !line.second) return true;
    return false;
  }

 protected:
  void incomingConnection(qintptr descriptor) override {
    auto* socket = new QSslSocket(this);
    socket->setSocketDescriptor(descriptor);
    if (!certificate.isEmpty()) {
      socket->setLocalCertificate(folder + "/" + certificate + ".crt");
      socket->setPrivateKey(folder + "/" + certificate + ".key");
    }
    connect(socket, &QSslSocket::disconnected, this,
            [this] { disconnected = true; });
    connect(socket, &QSslSocket::readyRead, this, [this, socket] {
      while (socket->canReadLine())
        Answer(socket, socket->readLine().trimmed());
    });
    if (tls == Tls::kImplicit) {
      connect(socket, &QSslSocket::encrypted, this, [this, socket] {
        if (greet) socket->write("+OK ready\r\n");
      });
      socket->startServerEncryption();
    } else if (greet) {
      socket->write("+OK ready\r\n");
    }
  }

 private:
  void Answer(QSslSocket* socket, const QByteArray& line) {
    received.append({line, socket->isEncrypted()});
    if (line == "CAPA") {
      socket->write(tls == Tls::kStls ? "+OK\r\nUSER\r\nSTLS\r\n.\r\n"
                                      : "+OK\r\nUSER\r\n.\r\n");
    } else if (line == "STLS") {
      socket->write("+OK go\r\n");
      socket->flush();
      socket->startServerEncryption();
    } else if (line.startsWith("STAT")) {
      socket->write("+OK " + QByteArray::number(count) + " 100\r\n");
    } else if (line == "QUIT") {
      socket->write("+OK bye\r\n");
      socket->disconnectFromHost();
    } else {
      socket->write("+OK\r\n");
    }
  }
};

}  // namespace

class MailSocketTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(certs_.isValid());
    QProcess make;
    make.start("sh", {QStringLiteral(MAKE_TEST_CERTS), certs_.path()});
    QVERIFY(make.waitForFinished(60000));
    QCOMPARE(make.exitCode(), 0);
    qputenv("MIROKATA_EXTRA_CA", (certs_.path() + "/ca.crt").toLocal8Bit());
  }

  void PlainCount() {
    Pop3Server server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    auto pop3 = Run(server, Account(server, 3));
    QCOMPARE(pop3.first, MailOutcome::kOk);
    QCOMPARE(pop3.second, 5);
    QTRY_VERIFY(server.Saw("QUIT"));
  }

  void StlsKeepsThePasswordEncrypted() {
    Pop3Server server;
    server.tls = Pop3Server::Tls::kStls;
    server.certificate = "good";
    server.folder = certs_.path();
    QVERIFY(server.listen(QHostAddress::LocalHost));
    auto pop3 = Run(server, Account(server, 0));
    QCOMPARE(pop3.first, MailOutcome::kOk);
    QCOMPARE(pop3.second, 5);
    QVERIFY(server.Saw("PASS"));
    QVERIFY(!server.SawPlain("PASS"));
    QVERIFY(!server.SawPlain("USER"));
  }

  void ImplicitTls() {
    Pop3Server server;
    server.tls = Pop3Server::Tls::kImplicit;
    server.certificate = "good";
    server.folder = certs_.path();
    QVERIFY(server.listen(QHostAddress::LocalHost));
    auto pop3 = Run(server, Account(server, 2));
    QCOMPARE(pop3.first, MailOutcome::kOk);
    QCOMPARE(pop3.second, 5);
  }

  void BadCertificatesNeverGetThePassword_data() {
    QTest::addColumn<QString>("certificate");
    QTest::addColumn<int>("security");
    for (const char* name : {"wrong_host", "expired", "self_signed"}) {
      QTest::newRow(QByteArray(name) + " STLS") << QString(name) << 1;
      QTest::newRow(QByteArray(name) + " POP3S") << QString(name) << 2;
    }
  }
  void BadCertificatesNeverGetThePassword() {
    QFETCH(QString, certificate);
    QFETCH(int, security);
    Pop3Server server;
    server.tls =
        security == 2 ? Pop3Server::Tls::kImplicit : Pop3Server::Tls::kStls;
    server.certificate = certificate;
    server.folder = certs_.path();
    QVERIFY(server.listen(QHostAddress::LocalHost));
    Pop3Account account = Account(server, security);
    account.host = "localhost";
    auto pop3 = Run(server, account);
    QCOMPARE(pop3.first, MailOutcome::kTlsFailed);
    QCOMPARE(pop3.second, -1);
    QVERIFY(!server.Saw("USER"));
    QVERIFY(!server.Saw("PASS"));
  }

  void RefusedConnection() {
    quint16 port = 0;
    {
      QTcpServer closed;
      QVERIFY(closed.listen(QHostAddress::LocalHost));
      port = closed.serverPort();
    }
    Pop3Account account;
    account.host = "127.0.0.1";
    account.port_text = QByteArray::number(port).toStdString();
    account.security = 3;
    Pop3Server unused;
    auto pop3 = Run(unused, account);
    QCOMPARE(pop3.first, MailOutcome::kConnectFailed);
  }

  // A server that never greets: the event loop goes on (a one-second timer
  // fires every second) and the deadline ends the exchange.
  void StallKeepsTheLoopRunningUntilTheDeadline() {
    Pop3Server server;
    server.greet = false;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    FakeUptime uptime;
    std::unique_ptr<MailNetwork> network = MakeLinuxMailNetwork();
    auto session = std::make_unique<Pop3Session>(Account(server, 3));
    Pop3Session* pop3 = session.get();
    bool done = false;
    MailExchange exchange(*network, uptime, std::move(session),
                          [&done] { done = true; });
    exchange.Start();
    int ticks = 0;
    QTimer tick;
    tick.setInterval(1000);
    connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    QElapsedTimer elapsed;
    elapsed.start();
    tick.start();
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 3, 5000);
    QVERIFY(elapsed.elapsed() < 4000);
    QVERIFY(!done);
    uptime.Advance(kMailDeadlineMs);
    exchange.CheckDeadline();
    QVERIFY(done);
    QCOMPARE(pop3->outcome(), MailOutcome::kTimedOut);
    QTRY_VERIFY(server.disconnected);
  }

 private:
  Pop3Account Account(const QTcpServer& server, int security) {
    Pop3Account account;
    account.host = "127.0.0.1";
    account.port_text = QByteArray::number(server.serverPort()).toStdString();
    account.user = "taro";
    account.password = "secret";
    account.security = security;
    return account;
  }

  // Outcome and count (-1: none).
  QPair<MailOutcome, int> Run(Pop3Server&, const Pop3Account& account) {
    FakeUptime uptime;
    std::unique_ptr<MailNetwork> network = MakeLinuxMailNetwork();
    auto session = std::make_unique<Pop3Session>(account);
    Pop3Session* pop3 = session.get();
    bool done = false;
    MailExchange exchange(*network, uptime, std::move(session),
                          [&done] { done = true; });
    exchange.Start();
    [&] { QTRY_VERIFY_WITH_TIMEOUT(done, 20000); }();
    return {pop3->outcome(), pop3->count().value_or(-1)};
  }

  QTemporaryDir certs_;
};

}  // namespace mirokata

QTEST_GUILESS_MAIN(mirokata::MailSocketTest)
#include "mail_socket_test.moc"
