// The registered-birthday list over a data folder of 10,000 entry files of
// which 500 are birthdays: the list's lines, and the book window filling
// its list from them.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QListWidget>
#include <memory>
#include <set>
#include <string>

#include "base/settings_file.h"
#include "calendar/gregorian.h"
#include "common/generated_data_folder.h"
#include "common/offscreen_application.h"
#include "common/window_services.h"
#include "contacts/birthday_book.h"
#include "contacts/ui/birthday_book_window.h"
#include "schedule/entry_files.h"
#include "schedule/entry_name.h"

namespace mirokata {
namespace {

constexpr CivilDate kToday{2026, 12, 10};
constexpr int kEntries = 10000;
constexpr int kBirthdays = 500;

// The mixed folder's other entries with exactly kBirthdays birthdays among
// them, spread over the year and the birth years.
std::set<std::string> Names() {
  std::set<std::string> names;
  for (const std::string& n : GenerateMixedEntryNames(kEntries)) {
    if (ClassifyEntryName(n) != EntryClass::kBirthday) names.insert(n);
  }
  while (int(names.size()) > kEntries - kBirthdays) names.erase(names.begin());
  for (int i = 0; i < kBirthdays; ++i) {
    const CivilDate birth = CivilDateOf(DayNumber(1940, 1, 1) + i * 53);
    names.insert(BirthdayEntryName(birth));
  }
  return names;
}

const GeneratedDataFolder& Folder() {
  static const GeneratedDataFolder folder(
      "birthdays", Names(),
      [](const std::string& n) { return "{\\rtf1\\ansi " + n + "\\par}"; },
      [](SettingsFile& settings, const std::string& data) {
        settings.WriteString("Calendar", "Directory", data);
      });
  return folder;
}

void BM_BirthdayList(benchmark::State& state) {
  EntryFolder folder(Folder().path());
  size_t lines = 0;
  for (auto _ : state) {
    lines = BirthdayList(folder, kToday).size();
  }
  state.counters["lines"] = double(lines);
}
BENCHMARK(BM_BirthdayList)->Unit(benchmark::kMillisecond);

// A fresh look at the folder each time, as after another program wrote.
void BM_BirthdayListColdIndex(benchmark::State& state) {
  size_t lines = 0;
  for (auto _ : state) {
    EntryFolder folder(Folder().path());
    lines = BirthdayList(folder, kToday).size();
  }
  state.counters["lines"] = double(lines);
}
BENCHMARK(BM_BirthdayListColdIndex)->Unit(benchmark::kMillisecond);

// The window offscreen: its list refilled (the re-search button).
void BM_BookWindowFillList(benchmark::State& state) {
  OffscreenApplication();
  WindowServices world(Folder().settings_path(), kToday);
  auto window =
      std::make_unique<BirthdayBookWindow>(world.services, Folder().path());
  window->show();
  QApplication::processEvents();
  for (auto _ : state) {
    window->FillList();
  }
  state.counters["lines"] = double(window->list()->count());
  window->close();
  window.reset();
}
BENCHMARK(BM_BookWindowFillList)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
