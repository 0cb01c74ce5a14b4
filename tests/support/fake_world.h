// A program folder with a settings file and every fake a window needs, for
// tests of one window at a time.
#ifndef MIROKATA_TESTS_SUPPORT_FAKE_WORLD_H_
#define MIROKATA_TESTS_SUPPORT_FAKE_WORLD_H_

#include <QCoreApplication>
#include <QEvent>

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

// Runs what a window posted and deletes what closed with WA_DeleteOnClose.
inline void FlushEvents() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

}  // namespace mirokata

#endif  // MIROKATA_TESTS_SUPPORT_FAKE_WORLD_H_
