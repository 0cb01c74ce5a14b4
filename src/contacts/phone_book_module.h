// The phone book command: behind the password lock and the data folder,
// the "Tel" folder, then the one phone book window.
#ifndef MIROKATA_CONTACTS_PHONE_BOOK_MODULE_H_
#define MIROKATA_CONTACTS_PHONE_BOOK_MODULE_H_

#include <functional>

#include "base/command.h"
#include "base/preferences_page.h"
#include "base/services.h"
#include "base/tick_events.h"

namespace mirokata {

// What the phone book needs of the main window.
struct PhoneBookHost {
  // Sends the user to the preferences while no data folder is chosen.
  std::function<bool()> require_data_folder;
  // Runs `go_on` once the user has passed the password lock (at once when
  // it is off for the phone book); a refusal never runs it.
  std::function<void(std::function<void()> go_on)> password_check;
};

void InstallPhoneBook(Services& services, CommandHost& commands,
                      TickEvents& events, PreferencesPages& pages,
                      PhoneBookHost host);

}  // namespace mirokata

#endif  // MIROKATA_CONTACTS_PHONE_BOOK_MODULE_H_
