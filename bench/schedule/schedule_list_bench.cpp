// The schedule list over a data folder of 10,000 entry files (ten years of
// daily one-day schedules and popups plus recurring entries): the lines of
// a 7-day and a 99+99-day range, and the window building the same ranges.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <memory>
#include <string>

#include "base/settings_file.h"
#include "base/weekday_names.h"
#include "calendar/gregorian.h"
#include "common/generated_data_folder.h"
#include "common/offscreen_application.h"
#include "common/window_services.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_messages.h"
#include "schedule/entry_files.h"
#include "schedule/schedule_list.h"
#include "schedule/ui/schedule_list_window.h"

namespace mirokata {
namespace {

constexpr CivilDate kFirstDay{2017, 1, 1};
// In the middle of the ten years, so every day has its one-day entries.
constexpr CivilDate kStart{2022, 6, 15};
constexpr CivilDate kToday{2022, 6, 20};

const GeneratedDataFolder& Folder() {
  static const GeneratedDataFolder folder(
      "list", GenerateEntryNames(10000, kFirstDay),
      [](const std::string& n) { return "{\\rtf1\\ansi " + n + "\\par}"; },
      [](SettingsFile& settings, const std::string& data) {
        settings.WriteString("Calendar", "Directory", data);
      });
  return folder;
}

// Days before, days after.
void RangeArgs(benchmark::internal::Benchmark* b) {
  b->Args({0, 6})->Args({99, 99})->Unit(benchmark::kMillisecond);
}

void BM_BuildScheduleList(benchmark::State& state) {
  SettingsFile settings(Folder().settings_path());
  EntryFolder folder(Folder().path());
  size_t lines = 0;
  for (auto _ : state) {
    const ScheduleList list = BuildScheduleList(
        settings, &folder, kStart, int(state.range(0)), int(state.range(1)),
        kToday, JapaneseShortWeekdayNames());
    lines = list.panes[0].size() + list.panes[1].size() + list.panes[2].size();
  }
  state.counters["lines"] = double(lines);
}
BENCHMARK(BM_BuildScheduleList)->Apply(RangeArgs);

// The window offscreen: the build with its panes filled and painted.
void BM_WindowBuild(benchmark::State& state) {
  OffscreenApplication();
  WindowServices world(Folder().settings_path(), kToday);
  auto window =
      std::make_unique<ScheduleListWindow>(world.services, ScheduleListHost{});
  window->SetDays(int(state.range(0)), int(state.range(1)));
  window->SetStartDate(kStart);
  window->show();
  QApplication::processEvents();
  for (auto _ : state) {
    window->Build();
    QApplication::processEvents();  // laid out and painted
  }
  window.reset();
}
BENCHMARK(BM_WindowBuild)->Apply(RangeArgs);

}  // namespace
}  // namespace mirokata
