#include "tools/tools_module.h"

#include <optional>
#include <string>

#include "base/folders.h"
#include "base/settings_file.h"
#include "tools/period_tracker.h"
#include "tools/ui/date_jump_window.h"
#include "tools/ui/day_calculator_window.h"
#include "tools/ui/period_window.h"

namespace mirokata {

void InstallTools(Services& services, CommandHost& commands, TickEvents&,
                  PreferencesPages&, ToolsHost host) {
  const Services copy = services;
  CommandHost* command_host = &commands;
  commands.SetCommand(Command::kDayCalculator, [copy, command_host] {
    command_host->OpenOrRaise("day_calculator", [copy]() -> QWidget* {
      return new DayCalculatorWindow(copy);
    });
  });
  commands.SetCommand(Command::kJumpToDate, [copy, host, command_host] {
    command_host->OpenOrRaise("jump", [copy, host, command_host]() -> QWidget* {
      return new DateJumpWindow(copy, host.shown_date(), host.select_date,
                                command_host);
    });
  });
  commands.SetCommand(Command::kPeriod, [copy, host, command_host] {
    auto open = [copy, host, command_host] {
      if (host.require_data_folder && !host.require_data_folder()) return;
      const std::optional<std::string> folder = EnsureSubFolder(
          PrivacyFolder(copy.settings->Open()), kPeriodFolderName,
          SubFolderMode(kPeriodFolderName), *copy.messages);
      if (!folder) return;
      const CivilDate entered = host.shown_date();
      command_host->OpenOrRaise("period", [copy, folder, entered] {
        return new PeriodWindow(copy, *folder, entered);
      });
    };
    if (host.password_check) {
      host.password_check(open);
    } else {
      open();
    }
  });
}

}  // namespace mirokata
