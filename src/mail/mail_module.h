// The mail on the commands of the main window: the check, the mail
// program, the settings window, and the reminder mail of each popup window.
#ifndef MIROKATA_MAIL_MAIL_MODULE_H_
#define MIROKATA_MAIL_MAIL_MODULE_H_

#include <functional>

#include "base/command.h"
#include "base/preferences_page.h"
#include "base/secret_store.h"
#include "base/services.h"
#include "base/tick_events.h"
#include "mail/mail_checker.h"

namespace mirokata {

// What the mail needs of the main window and the reminder engine.
struct MailHost {
  // Colours the three panels of the info strip.
  std::function<void(StripColour)> strip_colour;
  // MailCountdown of the reminder engine.
  std::function<int()> mail_countdown;
  std::function<void(int minutes)> set_mail_countdown;
  // Where the passwords live; null: masked in the settings file.
  SecretStore* secrets = nullptr;
};

void InstallMail(Services& services, CommandHost& commands, TickEvents& events,
                 PreferencesPages& pages, MailHost host);

// "メーラー起動": `pop`/`pop1_program` split at its first "?" and opened
// through the shell in its own folder. False when none is set or it could
// not start.
bool StartMailProgram(const Services& services);

}  // namespace mirokata

#endif  // MIROKATA_MAIL_MAIL_MODULE_H_
