#include "notes/diary_module.h"

#include <optional>
#include <string>

#include "notes/diary_store.h"
#include "notes/ui/diary_list_window.h"

namespace mirokata {

void InstallDiary(Services& services, CommandHost& commands, DiaryHost host) {
  const Services copy = services;
  CommandHost* command_host = &commands;
  commands.SetCommand(Command::kDiaryList, [copy, host, command_host] {
    // A second run while the first waits at the password prompt queues
    // behind it there; its open only raises the list.
    auto open = [copy, host, command_host] {
      if (host.require_data_folder && !host.require_data_folder()) return;
      const std::optional<std::string> folder =
          EnsureDiaryFolder(*copy.settings, *copy.messages);
      if (!folder) return;
      command_host->OpenOrRaise("diary", [copy, folder]() -> QWidget* {
        return new DiaryListWindow(copy, *folder);
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
