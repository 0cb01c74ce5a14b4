#include "notes/ui/memo_menu.h"

#include <QActionGroup>
#include <QMenu>

#include "notes/memo_store.h"

namespace mirokata {

void FillMemoMenu(QMenu* menu, const SettingsReader& settings,
                  const MemoMenuActions& actions) {
  // Submenus belong to the menu, not to their actions: free them too.
  for (QAction* action : menu->actions()) {
    if (QMenu* sub = action->menu()) sub->deleteLater();
  }
  menu->clear();
  const std::vector<MemoCategory> categories = ReadAllMemoCategories(settings);
  for (const MemoCategory& category : categories) {
    const int number = category.number;
    QMenu* sub = menu->addMenu(
        QString::fromStdString(MemoCategoryName(settings, number)));
    int position = 0;
    for (const MemoEntry& memo : category.memos) {
      QAction* item = sub->addAction(QString::fromStdString(memo.title));
      QObject::connect(item, &QAction::triggered, sub,
                       [open = actions.open, number, position] {
                         if (open) open(number, position);
                       });
      ++position;
    }
    sub->addSeparator();
    QAction* create = sub->addAction(QString::fromUtf8("メモの新規作成"));
    create->setCheckable(true);
    create->setActionGroup(new QActionGroup(sub));
    QObject::connect(create, &QAction::triggered, sub,
                     [create_memo = actions.create, number, create] {
                       create->setChecked(false);
                       if (create_memo) create_memo(number);
                     });
  }
  menu->addSeparator();
  QObject::connect(menu->addAction(QString::fromUtf8("メモ一覧")),
                   &QAction::triggered, menu, [tree = actions.tree] {
                     if (tree) tree();
                   });
}

}  // namespace mirokata
