#include "notes/notes_module.h"

#include <optional>
#include <string>
#include <utility>

#include "base/folders.h"
#include "base/settings_file.h"
#include "notes/todo_board_store.h"
#include "notes/ui/todo_board_window.h"
#include "platform/messages.h"

namespace mirokata {
namespace {

constexpr char kTodoBoardKey[] = "todo";

void InstallTodoBoard(const Services& services, CommandHost& commands,
                      const NotesHost& host) {
  CommandHost* command_host = &commands;
  commands.SetCommand(Command::kTodoBoard, [services, host, command_host] {
    if (host.require_data_folder && !host.require_data_folder()) return;
    command_host->OpenOrRaise(kTodoBoardKey, [services]() -> QWidget* {
      const std::optional<std::string> folder = EnsureSubFolder(
          DataFolder(services.settings->Open()), kTodoFolderName,
          SubFolderMode(kTodoFolderName), *services.messages);
      if (!folder) return nullptr;
      TodoBoardStore store(*folder);
      std::string message;
      // Broken tree files are left as they are and the board stays shut.
      if (!store.Load(&message)) {
        services.messages->ShowNotice({MessageKind::kError, message});
        return nullptr;
      }
      return new TodoBoardWindow(services, std::move(store));
    });
  });
}

}  // namespace

void InstallNotes(Services& services, CommandHost& commands, TickEvents&,
                  PreferencesPages&, NotesHost host) {
  InstallTodoBoard(services, commands, host);
}

}  // namespace mirokata
