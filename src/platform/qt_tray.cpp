#include "platform/qt_tray.h"

#include <QApplication>
#include <QMenu>
#include <QStyle>

namespace mirokata {

QtTray::QtTray() = default;

// The icons are made at their first use: making one talks to the desktop's
// tray (over D-Bus where it has one), which the start of the program need
// not wait for.
void QtTray::MakeIcons() {
  if (made_) return;
  made_ = true;
  for (int i = 0; i < 2; ++i) {
    const auto id = static_cast<TrayIconId>(i);
    Slot& s = slots_[i];
    s.icon = std::make_unique<QSystemTrayIcon>();
    // A tray host shows nothing for an icon without a picture.
    s.icon->setIcon(QApplication::style()->standardIcon(
        i == 0 ? QStyle::SP_FileDialogDetailedView
               : QStyle::SP_FileDialogContentsView));
    s.click_timer = std::make_unique<QTimer>();
    s.click_timer->setSingleShot(true);
    QObject::connect(s.click_timer.get(), &QTimer::timeout, [this, id] {
      if (slot(id).click) slot(id).click();
    });
    QObject::connect(s.icon.get(), &QSystemTrayIcon::activated,
                     [this, id](QSystemTrayIcon::ActivationReason reason) {
                       Activate(id, reason);
                     });
  }
}

QtTray::~QtTray() {
  for (Slot& s : slots_) {
    if (s.click_timer) s.click_timer->stop();
    if (s.icon) s.icon->hide();
  }
}

bool QtTray::Available() const {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTray::SetIcon(TrayIconId id, const QIcon& icon) {
  slot(id).icon->setIcon(icon);
}

void QtTray::SetHint(TrayIconId id, const std::string& hint) {
  slot(id).icon->setToolTip(QString::fromStdString(hint));
}

void QtTray::SetMenu(TrayIconId id, QMenu* menu) {
  slot(id).icon->setContextMenu(menu);
}

void QtTray::SetVisible(TrayIconId id, bool visible) {
  slot(id).visible = visible;
  slot(id).icon->setVisible(visible);
}

bool QtTray::IsVisible(TrayIconId id) const { return slot(id).visible; }

void QtTray::OnClick(TrayIconId id, std::function<void()> handler) {
  slot(id).click = std::move(handler);
}

void QtTray::OnDoubleClick(TrayIconId id, std::function<void()> handler) {
  slot(id).double_click = std::move(handler);
}

void QtTray::OnRightClick(TrayIconId id, std::function<void()> handler) {
  slot(id).right_click = std::move(handler);
}

void QtTray::Activate(TrayIconId id, QSystemTrayIcon::ActivationReason reason) {
  Slot& s = slot(id);
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      // The click waits out the double-click time so that a double click
      // does not also count as a click.
      if (s.double_click) {
        s.click_timer->start(QApplication::doubleClickInterval() + 50);
      } else if (s.click) {
        s.click();
      }
      break;
    case QSystemTrayIcon::DoubleClick:
      s.click_timer->stop();
      if (s.double_click) s.double_click();
      break;
    case QSystemTrayIcon::Context:
      if (s.right_click) s.right_click();
      break;
    default:
      break;
  }
}

}  // namespace mirokata
