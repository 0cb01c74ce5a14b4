// When a sync starts: at start-up (after the first paint), when the
// interval has passed since the last one, and after the entries changed,
// at most once a minute; never while one is running. The program's minute
// and tick listeners poke it with the time; it only decides and calls
// `start`, which must return at once.
#ifndef MIROKATA_SYNC_SYNC_SCHEDULER_H_
#define MIROKATA_SYNC_SYNC_SCHEDULER_H_

#include <cstdint>
#include <functional>
#include <optional>

namespace mirokata {

class SyncScheduler {
 public:
  struct Hooks {
    std::function<bool()> enabled;          // `CalDAV`/`Use`
    std::function<int()> interval_minutes;  // `CalDAV`/`Interval`
    std::function<bool()> start;  // starts a sync; false when it could not
  };
  inline static constexpr int64_t kChangeGapSeconds = 60;

  explicit SyncScheduler(Hooks hooks) : hooks_(std::move(hooks)) {}

  // Times are seconds on a clock that never goes back (the uptime).
  void StartUpPainted(int64_t now);
  void EntriesChanged(int64_t now);
  void Tick(int64_t now);
  // The sync has ended. Changes it made itself (reported while it was
  // running) start nothing.
  void Finished(int64_t now);
  // "今すぐ同期": at once unless one is running.
  bool SyncNow(int64_t now);

  bool running() const { return running_; }

 private:
  bool Begin(int64_t now);

  Hooks hooks_;
  bool running_ = false;
  bool wanted_ = false;  // start-up or a change asks for a sync
  std::optional<int64_t> last_start_;
};

}  // namespace mirokata

#endif  // MIROKATA_SYNC_SYNC_SCHEDULER_H_
