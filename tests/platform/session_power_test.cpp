// The shut-down chain against a D-Bus daemon of the test's own, with fake
// session managers and a fake logind: which one is asked, and that nothing
// after a session manager that answered is asked at all.
#include "platform/session_power.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>
#include <vector>

namespace mirokata {
namespace {

// A bus of the test's own: no service is ever started on demand.
constexpr char kBusConfig[] =
    "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus "
    "Configuration 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
    "<busconfig>\n"
    "  <type>session</type>\n"
    "  <listen>unix:dir=%1</listen>\n"
    "  <auth>EXTERNAL</auth>\n"
    "  <policy context=\"default\">\n"
    "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
    "    <allow eavesdrop=\"true\"/>\n"
    "    <allow own=\"*\"/>\n"
    "  </policy>\n"
    "</busconfig>\n";

// Answers every call to its object, recording "interface.member args".
class FakeService : public QDBusVirtualObject {
 public:
  FakeService(QStringList* log, bool refuse) : log_(log), refuse_(refuse) {}
  bool handleMessage(const QDBusMessage& m,
                     const QDBusConnection& connection) override {
    QStringList call{m.interface() + "." + m.member()};
    for (const QVariant& a : m.arguments()) call << a.toString();
    log_->append(call.join(' '));
    connection.send(refuse_ ? m.createErrorReply(
                                  QStringLiteral("org.example.Error.Refused"),
                                  QStringLiteral("refused"))
                            : m.createReply());
    return true;
  }
  QString introspect(const QString&) const override { return {}; }

 private:
  QStringList* log_;
  bool refuse_;
};

struct Fake {
  const char* key;
  const char* service;
  const char* path;
};
constexpr Fake kFakes[] = {
    {"gnome", "org.gnome.SessionManager", "/org/gnome/SessionManager"},
    {"kde", "org.kde.Shutdown", "/Shutdown"},
    {"xfce", "org.xfce.SessionManager", "/org/xfce/SessionManager"},
    {"logind", "org.freedesktop.login1", "/org/freedesktop/login1"},
};

// One fake on a connection of its own, gone from the bus with this object.
class FakeOnBus {
 public:
  FakeOnBus(const QString& address, const char* key, QStringList* log,
            bool refuse)
      : connection_(QStringLiteral("fake-%1-%2").arg(key).arg(++count_)),
        object_(log, refuse) {
    for (const Fake& f : kFakes) {
      if (QLatin1String(f.key) == key) fake_ = &f;
    }
    QDBusConnection bus = QDBusConnection::connectToBus(address, connection_);
    registered_ = fake_ &&
                  bus.registerVirtualObject(fake_->path, &object_,
                                            QDBusConnection::SingleNode) &&
                  bus.registerService(fake_->service);
  }
  ~FakeOnBus() {
    QDBusConnection bus(connection_);
    if (fake_) {
      bus.unregisterService(fake_->service);
      bus.unregisterObject(fake_->path);
    }
    QDBusConnection::disconnectFromBus(connection_);
  }
  FakeOnBus(const FakeOnBus&) = delete;
  FakeOnBus& operator=(const FakeOnBus&) = delete;
  bool registered() const { return registered_; }

 private:
  static inline int count_ = 0;
  const QString connection_;
  const Fake* fake_ = nullptr;
  FakeService object_;
  bool registered_ = false;
};

}  // namespace

class SessionPowerTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    const QString daemon =
        QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) QSKIP("dbus-daemon is not installed");
    QVERIFY(folder_.isValid());
    const QString config = folder_.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QString::fromLatin1(kBusConfig).arg(folder_.path()).toUtf8());
    file.close();
    daemon_.start(daemon,
                  {"--config-file=" + config, "--nofork", "--print-address=1"});
    QVERIFY(daemon_.waitForStarted());
    while (!daemon_.canReadLine()) QVERIFY(daemon_.waitForReadyRead(10000));
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    session_ = QDBusConnection::connectToBus(address_, "client-session");
    system_ = QDBusConnection::connectToBus(address_, "client-system");
    QVERIFY(session_->isConnected() && system_->isConnected());
  }

  void cleanupTestCase() {
    session_.reset();
    system_.reset();
    QDBusConnection::disconnectFromBus("client-session");
    QDBusConnection::disconnectFromBus("client-system");
    if (daemon_.state() != QProcess::NotRunning) {
      daemon_.terminate();
      daemon_.waitForFinished();
    }
  }

  void AsksTheFirstSessionManagerThereAndLogindOnlyWithoutOne() {
    const struct {
      std::vector<const char*> present;
      const char* refusing;
      PowerAction action;
      QStringList calls;
      bool accepted;
    } cases[] = {
        {{"gnome", "kde", "xfce", "logind"},
         nullptr,
         PowerAction::kShutDown,
         {"org.gnome.SessionManager.Shutdown"},
         true},
        {{"kde", "xfce", "logind"},
         nullptr,
         PowerAction::kShutDown,
         {"org.kde.Shutdown.logoutAndShutdown"},
         true},
        {{"xfce", "logind"},
         nullptr,
         PowerAction::kShutDown,
         {"org.xfce.Session.Manager.Shutdown true"},
         true},
        {{"logind"},
         nullptr,
         PowerAction::kShutDown,
         {"org.freedesktop.login1.Manager.PowerOff true"},
         true},
        {{"gnome", "logind"},
         nullptr,
         PowerAction::kRestart,
         {"org.gnome.SessionManager.Reboot"},
         true},
        {{"kde", "logind"},
         nullptr,
         PowerAction::kRestart,
         {"org.kde.Shutdown.logoutAndReboot"},
         true},
        {{"xfce"},
         nullptr,
         PowerAction::kRestart,
         {"org.xfce.Session.Manager.Restart true"},
         true},
        {{"logind"},
         nullptr,
         PowerAction::kRestart,
         {"org.freedesktop.login1.Manager.Reboot true"},
         true},
        // A session manager that says no ends it: logind would not ask.
        {{"gnome", "logind"},
         "gnome",
         PowerAction::kShutDown,
         {"org.gnome.SessionManager.Shutdown"},
         false},
        {{"xfce", "logind"},
         "xfce",
         PowerAction::kRestart,
         {"org.xfce.Session.Manager.Restart true"},
         false},
        {{}, nullptr, PowerAction::kShutDown, {}, false},
    };
    for (const auto& c : cases) {
      QStringList log;
      std::vector<std::unique_ptr<FakeOnBus>> fakes;
      for (const char* key : c.present) {
        fakes.push_back(std::make_unique<FakeOnBus>(
            address_, key, &log,
            c.refusing && QLatin1String(c.refusing) == key));
        QVERIFY(fakes.back()->registered());
      }
      SessionPower power(*session_, *system_);
      std::optional<bool> accepted;
      power.Request(c.action, [&](bool ok) { accepted = ok; });
      QTRY_VERIFY_WITH_TIMEOUT(accepted.has_value(), 20000);
      QCOMPARE(*accepted, c.accepted);
      QCOMPARE(log, c.calls);
    }
  }

  void WithoutABusNothingIsAskedAndTheAnswerStillComes() {
    QStringList log;
    FakeOnBus logind(address_, "logind", &log, false);
    QVERIFY(logind.registered());
    const QDBusConnection none(QStringLiteral("mirokata-test-no-bus"));
    SessionPower power(none, none);
    std::optional<bool> accepted;
    power.Request(PowerAction::kShutDown, [&](bool ok) { accepted = ok; });
    QVERIFY(!accepted.has_value());  // later, never from inside the call
    QTRY_VERIFY(accepted.has_value());
    QCOMPARE(*accepted, false);
    QVERIFY(log.isEmpty());
  }

 private:
  QTemporaryDir folder_;
  QProcess daemon_;
  QString address_;
  std::optional<QDBusConnection> session_, system_;
};

}  // namespace mirokata

QTEST_MAIN(mirokata::SessionPowerTest)
#include "session_power_test.moc"
