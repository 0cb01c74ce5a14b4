#include "schedule/schedule_module.h"

#include "base/command.h"
#include "base/preferences_page.h"
#include "base/services.h"
#include "base/tick_events.h"
#include "base/weekday_names.h"
#include "schedule/reminder_engine.h"
#include "schedule/ui/popup_window.h"

namespace mirokata {
namespace {

class InstalledSchedule : public ScheduleModule {
 public:
  InstalledSchedule(Services& services, CommandHost& commands,
                    TickEvents& events)
      : services_(services), commands_(commands), events_(events) {
    PopupWindowContext popup;
    popup.settings = services.settings;
    popup.cues = services.cues;
    popup.sound = services.sound;
    popup.messages = services.messages;
    popup.jpeg = services.jpeg;
    popup.desktop = services.desktop;
    popup.entry_changes = services.entry_changes;
    popup.program_folder = services.program_folder;
    popup.open_schedule_list = [&commands] {
      commands.RunCommand(Command::kScheduleList);
    };
    popups_ = std::make_unique<PopupWindowFactory>(std::move(popup));
    MakeEngine(nullptr, {});
  }

  ReminderEngine& engine() override { return *engine_; }
  PopupFactory& popups() override { return *popups_; }
  void SetDisplays(ReminderDisplays* displays,
                   std::function<std::string(int)> memory_text) override {
    MakeEngine(displays, std::move(memory_text));
  }

 private:
  void MakeEngine(ReminderDisplays* displays,
                  std::function<std::string(int)> memory_text) {
    ReminderParts parts;
    parts.popups = popups_.get();
    parts.displays = displays;
    parts.events = &events_;
    parts.commands = &commands_;
    parts.memory_text = std::move(memory_text);
    parts.short_weekday_names = LocaleShortWeekdayNames();
    engine_ = std::make_unique<ReminderEngine>(services_, std::move(parts));
  }

  Services& services_;
  CommandHost& commands_;
  TickEvents& events_;
  std::unique_ptr<PopupWindowFactory> popups_;
  std::unique_ptr<ReminderEngine> engine_;
};

}  // namespace

std::unique_ptr<ScheduleModule> InstallSchedule(Services& services,
                                                CommandHost& commands,
                                                TickEvents& events,
                                                PreferencesPages&) {
  return std::make_unique<InstalledSchedule>(services, commands, events);
}

}  // namespace mirokata
