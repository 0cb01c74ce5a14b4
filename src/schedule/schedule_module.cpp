#include "schedule/schedule_module.h"

#include "base/command.h"
#include "base/preferences_page.h"
#include "base/services.h"
#include "base/tick_events.h"
#include "base/weekday_names.h"
#include "schedule/reminder_engine.h"
#include "schedule/ui/countdown_window.h"
#include "schedule/ui/popup_window.h"

namespace mirokata {
namespace {

class InstalledSchedule : public ScheduleModule {
 public:
  InstalledSchedule(Services& services, CommandHost& commands,
                    TickEvents& events) {
    popups_ = std::make_unique<PopupWindowFactory>(services, &commands);
    ReminderParts parts;
    parts.popups = popups_.get();
    parts.events = &events;
    parts.commands = &commands;
    parts.short_weekday_names = LocaleShortWeekdayNames();
    engine_ = std::make_unique<ReminderEngine>(services, std::move(parts));
    const Services copy = services;
    CommandHost* host = &commands;
    commands.SetCommand(Command::kCountdownTimer, [copy, host] {
      host->OpenOrRaise("countdown", [copy]() -> QWidget* {
        return new CountdownWindow(copy);
      });
    });
  }

  ReminderEngine& engine() override { return *engine_; }
  PopupFactory& popups() override { return *popups_; }
  void SetDisplays(ReminderDisplays* displays,
                   std::function<std::string(int)> memory_text) override {
    engine_->SetDisplays(displays, std::move(memory_text));
  }

 private:
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
