#include "platform/session_power.h"

#include <QDBusError>
#include <QDBusPendingCallWatcher>
#include <QTimer>
#include <utility>

namespace mirokata {
namespace {

// A session manager answers at once and asks the programs afterwards.
constexpr int kSessionTimeoutMs = 20000;
// logind may first ask for a password (polkit) and waits for it.
constexpr int kLogindTimeoutMs = 120000;

QDBusMessage Call(const char* service, const char* path, const char* interface,
                  const char* method) {
  return QDBusMessage::createMethodCall(
      QString::fromLatin1(service), QString::fromLatin1(path),
      QString::fromLatin1(interface), QString::fromLatin1(method));
}

// Errors that say "nobody of that kind here": the next step may try.
bool IsAbsent(const QDBusError& error) {
  switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
    case QDBusError::Disconnected:
      return true;
    default:
      return error.name() ==
             QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
  }
}

}  // namespace

SessionPower::SessionPower() = default;

SessionPower::SessionPower(const QDBusConnection& session,
                           const QDBusConnection& system)
    : session_(session), system_(system) {}

std::vector<SessionPower::Step> SessionPower::Chain(PowerAction action) {
  const bool restart = action == PowerAction::kRestart;
  std::vector<Step> steps;
  steps.push_back(
      {Call("org.gnome.SessionManager", "/org/gnome/SessionManager",
            "org.gnome.SessionManager", restart ? "Reboot" : "Shutdown"),
       false, kSessionTimeoutMs});
  steps.push_back({Call("org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown",
                        restart ? "logoutAndReboot" : "logoutAndShutdown"),
                   false, kSessionTimeoutMs});
  Step xfce{Call("org.xfce.SessionManager", "/org/xfce/SessionManager",
                 "org.xfce.Session.Manager", restart ? "Restart" : "Shutdown"),
            false, kSessionTimeoutMs};
  xfce.call << true;  // allow_save: programs save their state first
  steps.push_back(std::move(xfce));
  Step logind{
      Call("org.freedesktop.login1", "/org/freedesktop/login1",
           "org.freedesktop.login1.Manager", restart ? "Reboot" : "PowerOff"),
      true, kLogindTimeoutMs};
  logind.call << true;  // interactive: polkit may ask for a password
  steps.push_back(std::move(logind));
  return steps;
}

void SessionPower::Request(PowerAction action,
                           std::function<void(bool accepted)> done) {
  if (!session_) session_ = QDBusConnection::sessionBus();
  if (!system_) system_ = QDBusConnection::systemBus();
  TryFrom(std::make_shared<const std::vector<Step>>(Chain(action)), 0,
          std::move(done));
}

void SessionPower::TryFrom(Steps steps, size_t index,
                           std::function<void(bool accepted)> done) {
  while (index < steps->size() &&
         !((*steps)[index].system_bus ? *system_ : *session_).isConnected()) {
    ++index;
  }
  if (index == steps->size()) {
    if (done) QTimer::singleShot(0, &calls_, [done] { done(false); });
    return;
  }
  const Step& step = (*steps)[index];
  const QDBusConnection& bus = step.system_bus ? *system_ : *session_;
  auto* watcher = new QDBusPendingCallWatcher(
      bus.asyncCall(step.call, step.timeout_ms), &calls_);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                   [this, steps, index, done](QDBusPendingCallWatcher* w) {
                     w->deleteLater();
                     if (!w->isError()) {
                       if (done) done(true);
                     } else if (IsAbsent(w->error())) {
                       TryFrom(steps, index + 1, done);
                     } else if (done) {
                       done(false);
                     }
                   });
}

}  // namespace mirokata
