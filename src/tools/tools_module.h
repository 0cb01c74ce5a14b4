// The personal tools: the day calculator, the date jump and the period
// tracker.
#ifndef MIROKATA_TOOLS_TOOLS_MODULE_H_
#define MIROKATA_TOOLS_TOOLS_MODULE_H_

#include <functional>

#include "base/command.h"
#include "base/preferences_page.h"
#include "base/services.h"
#include "base/tick_events.h"
#include "calendar/gregorian.h"

namespace mirokata {

// What the tools need of the main window.
struct ToolsHost {
  // The date the month grid shows, and selecting another in one step.
  std::function<CivilDate()> shown_date;
  std::function<void(const CivilDate&)> select_date;
  // Sends the user to the preferences while no data folder is chosen.
  std::function<bool()> require_data_folder;
  // Runs `go_on` once the user has passed the password lock (at once when
  // it is off), after noting the tracker's access; a refusal never runs it.
  std::function<void(std::function<void()> go_on)> password_check;
};

void InstallTools(Services& services, CommandHost& commands, TickEvents& events,
                  PreferencesPages& pages, ToolsHost host);

}  // namespace mirokata

#endif  // MIROKATA_TOOLS_TOOLS_MODULE_H_
