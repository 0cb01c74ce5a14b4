// The contacts on the commands of the main window: the birthday book and
// the birthday greeting.
#ifndef MIROKATA_CONTACTS_CONTACTS_MODULE_H_
#define MIROKATA_CONTACTS_CONTACTS_MODULE_H_

#include <functional>

#include "base/command.h"
#include "base/preferences_page.h"
#include "base/services.h"
#include "base/tick_events.h"

namespace mirokata {

// What the contacts need of the main window.
struct ContactsHost {
  // False when no data folder is chosen yet (the preferences open instead).
  std::function<bool()> require_data_folder;
  // The memo view, refreshed after a birthday was saved or deleted; null
  // while there is none.
  std::function<void()> refresh_memo_view;
};

void InstallContacts(Services& services, CommandHost& commands,
                     TickEvents& events, PreferencesPages& pages,
                     ContactsHost host);

}  // namespace mirokata

#endif  // MIROKATA_CONTACTS_CONTACTS_MODULE_H_
