// Commands that open the windows of the subsystems. Menus, the tool bar,
// the tray and the day panel run them by name; each subsystem registers the
// handlers of its own commands at start-up.
#ifndef MIROKATA_BASE_COMMAND_H_
#define MIROKATA_BASE_COMMAND_H_

#include <cstddef>
#include <functional>
#include <string_view>

class QMenu;
class QWidget;

namespace mirokata {

enum class Command {
  kPopupEditor,
  kScheduleEditor,
  kScheduleList,
  kScheduleManager,
  kJumpToDate,
  kPhoneBook,
  kMemoTree,
  kDiaryList,
  kPeriod,
  kMailCheck,
  kMailer,
  kMailSettings,
  kTodoBoard,
  kBirthdays,
  kDayCalculator,
  kCountdownTimer,
  kAssociations,
  kBirthdayGreeting,   // today's birthdays, once a day from the tick
  kCloseScheduleList,  // a popup window closed (Form/Kill_List)
  kCount
};

// Menus of the main window that other subsystems fill at start-up.
enum class MenuSlot { kMemo, kLauncher };

inline constexpr std::size_t kCommandCount =
    static_cast<std::size_t>(Command::kCount);

class CommandHost {
 public:
  virtual ~CommandHost() = default;
  // Sets the command's handler and enables its menu items and buttons.
  virtual void SetCommand(Command command, std::function<void()> handler) = 0;
  virtual bool HasCommand(Command command) const = 0;
  // Runs the handler now; a command without one does nothing.
  virtual void RunCommand(Command command) = 0;
  // Runs the handler from the event loop, after the caller has returned:
  // the way the tick starts a window.
  virtual void RunCommandLater(Command command) = 0;
  // Fills the menu at start-up (and whenever it is rebuilt).
  virtual void SetMenuBuilder(MenuSlot slot,
                              std::function<void(QMenu*)> builder) = 0;
  // Opens the tool window `key` from `create` (it frees itself when it
  // closes), or brings the open one to the front and shows it again when
  // hidden or minimised. The menu items bound to `key` are checked while
  // it is open. Returns the window.
  virtual QWidget* OpenOrRaise(std::string_view key,
                               const std::function<QWidget*()>& create) = 0;
  // Work of the start-up order that runs under the start-up message
  // window, before the menus are built (reopening memos).
  virtual void AddStartupStep(std::function<void()> step) = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_BASE_COMMAND_H_
