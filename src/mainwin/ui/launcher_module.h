// The launcher on the main window: its menu, the menu editor, the box in
// the tool bar, the association editor and files dropped on the window.
#ifndef MIROKATA_MAINWIN_UI_LAUNCHER_MODULE_H_
#define MIROKATA_MAINWIN_UI_LAUNCHER_MODULE_H_

#include <QStringList>
#include <functional>

#include "base/command.h"
#include "base/services.h"

class QComboBox;

namespace mirokata {

// What the launcher needs of the main window.
struct LauncherHost {
  // False when no data folder is chosen yet (the preferences open instead).
  std::function<bool()> require_data_folder;
  // The menu's last item, "終了(&X)".
  std::function<void()> quit;
};

// Files dropped on the main window, with Shift and Ctrl as they were.
using DroppedFilesHandler =
    std::function<void(const QStringList& paths, bool shift, bool ctrl)>;

// Returns the handler of files dropped on the main window.
DroppedFilesHandler InstallLauncher(Services& services, CommandHost& commands,
                                    LauncherHost host);

// Makes `box` the launcher box over the shortcut folder. `empty_enter`:
// Enter in the empty box shows the main menu, with Shift the memo menu,
// with Ctrl the launcher menu.
void AttachLauncherBox(Services& services, QComboBox* box,
                       std::function<void(bool shift, bool ctrl)> empty_enter);

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_UI_LAUNCHER_MODULE_H_
