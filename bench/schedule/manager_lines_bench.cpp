// The schedule manager over a data folder of 10,000 entry files: ten years
// of daily one-day schedules and popups plus recurring entries. Building
// the all list, the chosen-day list, and the window showing the all list.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "base/settings_file.h"
#include "calendar/gregorian.h"
#include "common/generated_data_folder.h"
#include "common/offscreen_application.h"
#include "common/window_services.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_messages.h"
#include "schedule/entry_files.h"
#include "schedule/entry_name.h"
#include "schedule/manager_lines.h"
#include "schedule/ui/schedule_manager_window.h"

namespace mirokata {
namespace {

constexpr int kEntryCount = 10000;
constexpr CivilDate kFirstDay{2017, 1, 1};

const GeneratedDataFolder& Folder() {
  static const GeneratedDataFolder folder(
      "manager", GenerateEntryNames(kEntryCount, kFirstDay),
      [](const std::string& n) { return "{\\rtf1\\ansi " + n + "\\par}"; },
      [](SettingsFile& settings, const std::string& data) {
        settings.WriteString("Calendar", "Directory", data);
      });
  return folder;
}

// Thursday 2026-12-10 10:30.
constexpr LocalTime kNow{2026, 12, 10, 10, 30};

// The all list (0) and the past list (1).
void BM_List(benchmark::State& state) {
  EntryFolder folder(Folder().path());
  const ManagerMode mode =
      state.range(0) == 0 ? ManagerMode::kAll : ManagerMode::kPast;
  size_t lines = 0;
  for (auto _ : state) {
    lines = BuildManagerLines(folder, mode, kNow, {}).size();
  }
  state.counters["lines"] = double(lines);
}
BENCHMARK(BM_List)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ChosenDayList(benchmark::State& state) {
  EntryFolder folder(Folder().path());
  size_t lines = 0;
  int i = 0;
  for (auto _ : state) {
    const CivilDate day = CivilDateOf(DayNumber(kFirstDay) + (i++ % 3650));
    lines +=
        BuildManagerLines(folder, ManagerMode::kChosenDay, kNow, day).size();
  }
  state.counters["lines/call"] =
      double(lines) / double(std::max<int64_t>(1, state.iterations()));
}
BENCHMARK(BM_ChosenDayList)->Unit(benchmark::kMicrosecond);

// The window offscreen: building and showing the all list of the folder.
void BM_WindowShowsAllList(benchmark::State& state) {
  OffscreenApplication();
  WindowServices world(Folder().settings_path(), {2026, 12, 10});
  auto window = std::make_unique<ScheduleManagerWindow>(
      world.services, ScheduleManagerHost{}, CivilDate{2026, 12, 10});
  window->show();
  QApplication::processEvents();
  for (auto _ : state) {
    window->ShowAll();
    QApplication::processEvents();  // laid out and painted
  }
  state.counters["lines"] = double(window->lines().size());
  window.reset();
}
BENCHMARK(BM_WindowShowsAllList)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
