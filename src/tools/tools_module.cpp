#include "tools/tools_module.h"

#include "tools/ui/date_jump_window.h"
#include "tools/ui/day_calculator_window.h"

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
}

}  // namespace mirokata
