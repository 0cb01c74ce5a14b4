// Time since the system started, counting suspended time.
#ifndef MIROKATA_PLATFORM_UPTIME_H_
#define MIROKATA_PLATFORM_UPTIME_H_

#include <cstdint>

namespace mirokata {

// Monotonic time since boot; never wraps (64 bits) and never goes back.
class Uptime {
 public:
  virtual ~Uptime() = default;
  // Milliseconds since the system started, suspend included.
  virtual std::int64_t Milliseconds() const = 0;
  // Whole seconds since the system started.
  std::int64_t Seconds() const { return Milliseconds() / 1000; }
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_UPTIME_H_
