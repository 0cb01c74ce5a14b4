#include "schedule/countdown.h"

#include <algorithm>

namespace mirokata {

void Countdown::Start(std::int64_t total_seconds) {
  total_ = std::max<std::int64_t>(total_seconds, 1);
  deadline_ms_ = uptime_->Milliseconds() + total_ * 1000;
  running_ = true;
  paused_ = false;
  half_told_ = eighty_told_ = false;
}

void Countdown::Pause() {
  if (!running_ || paused_) return;
  frozen_ms_ = RemainingMs();
  paused_ = true;
}

void Countdown::Resume() {
  if (!running_ || !paused_) return;
  deadline_ms_ = uptime_->Milliseconds() + frozen_ms_;
  paused_ = false;
}

void Countdown::Reset() { running_ = paused_ = false; }

std::int64_t Countdown::RemainingMs() const {
  if (!running_) return 0;
  if (paused_) return frozen_ms_;
  return std::max<std::int64_t>(deadline_ms_ - uptime_->Milliseconds(), 0);
}

Countdown::Step Countdown::Tick() {
  Step step;
  if (!running_) return step;
  // Rounded, so that a tick up to half a second late still reads the
  // second it was meant for.
  step.remaining = (RemainingMs() + 500) / 1000;
  if (paused_) return step;
  if (!half_told_ && 2 * step.remaining <= total_) {
    half_told_ = true;
    step.half_notice = true;
  }
  if (!eighty_told_ && 5 * step.remaining <= total_) {
    eighty_told_ = true;
    step.eighty_notice = true;
  }
  if (step.remaining == 0) {
    step.ended = true;
    running_ = false;
  }
  return step;
}

std::int64_t Countdown::MsUntilNextSecond() const {
  const std::int64_t left = RemainingMs();
  if (left <= 0) return 1;
  // The next whole second below the remaining time.
  const std::int64_t next = (left - 1) / 1000 * 1000;
  return std::max<std::int64_t>(left - next, 1);
}

}  // namespace mirokata
