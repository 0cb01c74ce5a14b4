// The notes on the commands of the main window: the to-do board.
#ifndef MIROKATA_NOTES_NOTES_MODULE_H_
#define MIROKATA_NOTES_NOTES_MODULE_H_

#include <functional>

#include "base/command.h"
#include "base/preferences_page.h"
#include "base/services.h"
#include "base/tick_events.h"

namespace mirokata {

// What the notes need of the main window.
struct NotesHost {
  // False when no data folder is chosen yet (the preferences open instead).
  std::function<bool()> require_data_folder;
};

void InstallNotes(Services& services, CommandHost& commands, TickEvents& events,
                  PreferencesPages& pages, NotesHost host);

}  // namespace mirokata

#endif  // MIROKATA_NOTES_NOTES_MODULE_H_
