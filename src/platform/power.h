// Asking the system to shut down or restart.
#ifndef MIROKATA_PLATFORM_POWER_H_
#define MIROKATA_PLATFORM_POWER_H_

#include <functional>

namespace mirokata {

enum class PowerAction { kShutDown, kRestart };

class Power {
 public:
  virtual ~Power() = default;
  // Sends the ordinary request at once: no confirmation, programs are not
  // forced to close. Returns without waiting; `done` (optional) is called
  // later on the UI thread with whether the system accepted the request.
  virtual void Request(PowerAction action,
                       std::function<void(bool accepted)> done = {}) = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_POWER_H_
