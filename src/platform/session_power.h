// Shut-down and restart through the desktop session over D-Bus.
#ifndef MIROKATA_PLATFORM_SESSION_POWER_H_
#define MIROKATA_PLATFORM_SESSION_POWER_H_

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/power.h"

namespace mirokata {

// The session manager logs out first, so that each program can save its
// work or object, and then shuts down. The session managers are tried in
// turn (GNOME, KDE Plasma, Xfce); systemd-logind, which ends programs
// without asking them, only when none of them is there. A session manager
// that is there and refuses, or does not answer in time, ends the chain:
// powering off behind its back would lose the work it is asking about.
class SessionPower : public Power {
 public:
  // One call of the chain.
  struct Step {
    QDBusMessage call;
    bool system_bus = false;
    int timeout_ms = 0;
  };

  // The session and system buses, connected at the first request so that
  // the program's start does not wait for them; tests pass connections to
  // a bus of their own, so that nothing real is ever asked to power off.
  SessionPower();
  SessionPower(const QDBusConnection& session, const QDBusConnection& system);

  void Request(PowerAction action,
               std::function<void(bool accepted)> done = {}) override;

  // The calls tried for an action, in order.
  static std::vector<Step> Chain(PowerAction action);

 private:
  using Steps = std::shared_ptr<const std::vector<Step>>;
  void TryFrom(Steps steps, size_t index,
               std::function<void(bool accepted)> done);

  std::optional<QDBusConnection> session_;
  std::optional<QDBusConnection> system_;
  // Owns the pending calls: none reports back once this object is gone.
  QObject calls_;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_SESSION_POWER_H_
