// The schedule list on the commands of the main window, kept up to date
// when entries change and when the date changes.
#ifndef MIROKATA_SCHEDULE_SCHEDULE_LIST_MODULE_H_
#define MIROKATA_SCHEDULE_SCHEDULE_LIST_MODULE_H_

#include <QRect>
#include <functional>

#include "base/command.h"
#include "base/preferences_page.h"
#include "base/services.h"
#include "base/tick_events.h"

namespace mirokata {

// What the list needs of the main window.
struct ScheduleListModuleHost {
  // False when no data folder is chosen yet (the preferences open instead).
  std::function<bool()> require_data_folder;
  // The main window's frame on the desktop: the list takes its width, and
  // a maximized list its left edge.
  std::function<QRect()> main_frame;
};

// Sets Command::kScheduleList (open or raise) and kCloseScheduleList.
// Returns what rebuilds the open list (nothing when none is open): the
// editors' hook.
std::function<void()> InstallScheduleList(Services& services,
                                          CommandHost& commands,
                                          TickEvents& events,
                                          PreferencesPages& pages,
                                          ScheduleListModuleHost host);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_SCHEDULE_LIST_MODULE_H_
