// One save of the popup editor (the entry's text, then its options) on a
// long-used data folder: 10,000 entry files (ten years of daily one-day
// schedules, recurring schedules and popups, one-day popups) and a settings
// file with 2,000 popup sections. Target: under 25 ms a save.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>

#include "base/settings_file.h"
#include "calendar/gregorian.h"
#include "common/generated_data_folder.h"
#include "richtext/rtf_writer.h"
#include "schedule/entry_editing.h"
#include "schedule/entry_name.h"

namespace mirokata {
namespace {

constexpr int kEntryCount = 10000;
constexpr int kPopupSections = 2000;

std::set<std::string> GenerateNames() {
  std::set<std::string> names;
  // Ten years of one-day schedules, one a day.
  for (int32_t day = DayNumber(2016, 1, 1); day < DayNumber(2026, 1, 1);
       ++day) {
    names.insert(BuildEntryName(
        EntryFieldsForDate(EntryKind::kOneDaySchedule, CivilDateOf(day))));
  }
  std::mt19937 rng(20261211);
  auto pick = [&](int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
  };
  while (int(names.size()) < kEntryCount) {
    EntryFields f;
    f.month = pick(1, 12);
    f.day = pick(1, 28);
    f.hhnn = pick(0, 23) * 100 + pick(0, 11) * 5;
    f.weekday = pick(1, 7);
    f.shift = kAllShiftCodes[pick(0, 4)];
    const int roll = pick(0, 99);
    if (roll < 15) {
      f.kind = EntryKind::kYearlySchedule;
    } else if (roll < 20) {
      f.kind = EntryKind::kMonthlySchedule;
    } else if (roll < 25) {
      f.kind = EntryKind::kWeeklySchedule;
      f.weeks = pick(1, kEveryWeek);
    } else if (roll < 35) {
      f.kind = EntryKind::kYearlyPopup;
    } else if (roll < 45) {
      f.kind = EntryKind::kMonthlyPopup;
    } else if (roll < 55) {
      f.kind = EntryKind::kWeeklyPopup;
      f.weeks = kEveryWeek;
    } else {
      f.kind = EntryKind::kOneDayPopup;
      f.year = pick(16, 26);
    }
    const std::string name = BuildEntryName(f);
    if (!name.empty()) names.insert(name);
  }
  return names;
}

// Options of the first kPopupSections popups.
void FillSettings(SettingsFile& settings, const std::string& folder) {
  const std::set<std::string> names = GenerateNames();
  settings.Batch([&](SettingsBatch& b) {
    b.WriteString("Calendar", "Directory", folder);
    int sections = 0;
    for (const std::string& n : names) {
      if (ClassifyEntryName(n) != EntryClass::kPopup) continue;
      const std::string section = folder + "/" + n;
      b.WriteInteger(section, "closetime", 60);
      b.WriteString(section, "file", "/home/user/sounds/chime.wav");
      b.WriteBool(section, "Smtp", false);
      b.WriteBool(section, "Wallpaper", false);
      b.WriteBool(section, "Stretch", false);
      b.WriteString(section, "Execute", "");
      b.WriteString(section, "Execlose", "");
      if (++sections == kPopupSections) break;
    }
  });
}

// The generated data, built once per run.
const GeneratedDataFolder& Generated() {
  static const GeneratedDataFolder data(
      "editing", GenerateNames(),
      [](const std::string&) {
        return PlainTextToRtf("【10:00～】会議室Ａで打ち合わせ");
      },
      FillSettings);
  return data;
}

// The popup editor's "保存": SaveEntry, then SavePopupOptions.
void BM_PopupSave(benchmark::State& state) {
  EntryFolder folder(Generated().path());
  SettingsFile settings(Generated().settings_path());
  const std::string name = "09001211.26";
  EntryStamp stamp = LoadEntryForEdit(folder, name).stamp;
  PopupOptionEdits edits;
  edits.closetime = 60;
  edits.execlose = "電卓";
  int i = 0;
  for (auto _ : state) {
    const std::string text =
        PlainTextToRtf("【9:00～】打ち合わせ " + std::to_string(i++));
    const SaveResult saved = SaveEntry(folder, name, text, stamp, false);
    if (saved.outcome != SaveOutcome::kSaved) {
      state.SkipWithError("the entry was not saved");
      break;
    }
    stamp = saved.stamp;
    edits.smtp = (i % 2) == 0;
    if (!SavePopupOptions(settings, folder.FullPath(name), edits)) {
      state.SkipWithError("the options were not saved");
      break;
    }
  }
  state.counters["ini_bytes"] =
      double(std::filesystem::file_size(Generated().settings_path()));
  state.counters["entries"] = double(std::distance(
      std::filesystem::directory_iterator(Generated().path()), {}));
}
BENCHMARK(BM_PopupSave)->Unit(benchmark::kMillisecond)->UseRealTime();

// Its two halves alone: the entry file (a rescan of the folder the last
// save changed, one atomic write) and the options (one rewrite of the
// settings file).
void BM_SaveEntryAlone(benchmark::State& state) {
  EntryFolder folder(Generated().path());
  const std::string name = "09001211.26";
  EntryStamp stamp = LoadEntryForEdit(folder, name).stamp;
  const std::string text = PlainTextToRtf("【9:00～】打ち合わせ");
  for (auto _ : state) {
    const SaveResult saved = SaveEntry(folder, name, text, stamp, false);
    if (saved.outcome != SaveOutcome::kSaved) {
      state.SkipWithError("the entry was not saved");
      break;
    }
    stamp = saved.stamp;
  }
}
BENCHMARK(BM_SaveEntryAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SavePopupOptionsAlone(benchmark::State& state) {
  SettingsFile settings(Generated().settings_path());
  const std::string section = Generated().path() + "/09001211.26";
  PopupOptionEdits edits;
  int i = 0;
  for (auto _ : state) {
    edits.closetime = i++ % 100;
    if (!SavePopupOptions(settings, section, edits)) {
      state.SkipWithError("the options were not saved");
      break;
    }
  }
}
BENCHMARK(BM_SavePopupOptionsAlone)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace mirokata
