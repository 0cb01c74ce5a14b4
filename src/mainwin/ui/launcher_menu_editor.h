// The editor of one level of the launcher menu: its items, a stack for
// reordering, and a nested editor for a submenu's level (three at most).
#ifndef MIROKATA_MAINWIN_UI_LAUNCHER_MENU_EDITOR_H_
#define MIROKATA_MAINWIN_UI_LAUNCHER_MENU_EDITOR_H_

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "base/services.h"
#include "mainwin/launcher_menu.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace mirokata {

class LauncherMenuEditor : public QWidget {
  Q_OBJECT

 public:
  // `path` is the level's path; `depth` 1 for the top level. `on_top_closed`
  // runs when a top-level editor closes (the menu is rebuilt then).
  LauncherMenuEditor(Services& services, std::string path, int depth,
                     std::function<void()> on_top_closed,
                     QWidget* parent = nullptr);

  const std::vector<LauncherEntry>& items() const { return items_; }
  const std::vector<LauncherEntry>& stack() const { return stack_; }
  QListWidget* item_list() const { return list_; }
  QLineEdit* title_field() const { return title_; }
  QLineEdit* command_field() const { return command_; }
  QCheckBox* submenu_switch() const { return submenu_; }
  QLabel* status() const { return status_; }
  // The editor of the submenu opened last, while open.
  LauncherMenuEditor* nested() const { return nested_.data(); }

  // The buttons' actions.
  void AddItem();
  void AddSeparator();
  bool WriteFields();  // "書き込み"; false when refused
  void ToStack();
  void FromStack();
  void DeleteFromStack();
  bool Save();  // "保存"; false when refused or not written
  void EditSubmenu();
  void AddDroppedFiles(const QStringList& paths);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void Refill(int select);
  void ShowSelected();
  void SetSubmenu(bool on);
  bool SubLevelEmpty(const LauncherEntry& e) const;
  void Help(QWidget* w, const char* text);
  void Refuse();
  bool SaveLevel();

  Services& services_;
  const std::string path_;
  const int depth_;
  std::function<void()> on_top_closed_;
  std::vector<LauncherEntry> items_;
  std::vector<LauncherEntry> stack_;
  bool saving_close_ = false;

  QGroupBox* group_ = nullptr;
  QListWidget* list_ = nullptr;
  QListWidget* stack_list_ = nullptr;
  QLineEdit* title_ = nullptr;
  QLineEdit* command_ = nullptr;
  QCheckBox* submenu_ = nullptr;
  QPushButton* file_button_ = nullptr;
  QPushButton* write_ = nullptr;
  QPushButton* sub_edit_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* new_ = nullptr;
  QLabel* status_ = nullptr;
  QPointer<LauncherMenuEditor> nested_;
};

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_UI_LAUNCHER_MENU_EDITOR_H_
