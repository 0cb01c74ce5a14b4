#include "platform/linux_platform.h"

#include "platform/desktop_shell.h"
#include "platform/module_sound.h"
#include "platform/qt_messages.h"
#include "platform/qt_screen.h"
#include "platform/qt_tray.h"
#include "platform/session_power.h"
#include "platform/x11_hot_key.h"

namespace mirokata {

PlatformServices MakeLinuxPlatform() {
  PlatformServices services;
  services.clock = MakeSystemClock();
  services.uptime = MakeBootUptime();
  services.messages = std::make_unique<QtMessages>();
  auto sound =
      std::make_unique<ModuleSound>(ModuleFolder() + "/mirokata_sound.so");
  ModuleSound* module = sound.get();
  services.sound = std::move(sound);
  services.warm_up = [module] { module->Load(); };
  services.shell = std::make_unique<DesktopShell>();
  services.hot_key = std::make_unique<X11HotKey>();
  services.tray = std::make_unique<QtTray>();
  services.screen = std::make_unique<QtScreen>();
  services.power = std::make_unique<SessionPower>();
  services.reachability = MakeLinuxReachability();
  services.mail_network = MakeLinuxMailNetwork();
  return services;
}

}  // namespace mirokata
