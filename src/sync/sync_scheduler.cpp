#include "sync/sync_scheduler.h"

namespace mirokata {

bool SyncScheduler::Begin(int64_t now) {
  if (running_ || !hooks_.enabled()) return false;
  if (!hooks_.start()) return false;
  running_ = true;
  wanted_ = false;
  last_start_ = now;
  return true;
}

void SyncScheduler::StartUpPainted(int64_t now) {
  wanted_ = true;
  Tick(now);
}

void SyncScheduler::EntriesChanged(int64_t now) {
  if (running_) return;  // the sync's own writes
  wanted_ = true;
  Tick(now);
}

void SyncScheduler::Tick(int64_t now) {
  if (running_ || !hooks_.enabled()) return;
  if (wanted_ && (!last_start_ || now - *last_start_ >= kChangeGapSeconds)) {
    Begin(now);
    return;
  }
  const int64_t interval = int64_t{hooks_.interval_minutes()} * 60;
  if (last_start_ && now - *last_start_ >= interval) Begin(now);
}

void SyncScheduler::Finished(int64_t /*now*/) { running_ = false; }

bool SyncScheduler::SyncNow(int64_t now) { return Begin(now); }

}  // namespace mirokata
