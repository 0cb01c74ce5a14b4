// One settings read and one write on a file the size of a heavy user's:
// 2,000 popup option sections of eight keys each.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/settings_file.h"
#include "platform/file_io.h"

namespace mirokata {
namespace {

class LargeSettings {
 public:
  LargeSettings() {
    char tmpl[] = "/tmp/mirokata-settings-bench-XXXXXX";
    dir_ = mkdtemp(tmpl);
    path_ = dir_ + "/mirokata.ini";
    std::string text = "[Form]\r\nHeight=190\r\nWaveplay=1\r\n";
    for (int i = 0; i < 2000; ++i) {
      char name[64];
      snprintf(name, sizeof(name), "%04d__%02d.~~", i % 2400, i % 28 + 1);
      text += "[/home/user/予定/" + std::string(name) + "]\r\n";
      for (const char* key : {"file", "bitmap", "closetime", "Stretch",
                              "Snooze", "Execute", "Execlose", "Mail"}) {
        text += std::string(key) + "=value " + std::to_string(i) + "\r\n";
      }
    }
    WriteFileAtomic(path_, text, 0600);
  }
  ~LargeSettings() { std::filesystem::remove_all(dir_); }
  const std::string& path() const { return path_; }

 private:
  std::string dir_, path_;
};

void BM_ReadUnchanged(benchmark::State& state) {
  LargeSettings data;
  SettingsFile file(data.path());
  file.ReadInteger("Form", "Height", 0);  // first parse
  for (auto _ : state) {
    auto s = file.Open();
    benchmark::DoNotOptimize(
        s.ReadString("/home/user/予定/1234__03.~~", "closetime", ""));
  }
}
BENCHMARK(BM_ReadUnchanged);

void BM_Write(benchmark::State& state) {
  LargeSettings data;
  SettingsFile file(data.path());
  int i = 0;
  for (auto _ : state) {
    file.WriteInteger("Form", "top", ++i);
  }
}
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);

void BM_ReadAfterExternalChange(benchmark::State& state) {
  LargeSettings data;
  SettingsFile writer(data.path());
  SettingsFile reader(data.path());
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    writer.WriteInteger("Form", "top", ++i);
    state.ResumeTiming();
    benchmark::DoNotOptimize(reader.ReadInteger("Form", "top", 0));
  }
}
BENCHMARK(BM_ReadAfterExternalChange)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
