// OpenOrRaise: one menu item per tool window, checked while it exists.
#ifndef MIROKATA_APP_TOOL_WINDOWS_H_
#define MIROKATA_APP_TOOL_WINDOWS_H_

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>

class QAction;

namespace mirokata {

class ToolWindows : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // The menu items (any number, e.g. a menu item and a tool bar button)
  // that stand for the window `key`; they become checkable.
  void Bind(const QString& key, QAction* action);

  // Opens a new window from `create` when none exists (the window is freed
  // when it closes), otherwise brings the existing one to the front.
  // Returns the window.
  QWidget* OpenOrRaise(const QString& key,
                       const std::function<QWidget*()>& create);

  QWidget* Find(const QString& key) const;
  bool IsOpen(const QString& key) const { return Find(key) != nullptr; }

  // Every open tool window, for closing them before the program ends.
  QList<QWidget*> OpenWindows() const;

 private:
  void SetChecked(const QString& key, bool checked);

  std::map<QString, QPointer<QWidget>> windows_;
  std::multimap<QString, QPointer<QAction>> actions_;
};

}  // namespace mirokata

#endif  // MIROKATA_APP_TOOL_WINDOWS_H_
