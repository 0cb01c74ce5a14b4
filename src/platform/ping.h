// The reachability check: a host name or address resolved in the
// background and sent one ICMP echo request, never waiting.
#ifndef MIROKATA_PLATFORM_PING_H_
#define MIROKATA_PLATFORM_PING_H_

#include <functional>
#include <memory>
#include <string>

namespace mirokata {

struct PingOutcome {
  enum class Kind {
    kReply,         // round_trip_ms holds the time
    kNoReply,       // nothing within the deadline
    kLookupFailed,  // the name did not resolve
    kRefused,       // the kernel does not let this user ping (error: errno)
  };
  Kind kind = Kind::kNoReply;
  // The address the request went to, dotted (empty when the lookup failed).
  std::string address;
  int round_trip_ms = 0;
  int error = 0;
};

// One check under way. Destroying it cancels the lookup and closes the
// socket; its callback never runs afterwards.
class PingJob {
 public:
  virtual ~PingJob() = default;
};

class Reachability {
 public:
  virtual ~Reachability() = default;
  // Resolves `host` (a dotted IPv4 address is used as it is) and sends one
  // echo request. `done` runs later, once, on the user-interface thread,
  // after the socket is closed, unless the job is destroyed first.
  virtual std::unique_ptr<PingJob> Ping(
      const std::string& host,
      std::function<void(const PingOutcome&)> done) = 0;
};

// Linux: QHostInfo and an unprivileged ping socket. Needs a running
// QCoreApplication.
std::unique_ptr<Reachability> MakeLinuxReachability();

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_PING_H_
