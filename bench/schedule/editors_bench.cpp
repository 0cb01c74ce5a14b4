// The editors over a long-used data folder (10,000 entry files, 2,000 popup
// option sections): one re-evaluation of each editor's boxes, and an editor
// window opened and shown (offscreen) on an existing entry.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "base/services.h"
#include "base/settings_file.h"
#include "common/offscreen_application.h"
#include "platform/sound_cues.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_messages.h"
#include "platform/testing/fake_sound.h"
#include "schedule/editor_state.h"
#include "schedule/entry_name.h"
#include "schedule/ui/popup_editor_window.h"
#include "schedule/ui/schedule_editor_window.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;

// A program folder with a data folder of ten years of daily schedules and
// popups, recurring entries, and the options of 2,000 popups.
struct Home {
  Home() : root(fs::temp_directory_path() / "mirokata_editors_bench") {
    fs::remove_all(root);
    fs::create_directories(root / "data");
    data = (root / "data").string();
    settings = std::make_unique<SettingsFile>((root / "mirokata.ini").string());
    int count = 0;
    const auto write = [&](const EntryFields& f) {
      const std::string name = BuildEntryName(f);
      if (name.empty() || count >= 10000) return;
      std::ofstream(data + "/" + name) << "{\\rtf1 entry}";
      ++count;
    };
    // Ten years of a schedule and a 09:00 popup every day...
    for (int year = 2017; year <= 2026; ++year) {
      for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= DaysInMonth(year, month); ++day) {
          const CivilDate d{year, month, day};
          write(EntryFieldsForDate(EntryKind::kOneDaySchedule, d));
          write(EntryFieldsForDate(EntryKind::kOneDayPopup, d, 900));
        }
      }
    }
    // ...and yearly and monthly ones with every move.
    for (ShiftCode code : kAllShiftCodes) {
      for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= DaysInMonth(2024, month); ++day) {
          EntryFields f = EntryFieldsForDate(EntryKind::kYearlySchedule,
                                             {2024, month, day});
          f.shift = code;
          write(f);
          EntryFields m = EntryFieldsForDate(EntryKind::kMonthlyPopup,
                                             {2024, month, day}, month * 100);
          m.shift = code;
          write(m);
        }
      }
    }
    int popups = 0;
    std::mt19937 rng(11);
    settings->Batch([&](SettingsBatch& b) {
      for (const auto& e : fs::directory_iterator(data)) {
        const std::string name = e.path().filename().string();
        if (popups >= 2000 || name[0] == '_') continue;
        const std::string section = data + "/" + name;
        b.WriteInteger(section, "closetime", int(rng() % 100));
        b.WriteString(section, "Execute", "/usr/bin/true");
        ++popups;
      }
      b.WriteString("Calendar", "Directory", data);
    });
    clock.Set(2026, 12, 11, 9, 0, 0);
  }
  ~Home() { fs::remove_all(root); }

  Services Context() {
    Services c;
    c.program_folder = root.string() + "/";
    c.settings = settings.get();
    c.clock = &clock;
    c.messages = &messages;
    c.sound = &sound;
    c.cues = &cues;
    return c;
  }

  fs::path root;
  std::string data;
  std::unique_ptr<SettingsFile> settings;
  FakeClock clock;
  FakeMessages messages;
  FakeSound sound;
  SoundCues cues{sound, [] { return false; }};
};

Home& TheHome() {
  static Home* home = new Home;
  return *home;
}

void BM_ScheduleEditorReevaluation(benchmark::State& state) {
  ScheduleEditorState s;
  s.date = {2026, 12, 25};
  int i = 0;
  for (auto _ : state) {
    s.tab = i % 4;
    s.move = static_cast<HolidayMove>(i % 3);
    s.date.day = 1 + i % 31;
    benchmark::DoNotOptimize(EvaluateScheduleEditor(s));
    ++i;
  }
}
BENCHMARK(BM_ScheduleEditorReevaluation);

void BM_PopupEditorReevaluation(benchmark::State& state) {
  PopupEditorState s;
  s.date = {2026, 12, 25};
  int i = 0;
  for (auto _ : state) {
    s.tab = i % 5;
    s.hour = i % 24;
    s.date.day = 1 + i % 31;
    benchmark::DoNotOptimize(EvaluatePopupEditor(s, 10, 2));
    ++i;
  }
}
BENCHMARK(BM_PopupEditorReevaluation);

// The window built, its entry and options loaded, shown and painted.
template <typename Window, typename State>
void OpenWindow(benchmark::State& state, const State& start) {
  OffscreenApplication();
  Home& home = TheHome();
  for (auto _ : state) {
    auto* window = new Window(home.Context(), {}, start);
    window->show();
    QCoreApplication::processEvents();
    state.PauseTiming();
    delete window;
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}

void BM_OpenScheduleEditor(benchmark::State& state) {
  ScheduleEditorState s;
  s.date = {2024, 6, 12};
  OpenWindow<ScheduleEditorWindow>(state, s);
}
BENCHMARK(BM_OpenScheduleEditor)->Unit(benchmark::kMillisecond);

void BM_OpenPopupEditor(benchmark::State& state) {
  PopupEditorState s;
  s.date = {2024, 6, 12};
  s.hour = 9;
  OpenWindow<PopupEditorWindow>(state, s);
}
BENCHMARK(BM_OpenPopupEditor)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirokata
