// The Linux (Qt 6, POSIX, X11) implementations of the platform interfaces.
#ifndef MIROKATA_PLATFORM_LINUX_PLATFORM_H_
#define MIROKATA_PLATFORM_LINUX_PLATFORM_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/hot_key.h"
#include "platform/mail_connection.h"
#include "platform/messages.h"
#include "platform/ping.h"
#include "platform/power.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/single_instance.h"
#include "platform/sound.h"
#include "platform/tray.h"
#include "platform/uptime.h"

namespace mirokata {

// One of each service, owned together by the application object.
struct PlatformServices {
  std::unique_ptr<Clock> clock;
  std::unique_ptr<Uptime> uptime;
  std::unique_ptr<Messages> messages;
  std::unique_ptr<Sound> sound;
  std::unique_ptr<Shell> shell;
  std::unique_ptr<HotKey> hot_key;
  std::unique_ptr<Tray> tray;
  std::unique_ptr<Screen> screen;
  std::unique_ptr<Power> power;
  std::unique_ptr<Reachability> reachability;
  std::unique_ptr<MailNetwork> mail_network;
  // Loads what the services put off so that the first window shows sooner;
  // run it once that window is painted.
  std::function<void()> warm_up;
};

// Needs a running QApplication; destroy the services before it.
PlatformServices MakeLinuxPlatform();

// The lock `name` (".lock" added) in `folder`; an empty folder means the
// user's runtime folder ($XDG_RUNTIME_DIR, else a private folder under the
// temporary folder). Works before the QApplication exists.
std::unique_ptr<SingleInstance> MakeSingleInstance(
    const std::string& name = "Mirokata", const std::string& folder = {});

// Plain POSIX pieces, usable without Qt. The clock reads the real-time
// clock unless given another source of milliseconds since 1970 UTC.
std::unique_ptr<Clock> MakeSystemClock(
    std::function<std::int64_t()> unix_milliseconds = {});
std::unique_ptr<Uptime> MakeBootUptime();

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_LINUX_PLATFORM_H_
