// The preferences window over a settings file with 2,000 popup sections
// (each with its seven option keys) beside the usual keys: opening and
// showing the window, and OK with one changed key.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/settings_file.h"
#include "common/offscreen_application.h"
#include "common/window_services.h"
#include "platform/sound_cues.h"
#include "platform/testing/fake_sound.h"
#include "tools/preference_table.h"
#include "tools/ui/preferences_window.h"

namespace mirokata {
namespace {

constexpr int kPopupSections = 2000;

struct Files {
  Files() {
    char tmpl[] = "/tmp/mirokata-preferences-bench-XXXXXX";
    folder = ::mkdtemp(tmpl);
    const std::string data = folder + "/data";
    std::filesystem::create_directory(data);
    SettingsFile settings(folder + "/mirokata.ini");
    settings.Batch([&](SettingsBatch& batch) {
      batch.WriteString("Calendar", "Directory", data);
      batch.WriteString("Memo", "FontName", "Noto Sans CJK JP");
      for (int i = 0; i < kPopupSections; ++i) {
        char name[40];
        std::snprintf(name, sizeof name, "/0900_%04d%02d%02d.~~",
                      2020 + i / 336, 1 + i / 28 % 12, 1 + i % 28);
        const std::string section = data + name;
        batch.WriteInteger(section, "closetime", 30 + i % 30);
        batch.WriteString(section, "file", "/usr/share/sounds/鐘.wav");
        batch.WriteBool(section, "Smtp", i % 2);
        batch.WriteBool(section, "Wallpaper", false);
        batch.WriteBool(section, "Stretch", true);
        batch.WriteString(section, "Execute", "/usr/bin/xterm?-e top");
        batch.WriteString(section, "Execlose", "電卓");
      }
    });
  }
  ~Files() { std::filesystem::remove_all(folder); }
  std::string folder;
};

const Files& Data() {
  static const Files files;
  return files;
}

struct World {
  World() : window(Data().folder + "/mirokata.ini", {2026, 12, 10}) {
    OffscreenApplication();
    window.services.sound = &sound;
    window.services.cues = &cues;
    window.services.program_folder = Data().folder + "/";
  }
  WindowServices window;
  FakeSound sound;
  SoundCues cues{sound, [] { return true; }};
};

void BM_PreferencesOpen(benchmark::State& state) {
  World world;
  for (auto _ : state) {
    auto* window = new PreferencesWindow(world.window.services, nullptr, {});
    window->show();
    QApplication::processEvents();
    state.PauseTiming();
    delete window;
    state.ResumeTiming();
  }
  state.counters["sections"] =
      double(world.window.settings.Open().ListSections().size());
}
BENCHMARK(BM_PreferencesOpen)->Unit(benchmark::kMillisecond);

// One changed key: a batch over the whole file, one rewrite.
void BM_PreferencesOk(benchmark::State& state) {
  World world;
  const int interval = PreferenceIndex("Form", "Interval");
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto* window = new PreferencesWindow(world.window.services, nullptr, {});
    window->show();
    QApplication::processEvents();
    window->SetValue(interval, QString::number(1000 + 100 * (++round % 2)));
    state.ResumeTiming();
    if (!window->Accept()) state.SkipWithError("not written");
    state.PauseTiming();
    delete window;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PreferencesOk)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
