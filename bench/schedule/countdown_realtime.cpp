// A real countdown on the real uptime, driven as the timer window drives
// it (a precise single-shot timer re-armed for each next second), while the
// event loop is blocked for 300 ms every 7 s. Prints how far from the
// deadline the end came and whether any second was skipped or repeated.
//
// Usage: countdown_realtime [SECONDS]   (default 180)
#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/linux_platform.h"
#include "schedule/countdown.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const long total = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 180;
  std::unique_ptr<mirokata::Uptime> uptime = mirokata::MakeBootUptime();
  mirokata::Countdown countdown(uptime.get());
  std::vector<std::int64_t> shown;
  const std::int64_t start_ms = uptime->Milliseconds();
  std::int64_t end_ms = 0;

  QTimer tick;
  tick.setSingleShot(true);
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const mirokata::Countdown::Step step = countdown.Tick();
    shown.push_back(step.remaining);
    if (step.ended) {
      end_ms = uptime->Milliseconds();
      app.quit();
      return;
    }
    tick.start(static_cast<int>(countdown.MsUntilNextSecond()));
  });
  // Something else holding the event loop now and then.
  QTimer block;
  QObject::connect(&block, &QTimer::timeout, [] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  });
  block.start(7000);

  countdown.Start(total);
  tick.start(static_cast<int>(countdown.MsUntilNextSecond()));
  app.exec();

  int skipped = 0, repeated = 0;
  for (size_t i = 1; i < shown.size(); ++i) {
    if (shown[i] == shown[i - 1]) ++repeated;
    if (shown[i] < shown[i - 1] - 1) ++skipped;
  }
  const double late_s =
      static_cast<double>(end_ms - (start_ms + total * 1000)) / 1000.0;
  std::printf(
      "countdown of %ld s with the loop blocked 300 ms every 7 s: ended "
      "%.3f s after the deadline; %zu ticks, %d skipped, %d repeated "
      "seconds\n",
      total, late_s, shown.size(), skipped, repeated);
  return (late_s >= 0 && late_s <= 0.35 && skipped == 0 && repeated == 0) ? 0
                                                                          : 1;
}
