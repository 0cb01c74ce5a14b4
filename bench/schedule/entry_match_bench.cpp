// The matching rule over a generated data folder of 10,000 entry files:
// the tick's cost on an unchanged folder, and the first call after a file
// was added or removed (a full rescan of the folder).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "base/settings_file.h"
#include "calendar/holidays.h"
#include "common/generated_data_folder.h"
#include "schedule/entry_match.h"

namespace mirokata {
namespace {

constexpr int kEntryCount = 10000;

// The generated folder, built once per run.
const GeneratedDataFolder& Generated() {
  static const GeneratedDataFolder folder(
      "entries", GenerateMixedEntryNames(kEntryCount),
      [](const std::string& n) { return "{\\rtf1\\ansi " + n + "\\par}"; },
      [](SettingsFile& settings, const std::string&) {
        EnsureDefaultHolidays(settings);
      });
  return folder;
}

HolidayTest FixedHolidays() {
  return [](int, int month, int day) {
    return (month == 1 && day == 1) || (month == 5 && day >= 3 && day <= 5);
  };
}

CivilDate DayOfYear(int i) { return CivilDateOf(DayNumber(2026, 1, 1) + i); }

void BM_ScheduleNamesForDay(benchmark::State& state) {
  EntryFolder folder(Generated().path());
  EntryMatcher matcher(&folder, FixedHolidays());
  matcher.ScheduleNamesForDay({2026, 1, 1});
  int i = 0;
  size_t found = 0;
  for (auto _ : state) {
    found += matcher.ScheduleNamesForDay(DayOfYear(i++ % 365)).size();
  }
  benchmark::DoNotOptimize(found);
  state.counters["names/call"] = double(found) / double(state.iterations());
}
BENCHMARK(BM_ScheduleNamesForDay);

void BM_PopupNamesForMinute(benchmark::State& state) {
  EntryFolder folder(Generated().path());
  EntryMatcher matcher(&folder, FixedHolidays());
  matcher.PopupNamesForMinute({2026, 1, 1}, 0);
  int i = 0;
  size_t found = 0;
  for (auto _ : state) {
    const int minute = i % 1440;
    found += matcher
                 .PopupNamesForMinute(DayOfYear(i / 1440 % 365),
                                      minute / 60 * 100 + minute % 60)
                 .size();
    ++i;
  }
  benchmark::DoNotOptimize(found);
  state.counters["names/call"] = double(found) / double(state.iterations());
}
BENCHMARK(BM_PopupNamesForMinute);

// The same with the program's holiday test, which reads the holiday list
// from the settings file at every question.
void BM_PopupNamesForMinuteWithSettingsHolidays(benchmark::State& state) {
  EntryFolder folder(Generated().path());
  SettingsFile settings(Generated().settings_path());
  EntryMatcher matcher(&folder, [&settings](int y, int m, int d) {
    return IsPublicHoliday(settings, y, m, d);
  });
  int i = 0;
  for (auto _ : state) {
    const int minute = i % 1440;
    benchmark::DoNotOptimize(matcher.PopupNamesForMinute(
        DayOfYear(i / 1440 % 365), minute / 60 * 100 + minute % 60));
    ++i;
  }
}
BENCHMARK(BM_PopupNamesForMinuteWithSettingsHolidays);

// A file appears or goes away, then the tick asks: the index rescans.
void BM_FirstCallAfterChange(benchmark::State& state) {
  EntryFolder folder(Generated().path());
  EntryMatcher matcher(&folder, FixedHolidays());
  const std::string extra = folder.FullPath("09001210.26");
  bool present = false;
  for (auto _ : state) {
    state.PauseTiming();
    if (present) {
      ::unlink(extra.c_str());
    } else {
      std::ofstream(extra) << "x";
    }
    present = !present;
    state.ResumeTiming();
    auto names = matcher.PopupNamesForMinute({2026, 12, 10}, 900);
    if (present !=
        (std::find(names.begin(), names.end(), "09001210.26") != names.end())) {
      state.SkipWithError("the change was not seen");
      break;
    }
  }
  if (present) ::unlink(extra.c_str());
  state.counters["scans"] = double(folder.index().scan_count());
}
BENCHMARK(BM_FirstCallAfterChange)->Unit(benchmark::kMillisecond);

// The scan alone: a fresh index reads the whole folder.
void BM_FolderScan(benchmark::State& state) {
  for (auto _ : state) {
    FolderIndex index(Generated().path());
    benchmark::DoNotOptimize(index.Refresh()->size());
  }
}
BENCHMARK(BM_FolderScan)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
