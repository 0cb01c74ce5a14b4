// Shut-down and restart requests to systemd-logind over the system bus.
#ifndef MIROKATA_PLATFORM_LOGIND_POWER_H_
#define MIROKATA_PLATFORM_LOGIND_POWER_H_

#include <QDBusConnection>
#include <QDBusMessage>

#include "platform/power.h"

namespace mirokata {

class LogindPower : public Power {
 public:
  // The system bus; tests pass another connection so that nothing real is
  // ever asked to power off.
  LogindPower();
  explicit LogindPower(const QDBusConnection& bus) : bus_(bus) {}

  void Request(PowerAction action,
               std::function<void(bool accepted)> done = {}) override;

  // The call sent for an action: PowerOff or Reboot with interactive=false,
  // so nothing asks the user and inhibitors are respected (not forced).
  static QDBusMessage RequestMessage(PowerAction action);

 private:
  QDBusConnection bus_;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_LOGIND_POWER_H_
