// Re-colouring a month and rebuilding the day panel with a data folder of
// 10,000 entry files.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "base/settings_file.h"
#include "calendar/holidays.h"
#include "mainwin/day_panel.h"
#include "mainwin/month_grid.h"
#include "mainwin/month_grid_recolour.h"
#include "platform/testing/fake_clock.h"
#include "schedule/entry_files.h"

namespace mirokata {
namespace {

constexpr int kEntryFiles = 10000;

std::string Name(const char* format, int a, int b, int c) {
  char buf[32];
  std::snprintf(buf, sizeof buf, format, a, b, c);
  return buf;
}

// A data folder as years of use leave it: mostly one-day popups and
// schedules, then yearly, monthly and weekly entries and birthdays.
class Folder {
 public:
  Folder() {
    char tmpl[] = "/tmp/mirokata-calendar-bench-XXXXXX";
    root_ = ::mkdtemp(tmpl);
    data_ = root_ + "/Schedule";
    std::filesystem::create_directory(data_);
    settings_ = std::make_unique<SettingsFile>(root_ + "/mirokata.ini");
    EnsureDefaultHolidays(*settings_);
    settings_->WriteString("Calendar", "Directory", data_);
    settings_->WriteBool(kCalendarExSection, kPopViewKey, true);
    settings_->WriteBool("Form", "Qreki", true);
    static const char* kDow[] = {"SUN", "MON", "TUE", "WED",
                                 "THU", "FRI", "SAT"};
    int made = 0;
    for (int i = 0; made < kEntryFiles; ++i) {
      const int month = i % 12 + 1;
      const int day = (i / 12) % 28 + 1;
      const int year = (i / 336) % 100;
      std::string name;
      switch (i % 10) {
        case 0:
        case 1:
        case 2:
        case 3:
          name = Name("%02d%02d", 7 + i % 12, (i * 7) % 60, 0) +
                 Name("%02d%02d.%02d", month, day, year);
          break;
        case 4:
        case 5:
        case 6:
          name = Name("____%02d%02d.%02d", month, day, year);
          break;
        case 7:
          name = Name("____%02d%02d.__", month, day, 0);
          if (year % 3 == 1) name = "_~__" + name.substr(4);
          break;
        case 8:
          name = Name("BORN%02d%02d.%04d", month, day, 1900 + year);
          break;
        default:
          name = Name("______%02d.__", day, 0, 0);
          if (year % 2) name = std::string("~~_~~___.") + kDow[i % 7];
          break;
      }
      if (std::filesystem::exists(data_ + "/" + name)) continue;
      std::ofstream(data_ + "/" + name, std::ios::binary)
          << "{\\rtf1\\ansi\\deff0 entry " << i << "\\par second line}";
      ++made;
    }
    // The folder index rescans a folder changed less than two seconds before
    // its scan; measure the settled state a folder in use is in.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  }
  ~Folder() { std::filesystem::remove_all(root_); }
  SettingsFile& settings() { return *settings_; }

 private:
  std::string root_;
  std::string data_;
  std::unique_ptr<SettingsFile> settings_;
};

Folder& TheFolder() {
  static Folder folder;
  return folder;
}

void BM_RecolourMonth(benchmark::State& state) {
  Folder& f = TheFolder();
  DataFolderEntries entries(f.settings());
  MonthGridModel grid(2026, 9, 15);
  entries.Current()->Snapshot();  // the first scan of the folder
  for (auto _ : state) {
    RecolourMonth(f.settings(), entries.Current(), grid);
    benchmark::DoNotOptimize(grid.special_day_list().data());
  }
  state.counters["special_days"] =
      static_cast<double>(grid.special_day_list().size());
}
BENCHMARK(BM_RecolourMonth)->Unit(benchmark::kMillisecond);

// The day panel over the folder, as the main window holds it.
struct PanelWorld {
  explicit PanelWorld(Folder& f)
      : entries(f.settings()), panel(f.settings(), clock, entries) {
    clock.Set(2026, 9, 10, 12, 0);
  }
  DataFolderEntries entries;
  FakeClock clock;
  DayPanel panel;
  MonthGridModel grid{2026, 9, 15};
};

void BM_DayPanelRebuild(benchmark::State& state) {
  PanelWorld w(TheFolder());
  DayPanel& panel = w.panel;
  MonthGridModel& grid = w.grid;
  panel.Change(grid);  // the month's re-colouring happens once
  size_t lines = 0;
  for (auto _ : state) {
    DayPanelState v = panel.Change(grid);
    lines = v.info_lines.size();
    benchmark::DoNotOptimize(v.info_lines.data());
  }
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_DayPanelRebuild)->Unit(benchmark::kMillisecond);

void BM_PaintColours(benchmark::State& state) {
  Folder& f = TheFolder();
  DataFolderEntries entries(f.settings());
  MonthGridModel grid(2026, 9, 15);
  RecolourMonth(f.settings(), entries.Current(), grid);
  for (auto _ : state) {
    benchmark::DoNotOptimize(grid.DayColorIndexes(f.settings()).data());
  }
}
BENCHMARK(BM_PaintColours)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mirokata

namespace mirokata {
namespace {

// Right after an entry was saved the folder index cannot trust the folder's
// time stamp for two seconds. Each save goes through the atomic write, as
// the editors' do, so the folder's time changes every time.
void SaveAnEntry(EntryFolder* folder, bool* present) {
  if (*present) {
    folder->Delete("____0916.26", nullptr);
  } else {
    folder->WriteContent("____0916.26", "saved");
  }
  *present = !*present;
}

void BM_RecolourMonthAfterSave(benchmark::State& state) {
  Folder& f = TheFolder();
  DataFolderEntries entries(f.settings());
  MonthGridModel grid(2026, 9, 15);
  bool present = false;
  for (auto _ : state) {
    state.PauseTiming();
    SaveAnEntry(entries.Current(), &present);
    state.ResumeTiming();
    RecolourMonth(f.settings(), entries.Current(), grid);
  }
  if (present) SaveAnEntry(entries.Current(), &present);
}
BENCHMARK(BM_RecolourMonthAfterSave)->Unit(benchmark::kMillisecond);

// A new month shown right after a save: its re-colouring and the day's lines.
void BM_DayPanelRebuildAfterSave(benchmark::State& state) {
  PanelWorld w(TheFolder());
  bool present = false;
  for (auto _ : state) {
    state.PauseTiming();
    SaveAnEntry(w.entries.Current(), &present);
    w.grid.SetDate(2026, present ? 10 : 9, 15);
    state.ResumeTiming();
    benchmark::DoNotOptimize(w.panel.Change(w.grid).info_lines.data());
  }
  if (present) SaveAnEntry(w.entries.Current(), &present);
}
BENCHMARK(BM_DayPanelRebuildAfterSave)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
