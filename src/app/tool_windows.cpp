#include "app/tool_windows.h"

#include <QAction>

namespace mirokata {

void ToolWindows::Bind(const QString& key, QAction* action) {
  action->setCheckable(true);
  action->setChecked(IsOpen(key));
  actions_.emplace(key, action);
}

QWidget* ToolWindows::OpenOrRaise(const QString& key,
                                  const std::function<QWidget*()>& create) {
  if (QWidget* open = Find(key)) {
    open->setWindowState(open->windowState() & ~Qt::WindowMinimized);
    open->show();
    open->raise();
    open->activateWindow();
    SetChecked(key, true);
    return open;
  }
  QWidget* window = create();
  if (!window) {
    SetChecked(key, false);
    return nullptr;
  }
  window->setAttribute(Qt::WA_DeleteOnClose);
  windows_[key] = window;
  connect(window, &QObject::destroyed, this, [this, key] {
    windows_.erase(key);
    SetChecked(key, false);
  });
  SetChecked(key, true);
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

QWidget* ToolWindows::Find(const QString& key) const {
  auto it = windows_.find(key);
  return it == windows_.end() ? nullptr : it->second.data();
}

QList<QWidget*> ToolWindows::OpenWindows() const {
  QList<QWidget*> out;
  for (const auto& [key, window] : windows_) {
    if (window) out.append(window.data());
  }
  return out;
}

void ToolWindows::SetChecked(const QString& key, bool checked) {
  auto range = actions_.equal_range(key);
  for (auto it = range.first; it != range.second; ++it) {
    if (it->second) it->second->setChecked(checked);
  }
}

}  // namespace mirokata
