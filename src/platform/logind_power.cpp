#include "platform/logind_power.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>

namespace mirokata {

LogindPower::LogindPower() : bus_(QDBusConnection::systemBus()) {}

QDBusMessage LogindPower::RequestMessage(PowerAction action) {
  QDBusMessage message = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.login1"),
      QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"),
      action == PowerAction::kShutDown ? QStringLiteral("PowerOff")
                                       : QStringLiteral("Reboot"));
  message << false;  // interactive: no authentication dialog
  return message;
}

void LogindPower::Request(PowerAction action,
                          std::function<void(bool accepted)> done) {
  if (!bus_.isConnected()) {
    if (done) QTimer::singleShot(0, [done] { done(false); });
    return;
  }
  auto* watcher =
      new QDBusPendingCallWatcher(bus_.asyncCall(RequestMessage(action)));
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                   [done](QDBusPendingCallWatcher* w) {
                     const bool accepted = !w->isError();
                     w->deleteLater();
                     if (done) done(accepted);
                   });
}

}  // namespace mirokata
