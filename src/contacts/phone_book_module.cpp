#include "contacts/phone_book_module.h"

#include <optional>
#include <string>

#include "base/folders.h"
#include "base/settings_file.h"
#include "contacts/phone_page.h"
#include "contacts/ui/phone_book_window.h"

namespace mirokata {

void InstallPhoneBook(Services& services, CommandHost& commands, TickEvents&,
                      PreferencesPages&, PhoneBookHost host) {
  const Services copy = services;
  CommandHost* command_host = &commands;
  commands.SetCommand(Command::kPhoneBook, [copy, host, command_host] {
    auto open = [copy, host, command_host] {
      if (host.require_data_folder && !host.require_data_folder()) return;
      const std::optional<std::string> folder =
          EnsureSubFolder(DataFolder(copy.settings->Open()), kPhoneFolderName,
                          SubFolderMode(kPhoneFolderName), *copy.messages);
      if (!folder) return;
      command_host->OpenOrRaise("phone_book", [copy, folder] {
        return new PhoneBookWindow(copy, *folder);
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
