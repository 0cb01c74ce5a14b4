// The countdown timer's clock: a deadline on the uptime (monotonic, a
// suspend included), so that setting the clock or a change of daylight
// saving leaves the remaining time alone, and a deadline rather than a
// count of ticks, so that late ticks neither skip nor repeat a second.
#ifndef MIROKATA_SCHEDULE_COUNTDOWN_H_
#define MIROKATA_SCHEDULE_COUNTDOWN_H_

#include <cstdint>

#include "platform/uptime.h"

namespace mirokata {

class Countdown {
 public:
  explicit Countdown(const Uptime* uptime) : uptime_(uptime) {}

  // What one tick found.
  struct Step {
    std::int64_t remaining = 0;  // R, whole seconds, rounded to nearest
    bool half_notice = false;    // the first tick with 2R <= T
    bool eighty_notice = false;  // the first tick with 5R <= T
    bool ended = false;          // R reached 0 (or the deadline has passed)
  };

  // Starts counting down `total_seconds` (T; at least 1).
  void Start(std::int64_t total_seconds);
  // Freezes the remaining time; Resume() sets a new deadline from it.
  void Pause();
  void Resume();
  void Reset();

  bool running() const { return running_; }
  bool paused() const { return paused_; }
  std::int64_t total() const { return total_; }

  Step Tick();
  // Milliseconds until the remaining time reaches its next whole second,
  // when the next tick is due (at least 1).
  std::int64_t MsUntilNextSecond() const;
  // The remaining time in milliseconds (frozen while paused).
  std::int64_t RemainingMs() const;

 private:
  const Uptime* uptime_;
  bool running_ = false;
  bool paused_ = false;
  std::int64_t total_ = 0;
  std::int64_t deadline_ms_ = 0;
  std::int64_t frozen_ms_ = 0;
  bool half_told_ = false;
  bool eighty_told_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_COUNTDOWN_H_
