// The main tick over a data folder of 10,000 entry files and a settings
// file with 2,000 popup option sections: an ordinary second (no minute
// work) and a minute tick (the popup names of the minute are tested).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "base/settings_file.h"
#include "calendar/holidays.h"
#include "mainwin/memory_meter.h"
#include "platform/file_io.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_shell.h"
#include "platform/testing/fake_sound.h"
#include "schedule/entry_name.h"
#include "schedule/reminder_engine.h"

namespace mirokata {
namespace {

constexpr int kEntryCount = 10000;
constexpr int kPopupSections = 2000;

class DiscardingFactory : public PopupFactory {
 public:
  class Sink : public PopupSink {
   public:
    void AppendEntry(const std::string&, const std::string&) override {}
    void EnableDelete(const std::string&) override {}
    void Finish(const PopupFinish&) override {}
  };
  std::unique_ptr<PopupSink> CreatePopup() override {
    ++created;
    return std::make_unique<Sink>();
  }
  int created = 0;
};

class Displays : public ReminderDisplays {
 public:
  void Show(const MainDisplayState& state) override {
    benchmark::DoNotOptimize(state.clock_text.data());
  }
  bool MoonPanelShown() const override { return true; }
};

struct World {
  World() {
    char tmpl[] = "/tmp/mirokata-tick-bench-XXXXXX";
    home = ::mkdtemp(tmpl);
    data = home + "/data";
    std::filesystem::create_directory(data);
    std::mt19937 rng(20261210);
    auto pick = [&](int lo, int hi) {
      return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    std::set<std::string> names, popups;
    while (int(names.size()) < kEntryCount) {
      EntryFields f;
      const int roll = pick(0, 99);
      f.month = pick(1, 12);
      f.day = pick(1, 28);
      f.hhnn = pick(0, 23) * 100 + pick(0, 59);
      f.weekday = pick(1, 7);
      f.year = pick(20, 35);
      if (roll < 35) {
        f.kind = EntryKind::kOneDaySchedule;
      } else if (roll < 45) {
        f.kind = EntryKind::kYearlySchedule;
        f.shift = kAllShiftCodes[pick(0, 4)];
      } else if (roll < 75) {
        f.kind = EntryKind::kOneDayPopup;
      } else if (roll < 82) {
        f.kind = EntryKind::kMonthlyPopup;
        f.shift = kAllShiftCodes[pick(0, 4)];
      } else if (roll < 88) {
        f.kind = EntryKind::kWeeklyPopup;
        f.weeks = kEveryWeek;
      } else if (roll < 94) {
        f.kind = EntryKind::kYearlyPopup;
        f.shift = kAllShiftCodes[pick(0, 4)];
      } else if (roll < 97) {
        f.kind = EntryKind::kDailyPopup;
      } else {
        f.kind = EntryKind::kBirthday;
        f.year = pick(1940, 2020);
      }
      const std::string name = BuildEntryName(f);
      if (name.empty() || !names.insert(name).second) continue;
      std::ofstream(data + "/" + name)
          << "{\\rtf1 reminder " << name << "\\par}";
      if (IsPopupClass(ClassifyEntryName(name))) popups.insert(name);
    }
    std::string ini = "[Calendar]\r\nDirectory=" + data + "\r\nbefore=0\r\n";
    ini += "[Form]\r\nAnalogClock=1\r\nResource=0\r\n[pop]\r\ncheck=1\r\n";
    int sections = 0;
    for (const std::string& name : popups) {
      if (sections++ == kPopupSections) break;
      ini += "[" + data + "/" + name +
             "]\r\nclosetime=30\r\nSmtp=0\r\n"
             "Wallpaper=0\r\nStretch=0\r\nExecute=\r\nExeclose=\r\n";
    }
    WriteFileAtomic(home + "/mirokata.ini", ini, 0600);
    settings = std::make_unique<SettingsFile>(home + "/mirokata.ini");
    EnsureDefaultHolidays(*settings);

    Services s;
    s.settings = settings.get();
    s.clock = &clock;
    s.uptime = &uptime;
    s.sound = &sound;
    s.shell = &shell;
    ReminderParts parts;
    parts.popups = &popups_made;
    parts.displays = &displays;
    parts.memory_text = [meter = MemoryMeter()](int r) {
      return meter.Text(r);
    };
    engine = std::make_unique<ReminderEngine>(s, parts);
    // A folder changed less than two seconds ago is rescanned at every
    // look (its time stamp cannot yet tell a later change); measure the
    // settled folder the program sees almost always.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    clock.Set(2026, 3, 2, 9, 0, 0);
    engine->Tick();
  }
  ~World() { std::filesystem::remove_all(home); }

  std::string home, data;
  std::unique_ptr<SettingsFile> settings;
  FakeClock clock;
  FakeUptime uptime;
  FakeSound sound;
  FakeShell shell;
  DiscardingFactory popups_made;
  Displays displays;
  std::unique_ptr<ReminderEngine> engine;
};

World& TheWorld() {
  static World world;
  return world;
}

// Seconds 1-58 of a minute, as almost every tick is.
void BM_OrdinaryTick(benchmark::State& state) {
  World& w = TheWorld();
  w.clock.Set(2026, 3, 2, 10, 0, 0);
  w.engine->Tick();
  int second = 0;
  for (auto _ : state) {
    if (++second == 59) {
      state.PauseTiming();
      w.clock.Advance(-58);
      w.uptime.Advance(-58000);
      second = 1;
      state.ResumeTiming();
    } else {
      w.clock.Advance(1);
      w.uptime.Advance(1000);
    }
    w.engine->Tick();
  }
}
BENCHMARK(BM_OrdinaryTick)->Unit(benchmark::kMicrosecond);

// Every tick is the first of a new minute.
void BM_MinuteTick(benchmark::State& state) {
  World& w = TheWorld();
  for (auto _ : state) {
    w.clock.Advance(60);
    w.engine->Tick();
  }
  state.counters["popup_windows"] = w.popups_made.created;
}
BENCHMARK(BM_MinuteTick)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mirokata
