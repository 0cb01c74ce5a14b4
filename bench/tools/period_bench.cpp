// The period tracker with 500 recorded dates (about 38 years of cycles):
// reading the file with its averages and predictions, and the window
// opening on it.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <string>

#include "base/settings_file.h"
#include "common/offscreen_application.h"
#include "platform/sound_cues.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_messages.h"
#include "platform/testing/fake_sound.h"
#include "tools/period_tracker.h"
#include "tools/ui/period_window.h"

namespace mirokata {
namespace {

struct Files {
  Files() {
    char tmpl[] = "/tmp/mirokata-period-bench-XXXXXX";
    folder = ::mkdtemp(tmpl);
    SettingsFile tracker(folder + "/Period.ini");
    tracker.Batch([](SettingsBatch& batch) {
      int32_t day = DayNumber(1988, 1, 4);
      for (int i = 0; i < 500; ++i) {
        batch.WriteString("Period", std::to_string(i),
                          SlashDateText(CivilDateOf(day)));
        batch.WriteString("Comment", SlashDateText(CivilDateOf(day)),
                          "メモ " + std::to_string(i));
        day += 26 + i % 5;
      }
      batch.WriteInteger("Period", "Count", 500);
    });
  }
  ~Files() { std::filesystem::remove_all(folder); }
  std::string folder;
};

const Files& Data() {
  static const Files files;
  return files;
}

void BM_TrackerLoad(benchmark::State& state) {
  SettingsFile settings(Data().folder + "/mirokata.ini");
  size_t count = 0;
  for (auto _ : state) {
    PeriodTracker tracker(settings, Data().folder);
    tracker.Load();
    count = tracker.dates().size();
  }
  state.counters["dates"] = double(count);
}
BENCHMARK(BM_TrackerLoad)->Unit(benchmark::kMillisecond);

void BM_WindowOpen(benchmark::State& state) {
  OffscreenApplication();
  SettingsFile settings(Data().folder + "/mirokata.ini");
  FakeClock clock;
  clock.Set(2026, 12, 10, 10, 30);
  FakeMessages messages;
  FakeSound sound;
  SoundCues cues(sound, [] { return true; });
  Services services;
  services.settings = &settings;
  services.clock = &clock;
  services.messages = &messages;
  services.cues = &cues;
  for (auto _ : state) {
    auto* window = new PeriodWindow(services, Data().folder, {2026, 12, 10});
    window->show();
    QApplication::processEvents();
    state.PauseTiming();
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WindowOpen)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
