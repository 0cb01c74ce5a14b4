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
#include "generated_data_folder.h"
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

std::set<std::string> GenerateNames() {
  std::set<std::string> names;
  auto add = [&](const EntryFields& f) {
    const std::string n = BuildEntryName(f);
    if (!n.empty()) names.insert(n);
  };
  // Ten years, every day one schedule and one popup.
  const int32_t first = DayNumber(kFirstDay);
  for (int i = 0; i < 3653; ++i) {
    const CivilDate d = CivilDateOf(first + i);
    add(EntryFieldsForDate(EntryKind::kOneDaySchedule, d));
    add(EntryFieldsForDate(EntryKind::kOneDayPopup, d, 900 + (i % 10) * 100));
  }
  // Recurring ones until the folder is full.
  for (int i = 0; int(names.size()) < kEntryCount; ++i) {
    EntryFields f;
    f.month = i % 12 + 1;
    f.day = i % 28 + 1;
    f.hhnn = (i % 24) * 100 + (i / 24) % 60;
    f.shift = kAllShiftCodes[i % 5];
    f.weekday = i % 7 + 1;
    switch (i % 6) {
      case 0:
        f.kind = EntryKind::kYearlySchedule;
        break;
      case 1:
        f.kind = EntryKind::kMonthlyPopup;
        break;
      case 2:
        f.kind = EntryKind::kYearlyPopup;
        break;
      case 3:
        f.kind = EntryKind::kWeeklyPopup;
        f.weeks = i % 30 + 1;
        break;
      case 4:
        f.kind = EntryKind::kDailyPopup;
        break;
      default:
        f.kind = EntryKind::kWeeklySchedule;
        f.weeks = i % 31 + 1;
        break;
    }
    add(f);
  }
  return names;
}

const GeneratedDataFolder& Folder() {
  static const GeneratedDataFolder folder(
      "manager", GenerateNames(),
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
  static int argc = 1;
  static char name[] = "manager_lines_bench";
  static char* argv[] = {name, nullptr};
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication* app = new QApplication(argc, argv);
  SettingsFile settings(Folder().settings_path());
  FakeClock clock;
  clock.Set(2026, 12, 10, 10, 30);
  FakeMessages messages;
  Services services;
  services.settings = &settings;
  services.clock = &clock;
  services.messages = &messages;
  auto window = std::make_unique<ScheduleManagerWindow>(
      services, ScheduleManagerHost{}, CivilDate{2026, 12, 10});
  window->show();
  QApplication::processEvents();
  for (auto _ : state) {
    window->ShowAll();
    QApplication::processEvents();  // laid out and painted
  }
  state.counters["lines"] = double(window->lines().size());
  window.reset();
  benchmark::DoNotOptimize(app);
}
BENCHMARK(BM_WindowShowsAllList)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
