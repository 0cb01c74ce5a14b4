// HolidayNamesOf for every day from 1900 to 2100 on a real settings file
// holding the default list; "per_day" is the time per day.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "base/settings_file.h"
#include "calendar/gregorian.h"
#include "calendar/holidays.h"

namespace mirokata {
namespace {

class TempSettings {
 public:
  explicit TempSettings(bool law) {
    char tmpl[] = "/tmp/mirokata-holidays-bench-XXXXXX";
    dir_ = mkdtemp(tmpl);
    file_ = std::make_unique<SettingsFile>(dir_ + "/mirokata.ini");
    EnsureDefaultHolidays(*file_);
    file_->WriteBool(kCalendarExSection, kHolidayLawKey, law);
  }
  ~TempSettings() { std::filesystem::remove_all(dir_); }
  SettingsFile& file() { return *file_; }

 private:
  std::string dir_;
  std::unique_ptr<SettingsFile> file_;
};

void BM_HolidayNamesOfEveryDay(benchmark::State& state) {
  TempSettings settings(state.range(0) != 0);
  const int32_t first = DayNumber(1900, 1, 1);
  const int32_t last = DayNumber(2100, 12, 31);
  int64_t days = 0;
  size_t holidays = 0;
  for (auto _ : state) {
    for (int32_t n = first; n <= last; ++n) {
      holidays += HolidayNamesOf(settings.file(), CivilDateOf(n)).size();
    }
    days += last - first + 1;
  }
  benchmark::DoNotOptimize(holidays);
  state.SetLabel(state.range(0) ? "law" : "list rules");
  state.counters["per_day"] = benchmark::Counter(
      static_cast<double>(days),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_HolidayNamesOfEveryDay)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
