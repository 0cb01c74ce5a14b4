// The services a window needs in a benchmark: the generated folder's
// settings file, a clock stopped at 10:30 on a chosen day and message boxes
// that answer at once.
#ifndef MIROKATA_BENCH_COMMON_WINDOW_SERVICES_H_
#define MIROKATA_BENCH_COMMON_WINDOW_SERVICES_H_

#include <string>

#include "base/services.h"
#include "base/settings_file.h"
#include "calendar/gregorian.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_messages.h"

namespace mirokata {

struct WindowServices {
  WindowServices(const std::string& settings_path, const CivilDate& today)
      : settings(settings_path) {
    clock.Set(today.year, today.month, today.day, 10, 30);
    services.settings = &settings;
    services.clock = &clock;
    services.messages = &messages;
  }
  WindowServices(const WindowServices&) = delete;
  WindowServices& operator=(const WindowServices&) = delete;

  SettingsFile settings;
  FakeClock clock;
  FakeMessages messages;
  Services services;
};

}  // namespace mirokata

#endif  // MIROKATA_BENCH_COMMON_WINDOW_SERVICES_H_
