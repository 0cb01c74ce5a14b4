// The launcher menu's items as a QMenu.
#ifndef MIROKATA_MAINWIN_UI_LAUNCHER_MENU_VIEW_H_
#define MIROKATA_MAINWIN_UI_LAUNCHER_MENU_VIEW_H_

#include <functional>

#include "mainwin/launcher_menu.h"

class QMenu;

namespace mirokata {

// Clears `menu` and adds the built items; choosing one runs `run` with its
// run number.
void FillLauncherMenu(QMenu* menu, const LauncherMenu& built,
                      const std::function<void(int)>& run);

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_UI_LAUNCHER_MENU_VIEW_H_
