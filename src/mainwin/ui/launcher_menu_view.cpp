#include "mainwin/ui/launcher_menu_view.h"

#include <QMenu>

namespace mirokata {

namespace {

void AddNodes(QMenu* menu, const std::vector<LauncherNode>& nodes,
              const std::function<void(int)>& run) {
  for (const LauncherNode& node : nodes) {
    const QString title = QString::fromStdString(node.title);
    if (node.separator) {
      menu->addSeparator();
    } else if (node.submenu) {
      AddNodes(menu->addMenu(title), node.children, run);
    } else {
      const int number = node.number;
      QObject::connect(menu->addAction(title), &QAction::triggered, menu,
                       [run, number] { run(number); });
    }
  }
}

}  // namespace

void FillLauncherMenu(QMenu* menu, const LauncherMenu& built,
                      const std::function<void(int)>& run) {
  // Submenus belong to the menu, not to their actions: free them too.
  for (QAction* action : menu->actions()) {
    if (QMenu* sub = action->menu()) sub->deleteLater();
  }
  menu->clear();
  AddNodes(menu, built.items, run);
}

}  // namespace mirokata
