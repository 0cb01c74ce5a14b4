// The memo menu rebuilt over 1,000 memos in ten categories, and deleting
// one memo from a category of 500 (one settings batch).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QMenu>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/settings_file.h"
#include "common/offscreen_application.h"
#include "notes/memo_store.h"
#include "notes/ui/memo_menu.h"

namespace mirokata {
namespace {

struct Folder {
  Folder() {
    char tmpl[] = "/tmp/mirokata-memo-bench-XXXXXX";
    path = ::mkdtemp(tmpl);
    std::filesystem::create_directory(path + "/Memo");
  }
  ~Folder() { std::filesystem::remove_all(path); }
  std::string path;
};

// `per_category` memos in each of `categories`, each with its own section.
void Seed(const std::string& ini, int categories, int per_category) {
  std::string raw;
  int n = 0;
  for (int c = 0; c < categories; ++c) {
    raw += "[" + std::to_string(c) + "_Memo]\r\n";
    for (int i = 0; i < per_category; ++i) {
      ++n;
      raw += "Memo" + std::to_string(n) + "=メモの題名 " + std::to_string(n) +
             "\r\n";
    }
  }
  for (int i = 1; i <= n; ++i) {
    raw += "[Memo" + std::to_string(i) +
           "]\r\nShow=0\r\nTop=100\r\nLeft=100\r\nWidth=200\r\nHeight=150\r\n";
  }
  raw += "[MemoCount]\r\nCount=" + std::to_string(n) + "\r\n";
  std::ofstream(ini, std::ios::binary) << raw;
}

void BM_MemoMenuRebuild1000(benchmark::State& state) {
  OffscreenApplication();
  Folder folder;
  const std::string ini = folder.path + "/mirokata.ini";
  Seed(ini, kMemoCategoryCount, 100);
  SettingsFile file(ini);
  QMenu menu;
  for (auto _ : state) {
    FillMemoMenu(&menu, file.Open(), {});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}
BENCHMARK(BM_MemoMenuRebuild1000)->Unit(benchmark::kMillisecond);

void BM_DeleteOneOf500(benchmark::State& state) {
  OffscreenApplication();
  Folder folder;
  const std::string ini = folder.path + "/mirokata.ini";
  Seed(ini, 1, 500);
  SettingsFile file(ini);
  int next = 250;
  for (auto _ : state) {
    state.PauseTiming();
    // Put a memo back so that every round deletes from 500.
    if (next > 250) {
      const std::string name = "Memo" + std::to_string(next - 1);
      file.Batch([&](SettingsBatch& b) {
        b.WriteString("0_Memo", name, name);
        b.WriteInteger(name, "Show", 0);
      });
    }
    const std::string victim = "Memo" + std::to_string(next++);
    state.ResumeTiming();
    if (!DeleteMemo(file, folder.path + "/Memo", 0, victim).written) {
      state.SkipWithError("not written");
    }
  }
}
BENCHMARK(BM_DeleteOneOf500)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
