// The to-do board with 5,000 notes spread over its categories, each note a
// short formatted Japanese text: reading and writing the two tree files,
// and moving the selection from one note to another in the window (the
// shown note is written when changed, the next one read into the editor).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <string>
#include <vector>

#include "base/settings_file.h"
#include "common/offscreen_application.h"
#include "notes/todo_board_store.h"
#include "notes/ui/todo_board_window.h"
#include "notes/ui/todo_note_pane.h"
#include "platform/file_io.h"
#include "platform/sound_cues.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_messages.h"
#include "platform/testing/fake_sound.h"
#include "richtext/rtf_writer.h"

namespace mirokata {
namespace {

constexpr int kNotes = 5000;

struct Files {
  Files() {
    char tmpl[] = "/tmp/mirokata-todo-bench-XXXXXX";
    folder = ::mkdtemp(tmpl);
    todo = folder + "/Todo";
    std::filesystem::create_directory(todo);
    TodoBoardStore store(todo);
    TodoTree& tree = store.tree();
    const std::string note = PlainTextToRtf(
        "打ち合わせの資料を準備する。\r\n・見積書を確認\r\n・会議室を予約\r\n"
        "来週の火曜日までに部長へ提出すること。");
    std::string error;
    std::vector<std::string> names;
    // Newest first under each category, as adding leaves them.
    for (int i = 0; i < kNotes; ++i) {
      const std::string file = std::to_string(i) + ".q32";
      tree.AddNote("2026/12/10(木) 10:30:00登録 " + std::to_string(i), file);
      size_t moved_to = 0;
      const int category = i % 4;
      if (category > 0) {
        size_t target = 0;
        int seen = 0;
        for (size_t n = 0; n < tree.size(); ++n) {
          if (tree.node(n).depth == 0 && seen++ == category) target = n;
        }
        tree.Move(1, target, &moved_to);
      }
      names.push_back(file);
    }
    std::vector<NewFile> notes;
    for (const std::string& name : names) notes.push_back({name, note});
    for (const NewFileResult& r : WriteNewFiles(todo, notes, 0644)) {
      if (r.state != NewFileResult::kWritten) abort();
    }
    if (!store.SaveTrees(&error)) abort();
  }
  ~Files() { std::filesystem::remove_all(folder); }
  std::string folder;
  std::string todo;
};

const Files& Data() {
  static const Files files;
  return files;
}

void BM_LoadTrees(benchmark::State& state) {
  const Files& files = Data();
  for (auto _ : state) {
    TodoBoardStore store(files.todo);
    std::string message;
    if (!store.Load(&message)) abort();
    benchmark::DoNotOptimize(store.tree().size());
  }
}
BENCHMARK(BM_LoadTrees)->Unit(benchmark::kMillisecond);

void BM_WriteTrees(benchmark::State& state) {
  const Files& files = Data();
  TodoBoardStore store(files.todo);
  std::string message;
  if (!store.Load(&message)) abort();
  for (auto _ : state) {
    if (!store.SaveTrees(&message)) abort();
  }
}
BENCHMARK(BM_WriteTrees)->Unit(benchmark::kMillisecond);

void BM_SelectionChange(benchmark::State& state) {
  OffscreenApplication();
  const Files& files = Data();
  SettingsFile settings(files.folder + "/mirokata.ini");
  FakeClock clock;
  FakeMessages messages;
  FakeSound sound;
  SoundCues cues(sound, [] { return false; });
  Services services;
  services.settings = &settings;
  services.clock = &clock;
  services.messages = &messages;
  services.cues = &cues;
  TodoBoardStore store(files.todo);
  std::string message;
  if (!store.Load(&message)) abort();
  auto* window = new TodoBoardWindow(services, std::move(store));
  window->show();
  QApplication::processEvents();
  // Two notes of different categories, the second one typed into.
  const size_t a = 1;
  const size_t b = window->store().tree().size() - 2;
  bool at_a = true;
  for (auto _ : state) {
    window->SelectPosition(at_a ? b : a);
    at_a = !at_a;
  }
  window->close();
  delete window;
}
BENCHMARK(BM_SelectionChange)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
