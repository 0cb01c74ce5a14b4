// RokuyoOf for every day from 1900 to 2100, as the schedule list and
// mirokata-cal walk the days, and for days picked at random, as a jump of
// the calendar asks them; the moon's age day by day and the moon panel's
// refresh. "per_day" is the time per day.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "calendar/lunisolar.h"
#include "calendar/moon.h"

namespace mirokata {
namespace {

void BM_RokuyoOfEveryDay(benchmark::State& state) {
  const int32_t first = LocalDayCount(1900, 1, 1);
  const int32_t last = LocalDayCount(2100, 12, 31);
  int64_t days = 0;
  size_t bytes = 0;
  for (auto _ : state) {
    for (int32_t n = first; n <= last; ++n) bytes += RokuyoOf(n).size();
    days += last - first + 1;
  }
  benchmark::DoNotOptimize(bytes);
  state.counters["per_day"] = benchmark::Counter(
      static_cast<double>(days),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RokuyoOfEveryDay)->Unit(benchmark::kMillisecond);

void BM_RokuyoOfScatteredDays(benchmark::State& state) {
  std::mt19937 random(1);
  std::uniform_int_distribution<int32_t> pick(LocalDayCount(1900, 1, 1),
                                              LocalDayCount(2100, 12, 31));
  std::vector<int32_t> picks(64);
  for (int32_t& n : picks) n = pick(random);
  int64_t days = 0;
  size_t bytes = 0;
  for (auto _ : state) {
    for (int32_t n : picks) bytes += RokuyoOf(n).size();
    days += static_cast<int64_t>(picks.size());
  }
  benchmark::DoNotOptimize(bytes);
  state.counters["per_day"] = benchmark::Counter(
      static_cast<double>(days),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RokuyoOfScatteredDays)->Unit(benchmark::kMillisecond);

// The moon's age at noon JST of every day, as mirokata-cal prints it.
void BM_MoonAgeEveryDay(benchmark::State& state) {
  const int32_t first = LocalDayCount(1900, 1, 1) + 1;
  const int32_t last = LocalDayCount(2100, 12, 31) + 1;
  int64_t days = 0;
  long double sum = 0;
  for (auto _ : state) {
    for (int32_t n = first; n <= last; ++n) {
      sum += MoonAge(DateTimeOfDayNumber(n) + 0.125L);
    }
    days += last - first + 1;
  }
  benchmark::DoNotOptimize(sum);
  state.counters["per_day"] = benchmark::Counter(
      static_cast<double>(days),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MoonAgeEveryDay)->Unit(benchmark::kMillisecond);

// The moon panel's refresh, once a second.
void BM_MoonPanelTexts(benchmark::State& state) {
  long double t = DateTimeOfDayNumber(2461000);
  for (auto _ : state) {
    benchmark::DoNotOptimize(MoonPanelTextsOf(t));
    t += 1.0L / 86400;
  }
}
BENCHMARK(BM_MoonPanelTexts)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mirokata
