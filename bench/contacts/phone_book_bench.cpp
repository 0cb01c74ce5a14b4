// The phone book with 13 pages holding 5,000 contacts (about 385 rows a
// page): showing a page in the window, searching every page into the
// result page, and moving a row in reorder mode with the save.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QTableView>
#include <filesystem>
#include <string>

#include "base/settings_file.h"
#include "contacts/phone_page.h"
#include "contacts/phone_page_store.h"
#include "contacts/ui/phone_book_window.h"
#include "platform/sound_cues.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_messages.h"
#include "platform/testing/fake_sound.h"

namespace mirokata {
namespace {

constexpr int kContacts = 5000;

struct Files {
  Files() {
    char tmpl[] = "/tmp/mirokata-phone-bench-XXXXXX";
    folder = ::mkdtemp(tmpl);
    tel = folder + "/Tel";
    PhonePageStore store(tel);
    std::vector<std::vector<PhoneRow>> pages(kPhonePageCount);
    for (int i = 0; i < kContacts; ++i) {
      const std::string n = std::to_string(i);
      pages[size_t(i % kPhonePageCount)].push_back(
          {"株式会社 見本" + n, "山田 太郎" + n, "03-1234-" + n,
           "taro" + n + "@example.jp", "http://example.jp/" + n,
           "192.0.2." + std::to_string(i % 250)});
    }
    std::string error;
    for (int p = 0; p < kPhonePageCount; ++p) {
      if (!store.Save(p, pages[size_t(p)], &error)) abort();
    }
  }
  ~Files() { std::filesystem::remove_all(folder); }
  std::string folder;
  std::string tel;
};

const Files& Data() {
  static const Files files;
  return files;
}

struct Window {
  Window()
      : settings(Data().folder + "/mirokata.ini"),
        cues(sound, [] { return false; }) {
    static int argc = 1;
    static char name[] = "contacts_phone_bench";
    static char* argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    clock.Set(2026, 12, 10, 10, 30);
    services.settings = &settings;
    services.clock = &clock;
    services.messages = &messages;
    services.cues = &cues;
    window = new PhoneBookWindow(services, Data().tel);
    window->show();
    QApplication::processEvents();
  }
  ~Window() { delete window; }
  SettingsFile settings;
  FakeClock clock;
  FakeMessages messages;
  FakeSound sound;
  SoundCues cues;
  Services services;
  PhoneBookWindow* window = nullptr;
};

void BM_ShowPage(benchmark::State& state) {
  Window w;
  int page = 0;
  for (auto _ : state) {
    page = page == 1 ? 2 : 1;
    w.window->ShowPage(page);
    QApplication::processEvents();
  }
  state.counters["rows"] = double(w.window->grid()->model()->rowCount());
}
BENCHMARK(BM_ShowPage)->Unit(benchmark::kMillisecond);

void BM_SearchFiles(benchmark::State& state) {
  const PhonePageStore store(Data().tel);
  std::string error;
  for (auto _ : state) {
    if (!store.Search("山田", &error)) state.SkipWithError("search failed");
  }
}
BENCHMARK(BM_SearchFiles)->Unit(benchmark::kMillisecond);

// The search as the window runs it: the files, then the result page shown.
void BM_SearchAllPages(benchmark::State& state) {
  Window w;
  for (auto _ : state) {
    w.window->Search(QStringLiteral("山田"));
    QApplication::processEvents();
  }
  state.counters["results"] = double(w.window->grid()->model()->rowCount());
}
BENCHMARK(BM_SearchAllPages)->Unit(benchmark::kMillisecond);

void BM_MoveRowAndSave(benchmark::State& state) {
  Window w;
  w.window->ShowPage(3);
  w.window->SetReorderMode(true);
  for (auto _ : state) {
    w.window->MoveRow(0, 380);
    if (!w.window->SaveCurrentPage()) state.SkipWithError("save failed");
  }
  w.window->SetReorderMode(false);
}
BENCHMARK(BM_MoveRowAndSave)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
