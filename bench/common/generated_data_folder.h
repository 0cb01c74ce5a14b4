// A generated data folder with a settings file beside it, in a temporary
// folder of its own that goes when the benchmark ends; and the entry names
// the benchmarks fill it with.
#ifndef MIROKATA_BENCH_COMMON_GENERATED_DATA_FOLDER_H_
#define MIROKATA_BENCH_COMMON_GENERATED_DATA_FOLDER_H_

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "base/settings_file.h"
#include "calendar/gregorian.h"
#include "schedule/entry_name.h"

namespace mirokata {

class GeneratedDataFolder {
 public:
  // One file per name with content(name) in "<root>/data", then
  // fill_settings(settings, data folder) on "<root>/mirokata.ini".
  GeneratedDataFolder(
      const std::string& tag, const std::set<std::string>& names,
      const std::function<std::string(const std::string&)>& content,
      const std::function<void(SettingsFile&, const std::string&)>&
          fill_settings) {
    std::string tmpl = "/tmp/mirokata-bench-" + tag + "-XXXXXX";
    root_ = ::mkdtemp(tmpl.data());
    path_ = root_ + "/data";
    std::filesystem::create_directory(path_);
    for (const std::string& n : names) {
      std::ofstream(path_ + "/" + n, std::ios::binary) << content(n);
    }
    settings_path_ = root_ + "/mirokata.ini";
    SettingsFile settings(settings_path_);
    fill_settings(settings, path_);
    // A folder that has not changed for a while: past the two seconds in
    // which its timestamps could still hide a change.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  }
  ~GeneratedDataFolder() { std::filesystem::remove_all(root_); }
  GeneratedDataFolder(const GeneratedDataFolder&) = delete;
  GeneratedDataFolder& operator=(const GeneratedDataFolder&) = delete;

  const std::string& path() const { return path_; }
  const std::string& settings_path() const { return settings_path_; }

 private:
  std::string root_, path_, settings_path_;
};

// Ten years from first_day of daily one-day schedules and popups, then
// recurring entries of every kind until there are `count` names.
inline std::set<std::string> GenerateEntryNames(int count,
                                                const CivilDate& first_day) {
  std::set<std::string> names;
  auto add = [&](const EntryFields& f) {
    const std::string n = BuildEntryName(f);
    if (!n.empty()) names.insert(n);
  };
  // Ten years, every day one schedule and one popup.
  const int32_t first = DayNumber(first_day);
  for (int i = 0; i < 3653; ++i) {
    const CivilDate d = CivilDateOf(first + i);
    add(EntryFieldsForDate(EntryKind::kOneDaySchedule, d));
    add(EntryFieldsForDate(EntryKind::kOneDayPopup, d, 900 + (i % 10) * 100));
  }
  // Recurring ones until the folder is full.
  for (int i = 0; int(names.size()) < count; ++i) {
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

// `count` entry names: a reproducible mix of every kind, weighted the way a
// long-used folder looks: mostly one-day entries, then yearly and monthly ones.
inline std::set<std::string> GenerateMixedEntryNames(int count) {
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
  while (int(names.size()) < count) {
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

}  // namespace mirokata

#endif  // MIROKATA_BENCH_COMMON_GENERATED_DATA_FOLDER_H_
