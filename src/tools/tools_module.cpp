#include "tools/tools_module.h"

#include "tools/ui/date_jump_window.h"
#include "tools/ui/day_calculator_window.h"

namespace mirokata {

void InstallTools(Services& services, CommandHost& commands, TickEvents&,
                  PreferencesPages&, ToolsHost host) {
  const Services copy = services;
  commands.SetCommand(Command::kDayCalculator, [copy, host] {
    host.open_or_raise("day_calculator", [copy]() -> QWidget* {
      return new DayCalculatorWindow(copy);
    });
  });
  CommandHost* command_host = &commands;
  commands.SetCommand(Command::kJumpToDate, [copy, host, command_host] {
    host.open_or_raise("jump", [copy, host, command_host]() -> QWidget* {
      return new DateJumpWindow(copy, host.shown_date(), host.select_date,
                                command_host);
    });
  });
}

}  // namespace mirokata
