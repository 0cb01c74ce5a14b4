// iCalendar out and in over 10,000 entries: the export of a generated
// data folder (three years of moved days included) and the import of a
// calendar of 10,000 events, read alone and written into an empty folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "common/generated_data_folder.h"
#include "schedule/ical_export.h"
#include "schedule/ical_import.h"

namespace mirokata {
namespace {

constexpr int kEntryCount = 10000;

const GeneratedDataFolder& Generated() {
  static const GeneratedDataFolder folder(
      "ical", GenerateMixedEntryNames(kEntryCount),
      [](const std::string& n) { return "{\\rtf1\\ansi " + n + "\\par}"; },
      [](SettingsFile&, const std::string&) {});
  return folder;
}

HolidayTest FixedHolidays() {
  return [](int, int month, int day) {
    return (month == 1 && day == 1) || (month == 5 && day >= 3 && day <= 5);
  };
}

IcalExportOptions Options() {
  IcalExportOptions o;
  o.from = {2025, 12, 11};
  o.to = {2028, 12, 11};
  o.before_minutes = 5;
  o.time_zone = "Asia/Tokyo";
  o.folder_key = Generated().path();
  o.now_utc = 1765411200;
  return o;
}

void BM_ExportTenThousandEntries(benchmark::State& state) {
  Generated();
  size_t bytes = 0;
  for (auto _ : state) {
    EntryFolder folder(Generated().path());
    bytes = ExportIcal(folder, FixedHolidays(), Options()).size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_ExportTenThousandEntries)->Unit(benchmark::kMillisecond);

// The export of the generated folder, made once.
const std::string& Calendar() {
  static const std::string text = [] {
    EntryFolder folder(Generated().path());
    return ExportIcal(folder, FixedHolidays(), Options());
  }();
  return text;
}

void BM_ReadTenThousandEvents(benchmark::State& state) {
  Calendar();
  size_t named = 0;
  for (auto _ : state) {
    const IcalEvents read = ReadIcalEvents(Calendar(), "Asia/Tokyo");
    named = 0;
    for (const IcalEvent& e : read.events) named += !e.name.empty();
    benchmark::DoNotOptimize(named);
  }
  state.counters["entries"] = double(named);
}
BENCHMARK(BM_ReadTenThousandEvents)->Unit(benchmark::kMillisecond);

// Into a new empty folder each time: a folder just emptied would measure
// the file system's reuse of deleted inodes.
void BM_ImportTenThousandEvents(benchmark::State& state) {
  Calendar();
  const std::string root = Generated().path() + "-import";
  std::filesystem::create_directory(root);
  size_t written = 0;
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string into = root + "/" + std::to_string(round++);
    std::filesystem::create_directory(into);
    state.ResumeTiming();
    EntryFolder folder(into);
    written =
        ImportIcal(Calendar(), folder, "Asia/Tokyo", false).imported.size();
  }
  std::filesystem::remove_all(root);
  state.counters["written"] = double(written);
}
BENCHMARK(BM_ImportTenThousandEvents)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace mirokata
