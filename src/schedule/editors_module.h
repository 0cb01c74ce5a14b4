// The schedule and popup editors and the schedule manager, on the commands
// of the main window.
#ifndef MIROKATA_SCHEDULE_EDITORS_MODULE_H_
#define MIROKATA_SCHEDULE_EDITORS_MODULE_H_

#include <functional>

#include "base/command.h"
#include "base/preferences_page.h"
#include "base/services.h"
#include "base/tick_events.h"
#include "calendar/gregorian.h"

namespace mirokata {

// What the editors need of the main window.
struct ScheduleEditorsHost {
  // The day a command was given for (a day of the month grid, the
  // pop-view's day), else the selected day; and whether it came with one.
  std::function<CivilDate()> command_date;
  std::function<bool()> command_has_date;
  // False when no data folder is chosen yet (the preferences open instead).
  std::function<bool()> require_data_folder;
  // The open schedule list, rebuilt after a schedule was written or deleted.
  std::function<void()> rebuild_schedule_list;
};

void InstallScheduleEditors(Services& services, CommandHost& commands,
                            TickEvents& events, PreferencesPages& pages,
                            ScheduleEditorsHost host);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_EDITORS_MODULE_H_
