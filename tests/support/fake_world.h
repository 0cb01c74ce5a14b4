// A program folder with a settings file and every fake a window needs, for
// tests of one window at a time.
#ifndef MIROKATA_TESTS_SUPPORT_FAKE_WORLD_H_
#define MIROKATA_TESTS_SUPPORT_FAKE_WORLD_H_

#include <QCoreApplication>
#include <QEvent>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/entry_changes.h"
#include "base/services.h"
#include "base/settings_file.h"
#include "platform/sound_cues.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_messages.h"
#include "platform/testing/fake_sound.h"
#include "support/temp_folder.h"

namespace mirokata {

struct FakeWorld {
  FakeWorld()
      : settings(dir / "mirokata.ini"), cues(sound, [] { return true; }) {}

  Services Context() {
    Services c;
    c.program_folder = dir.path() + "/";
    c.settings = &settings;
    c.clock = &clock;
    c.uptime = &uptime;
    c.messages = &messages;
    c.sound = &sound;
    c.cues = &cues;
    return c;
  }

  TempFolder dir;
  SettingsFile settings;
  FakeClock clock;
  FakeUptime uptime;
  FakeMessages messages;
  FakeSound sound;
  SoundCues cues;
};

// The same with a chosen data folder, "entries changed" in the services and
// the clock at Thursday 2026-12-10 10:30.
struct FakeDataWorld : FakeWorld {
  FakeDataWorld() : data(dir / "data") {
    std::filesystem::create_directory(data);
    settings.WriteString("Calendar", "Directory", data);
    clock.Set(2026, 12, 10, 10, 30, 0);
  }
  Services Context() {
    Services c = FakeWorld::Context();
    c.entry_changes = &changes;
    return c;
  }
  // A file of the data folder with these bytes.
  void Put(const std::string& name, const std::string& bytes = "x") {
    std::ofstream(data + "/" + name, std::ios::binary) << bytes;
  }

  const std::string data;
  EntryChanges changes;
};

// Runs what a window posted and deletes what closed with WA_DeleteOnClose.
inline void FlushEvents() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

}  // namespace mirokata

#endif  // MIROKATA_TESTS_SUPPORT_FAKE_WORLD_H_
