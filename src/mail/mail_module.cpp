#include "mail/mail_module.h"

#include <QPointer>
#include <QSysInfo>
#include <algorithm>
#include <memory>
#include <string>

#include "base/settings_file.h"
#include "mail/ui/mail_result_window.h"
#include "mail/ui/mail_settings_window.h"
#include "platform/shell.h"

namespace mirokata {
namespace {

constexpr char kSettingsKey[] = "mail_settings";

// Everything the commands share, alive as long as they are.
struct MailState {
  MailState(Services& services, MailHost mail_host)
      : host(std::move(mail_host)),
        fallback(*services.settings),
        secrets(host.secrets ? *host.secrets : fallback) {}

  MailHost host;
  SettingsSecretStore fallback;
  SecretStore& secrets;
  std::unique_ptr<MailChecker> checker;
  std::unique_ptr<ReminderMailer> mailer;
  QPointer<MailResultWindow> result_window;
};

}  // namespace

bool StartMailProgram(const Services& services) {
  if (!services.settings || !services.shell) return false;
  const std::string text =
      services.settings->ReadString("pop", "pop1_program", "");
  if (text.empty()) return false;
  const CommandText program = SplitCommandText(text);
  if (program.file.empty()) return false;
  return services.shell->Open(program.file, program.parameters,
                              FolderOfPath(program.file));
}

void InstallMail(Services& services, CommandHost& commands, TickEvents& events,
                 PreferencesPages&, MailHost host) {
  auto state = std::make_shared<MailState>(services, std::move(host));
  MailState* s = state.get();
  CommandHost* command_host = &commands;
  const Services context = services;

  auto strip = [s](StripColour colour) {
    if (s->host.strip_colour) s->host.strip_colour(colour);
  };
  MailCheckHooks hooks;
  hooks.strip_colour = strip;
  hooks.set_countdown = [s](int minutes) {
    if (s->host.set_mail_countdown) s->host.set_mail_countdown(minutes);
  };
  hooks.show_results =
      [s, context,
       command_host](const std::array<std::string, kMailAccounts>& lines) {
        const bool any =
            std::any_of(lines.begin(), lines.end(),
                        [](const std::string& l) { return !l.empty(); });
        if (!any) {
          if (s->result_window) s->result_window->close();
          return;
        }
        if (!s->result_window) {
          MailResultActions actions;
          actions.check = [command_host] {
            command_host->RunCommand(Command::kMailCheck);
          };
          actions.start_mailer = [command_host] {
            command_host->RunCommand(Command::kMailer);
          };
          actions.open_settings = [command_host] {
            command_host->RunCommand(Command::kMailSettings);
          };
          s->result_window = new MailResultWindow(context, std::move(actions));
        }
        s->result_window->SetLines(lines);
        s->result_window->ShowResults();
      };
  state->checker = std::make_unique<MailChecker>(context, s->secrets, hooks);
  state->mailer = std::make_unique<ReminderMailer>(
      context, s->secrets, strip,
      [] { return QSysInfo::machineHostName().toStdString(); });

  commands.SetCommand(Command::kMailCheck,
                      [state] { state->checker->Check(); });
  commands.SetCommand(Command::kMailer, [state, context] {
    // The next automatic check comes a minute later.
    if (state->host.mail_countdown && state->host.set_mail_countdown) {
      state->host.set_mail_countdown(state->host.mail_countdown() + 1);
    }
    StartMailProgram(context);
  });
  commands.SetCommand(Command::kMailSettings, [state, context, command_host] {
    command_host->OpenOrRaise(kSettingsKey, [state, context]() -> QWidget* {
      MailChecker* checker = state->checker.get();
      return new MailSettingsWindow(
          context, state->secrets,
          [checker](int account) { return checker->outcome(account); });
    });
  });
  events.OnPopupFinished([state](const PopupFinished& popup) {
    if (popup.send_mail) state->mailer->Send(popup.title, popup.texts);
  });
}

}  // namespace mirokata
