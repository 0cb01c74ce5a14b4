// The matching rule over a generated data folder of 10,000 entry files:
// the tick's cost on an unchanged folder, and the first call after a file
// was added or removed (a full rescan of the folder).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "base/settings_file.h"
#include "calendar/holidays.h"
#include "generated_folder.h"
#include "schedule/entry_match.h"

namespace mirokata {
namespace {

constexpr int kEntryCount = 10000;

// A reproducible mix of every kind, weighted the way a long-used folder
// looks: mostly one-day entries, then yearly and monthly ones.
std::set<std::string> GenerateNames() {
  std::mt19937 rng(20261210);
  auto pick = [&](int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
  };
  std::set<std::string> names;
  auto add = [&](const EntryFields& f) {
    std::string n = BuildEntryName(f);
    if (!n.empty()) names.insert(n);
  };
  auto random_code = [&] { return kAllShiftCodes[pick(0, 4)]; };
  while (int(names.size()) < kEntryCount) {
    EntryFields f;
    const int roll = pick(0, 99);
    f.month = pick(1, 12);
    f.day = pick(1, 28);
    f.hhnn = pick(0, 23) * 100 + pick(0, 11) * 5;
    f.weekday = pick(1, 7);
    if (roll < 30) {
      f.kind = EntryKind::kOneDaySchedule;
      f.year = pick(0, 99);
    } else if (roll < 40) {
      f.kind = EntryKind::kYearlySchedule;
      f.shift = random_code();
    } else if (roll < 43) {
      f.kind = EntryKind::kMonthlySchedule;
      f.shift = random_code();
      f.day = pick(1, 31);
    } else if (roll < 46) {
      f.kind = EntryKind::kWeeklySchedule;
      f.weeks = pick(0, 5) == 0 ? kLastWeek : pick(1, kEveryWeek);
    } else if (roll < 76) {
      f.kind = EntryKind::kOneDayPopup;
      f.year = pick(0, 99);
    } else if (roll < 84) {
      f.kind = EntryKind::kYearlyPopup;
      f.shift = random_code();
    } else if (roll < 89) {
      f.kind = EntryKind::kMonthlyPopup;
      f.shift = random_code();
      f.day = pick(1, 31);
    } else if (roll < 93) {
      f.kind = EntryKind::kWeeklyPopup;
      f.weeks = pick(0, 5) == 0 ? kLastWeek : pick(1, kEveryWeek);
    } else if (roll < 94) {
      f.kind = EntryKind::kDailyPopup;
    } else if (roll < 95) {
      f.kind = EntryKind::kElapsedPopup;
      f.seconds = pick(0, 999) * 10;
    } else {
      f.kind = EntryKind::kBirthday;
      f.year = pick(1930, 2025);
    }
    add(f);
  }
  return names;
}

// The generated folder with a settings file of the default holidays,
// built once per run.
class MatchFolder {
 public:
  static MatchFolder& Get() {
    static MatchFolder folder;
    return folder;
  }
  const std::string& path() const { return folder_.path(); }
  const std::string& settings_path() const { return settings_path_; }

 private:
  MatchFolder()
      : folder_(GenerateNames()),
        settings_path_(folder_.root() + "/mirokata.ini") {
    SettingsFile settings(settings_path_);
    EnsureDefaultHolidays(settings);
  }

  GeneratedFolder folder_;
  std::string settings_path_;
};

HolidayTest FixedHolidays() {
  return [](int, int month, int day) {
    return (month == 1 && day == 1) || (month == 5 && day >= 3 && day <= 5);
  };
}

CivilDate DayOfYear(int i) { return CivilDateOf(DayNumber(2026, 1, 1) + i); }

void BM_ScheduleNamesForDay(benchmark::State& state) {
  EntryFolder folder(MatchFolder::Get().path());
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
  EntryFolder folder(MatchFolder::Get().path());
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
  EntryFolder folder(MatchFolder::Get().path());
  SettingsFile settings(MatchFolder::Get().settings_path());
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
  EntryFolder folder(MatchFolder::Get().path());
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
    FolderIndex index(MatchFolder::Get().path());
    benchmark::DoNotOptimize(index.Refresh()->size());
  }
}
BENCHMARK(BM_FolderScan)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
