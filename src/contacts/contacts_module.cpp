#include "contacts/contacts_module.h"

#include <QPointer>
#include <memory>
#include <string>

#include "base/folders.h"
#include "base/settings_file.h"
#include "contacts/ui/birthday_book_window.h"
#include "contacts/ui/birthday_greeting_window.h"

namespace mirokata {
namespace {

constexpr char kBirthdayBookKey[] = "birthday_book";
constexpr char kGreetingKey[] = "birthday_greeting";

void InstallBirthdays(const Services& services, CommandHost& commands,
                      const ContactsHost& host) {
  CommandHost* command_host = &commands;
  commands.SetCommand(Command::kBirthdays, [services, host, command_host] {
    if (host.require_data_folder && !host.require_data_folder()) return;
    const std::string folder = DataFolder(services.settings->Open());
    command_host->OpenOrRaise(kBirthdayBookKey, [services, host, folder] {
      return new BirthdayBookWindow(services, folder, host.refresh_memo_view);
    });
  });

  // Run from the tick through the event loop: shown, never waited for. A
  // second greeting of the day refills the open window.
  auto greeting = std::make_shared<QPointer<BirthdayGreetingWindow>>();
  commands.SetCommand(
      Command::kBirthdayGreeting, [services, command_host, greeting] {
        const std::string folder = DataFolder(services.settings->Open());
        if (*greeting) {
          (*greeting)->Refill(folder);
          (*greeting)->show();
          (*greeting)->raise();
          return;
        }
        command_host->OpenOrRaise(kGreetingKey, [&]() -> QWidget* {
          auto* window = new BirthdayGreetingWindow(services, [command_host] {
            command_host->RunCommand(Command::kBirthdays);
          });
          window->Refill(folder);
          *greeting = window;
          return window;
        });
      });
}

}  // namespace

void InstallContacts(Services& services, CommandHost& commands, TickEvents&,
                     PreferencesPages&, ContactsHost host) {
  InstallBirthdays(services, commands, host);
}

}  // namespace mirokata
