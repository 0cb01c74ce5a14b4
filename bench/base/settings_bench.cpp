// One settings read, one write and a batch of eight keys (a popup's
// options) on a file the size of a heavy user's: 2,000 popup option
// sections of eight keys each. Target for the batch: under 5 ms.
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
  // value_text: what each value starts with (a heavy user's are Japanese).
  explicit LargeSettings(const std::string& value_text = "value ") {
    // MIROKATA_BENCH_DIR (for example /dev/shm) leaves the disk's sync
    // time out of the figures.
    const char* root = std::getenv("MIROKATA_BENCH_DIR");
    std::string tmpl =
        std::string(root ? root : "/tmp") + "/mirokata-settings-bench-XXXXXX";
    dir_ = mkdtemp(tmpl.data());
    path_ = dir_ + "/mirokata.ini";
    std::string text = "[Form]\r\nHeight=190\r\nWaveplay=1\r\n";
    for (int i = 0; i < 2000; ++i) {
      char name[64];
      snprintf(name, sizeof(name), "%04d__%02d.~~", i % 2400, i % 28 + 1);
      text += "[/home/user/予定/" + std::string(name) + "]\r\n";
      for (const char* key : {"file", "bitmap", "closetime", "Stretch",
                              "Snooze", "Execute", "Execlose", "Mail"}) {
        text +=
            std::string(key) + "=" + value_text + std::to_string(i) + "\r\n";
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

// The eight keys of a popup's options, as WritePopupOptions writes them.
// (Strings are built with append: GCC 12's -Wrestrict misfires on
// literal + std::string + literal at -O3.)
std::string Text(const char* prefix, int i, const char* suffix = "") {
  std::string text(prefix);
  text.append(std::to_string(i)).append(suffix);
  return text;
}

void WriteEight(SettingsBatch& b, const std::string& section, int i) {
  b.WriteInteger(section, "closetime", i);
  b.WriteString(section, "file", Text("/home/user/音/", i, ".wav"));
  b.WriteString(section, "bitmap", Text("/home/user/絵/", i, ".jpg"));
  b.WriteBool(section, "Smtp", i % 2);
  b.WriteBool(section, "Wallpaper", i % 3 == 0);
  b.WriteBool(section, "Stretch", i % 5 == 0);
  b.WriteString(section, "Execute", Text("/usr/bin/xterm?-e ", i));
  b.WriteString(section, "Execlose", Text("電卓", i));
}

// An existing popup's options changed.
void BM_BatchOfEight(benchmark::State& state) {
  LargeSettings data;
  SettingsFile file(data.path());
  const std::string section = "/home/user/予定/1234__03.~~";
  int i = 0;
  for (auto _ : state) {
    file.Batch([&](SettingsBatch& b) { WriteEight(b, section, ++i); });
  }
}
BENCHMARK(BM_BatchOfEight)->Unit(benchmark::kMillisecond);

// A new popup's options: a new section of eight keys (the file grows by
// one section per iteration).
void BM_BatchOfEightNewSection(benchmark::State& state) {
  LargeSettings data;
  SettingsFile file(data.path());
  int i = 0;
  for (auto _ : state) {
    const std::string section = Text("/home/user/予定〜é/", ++i, "__03.~~");
    file.Batch([&](SettingsBatch& b) { WriteEight(b, section, i); });
  }
}
BENCHMARK(BM_BatchOfEightNewSection)->Unit(benchmark::kMillisecond);

// The same eight keys as eight single writes, as before batches.
void BM_EightSingleWrites(benchmark::State& state) {
  LargeSettings data;
  SettingsFile file(data.path());
  const std::string section = "/home/user/予定/1234__03.~~";
  int i = 0;
  for (auto _ : state) {
    ++i;
    for (int k = 0; k < 8; ++k) {
      file.WriteInteger(section, Text("k", k), i);
    }
  }
}
BENCHMARK(BM_EightSingleWrites)->Unit(benchmark::kMillisecond);

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

// The first read at start-up: the whole file parsed, with Japanese values.
void BM_FirstReadJapanese(benchmark::State& state) {
  LargeSettings data("値 ");
  for (auto _ : state) {
    SettingsFile file(data.path());
    benchmark::DoNotOptimize(file.ReadInteger("Form", "Height", 0));
  }
}
BENCHMARK(BM_FirstReadJapanese)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
