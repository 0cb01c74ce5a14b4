// The launcher: building a menu of 300 items (with the run table written)
// into a QMenu, and refreshing the launcher box over 1,000 shortcuts.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/settings_file.h"
#include "common/offscreen_application.h"
#include "mainwin/launcher_menu.h"
#include "mainwin/ui/launcher_box.h"
#include "mainwin/ui/launcher_menu_view.h"
#include "platform/sound_cues.h"
#include "platform/testing/fake_shell.h"
#include "platform/testing/fake_sound.h"

namespace mirokata {
namespace {

struct Folder {
  Folder() {
    char tmpl[] = "/tmp/mirokata-launcher-bench-XXXXXX";
    path = ::mkdtemp(tmpl);
  }
  ~Folder() { std::filesystem::remove_all(path); }
  std::string path;
};

void BM_LauncherMenu300(benchmark::State& state) {
  OffscreenApplication();
  Folder folder;
  SettingsFile file(folder.path + "/mirokata.ini");
  // Ten submenus of 29 programs each: 300 items.
  std::vector<LauncherEntry> top;
  for (int s = 0; s < 10; ++s) {
    const std::string title = "グループ" + std::to_string(s);
    top.push_back({title, "", true});
    std::vector<LauncherEntry> items;
    for (int i = 0; i < 29; ++i) {
      items.push_back({"プログラム " + std::to_string(i),
                       "/usr/bin/program" + std::to_string(i) + "?--x", false});
    }
    SaveLauncherLevel(file, LauncherSubPath("Main", title), items);
  }
  SaveLauncherLevel(file, "Main", top);
  QMenu menu;
  for (auto _ : state) {
    FillLauncherMenu(&menu, BuildLauncherMenu(file), [](int) {});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}
BENCHMARK(BM_LauncherMenu300)->Unit(benchmark::kMillisecond);

void BM_LauncherBoxRefresh1000(benchmark::State& state) {
  OffscreenApplication();
  Folder folder;
  for (int i = 0; i < 1000; ++i) {
    std::ofstream(folder.path + "/shortcut" + std::to_string(i) + ".desktop")
        << "[Desktop Entry]\n";
  }
  SettingsFile file(folder.path + "/mirokata.ini");
  FakeSound sound;
  SoundCues cues(sound, [] { return false; });
  FakeShell shell;
  Services services;
  services.settings = &file;
  services.cues = &cues;
  services.shell = &shell;
  QComboBox combo;
  LauncherBox box(&combo, services, folder.path);
  combo.setEditText(
      QString::fromStdString(std::string(state.range(0) ? "shortcut1" : "")));
  for (auto _ : state) box.Refresh();
  state.counters["listed"] = combo.count();
}
BENCHMARK(BM_LauncherBoxRefresh1000)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
