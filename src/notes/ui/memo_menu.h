// The memo menu: one submenu per category with its memos, a separator and
// "メモの新規作成", then the fixed "メモ一覧".
#ifndef MIROKATA_NOTES_UI_MEMO_MENU_H_
#define MIROKATA_NOTES_UI_MEMO_MENU_H_

#include <functional>

#include "base/settings_file.h"

class QMenu;

namespace mirokata {

struct MemoMenuActions {
  std::function<void(int category, int position)> open;
  std::function<void(int category)> create;
  std::function<void()> tree;  // "メモ一覧"
};

// Clears `menu` and fills it from the ten categories as stored now.
void FillMemoMenu(QMenu* menu, const SettingsReader& settings,
                  const MemoMenuActions& actions);

}  // namespace mirokata

#endif  // MIROKATA_NOTES_UI_MEMO_MENU_H_
