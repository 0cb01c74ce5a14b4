// One check of the password lock against a stored hash: slow on purpose
// (100-300 ms), so that a copied settings file cannot be tried quickly.
#include <benchmark/benchmark.h>

#include <string>

#include "tools/password_lock.h"

namespace mirokata {
namespace {

void BM_LockCheck(benchmark::State& state) {
  const std::string stored = HashPassword("correct horse");
  for (auto _ : state) {
    benchmark::DoNotOptimize(PasswordMatches(stored, "correct horse"));
  }
}
BENCHMARK(BM_LockCheck)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace mirokata
