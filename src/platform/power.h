// Asking the system to shut down or restart.
#ifndef MIROKATA_PLATFORM_POWER_H_
#define MIROKATA_PLATFORM_POWER_H_

#include <functional>

namespace mirokata {

enum class PowerAction { kShutDown, kRestart };

class Power {
 public:
  virtual ~Power() = default;
  // Asks for the ordinary shut-down or restart, in which every program may
  // save its work or object; nothing is forced. Returns without waiting;
  // `done` (optional) is called later on the UI thread with whether the
  // request was accepted.
  virtual void Request(PowerAction action,
                       std::function<void(bool accepted)> done = {}) = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_POWER_H_
