// The schedule subsystem at start-up: the reminder engine and its popup
// windows, wired to the program's services, commands and tick events.
#ifndef MIROKATA_SCHEDULE_SCHEDULE_MODULE_H_
#define MIROKATA_SCHEDULE_SCHEDULE_MODULE_H_

#include <functional>
#include <memory>
#include <string>

namespace mirokata {

class CommandHost;
class PopupFactory;
class PreferencesPages;
class ReminderDisplays;
class ReminderEngine;
class TickEvents;
struct Services;

class ScheduleModule {
 public:
  virtual ~ScheduleModule() = default;
  virtual ReminderEngine& engine() = 0;
  virtual PopupFactory& popups() = 0;
  // Where each tick shows the date, clock, memory and moon; the memory text
  // comes from `memory_text` for the Form/Resource setting.
  virtual void SetDisplays(
      ReminderDisplays* displays,
      std::function<std::string(int resource_setting)> memory_text) = 0;
};

// `services`, `commands` and `events` outlive the module.
std::unique_ptr<ScheduleModule> InstallSchedule(Services& services,
                                                CommandHost& commands,
                                                TickEvents& events,
                                                PreferencesPages& pages);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_SCHEDULE_MODULE_H_
