// The two tray icons through QSystemTrayIcon.
#ifndef MIROKATA_PLATFORM_QT_TRAY_H_
#define MIROKATA_PLATFORM_QT_TRAY_H_

#include <QSystemTrayIcon>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

#include "platform/tray.h"

namespace mirokata {

class QtTray : public Tray {
 public:
  QtTray();
  ~QtTray() override;

  bool Available() const override;
  void SetIcon(TrayIconId id, const QIcon& icon) override;
  void SetHint(TrayIconId id, const std::string& hint) override;
  void SetMenu(TrayIconId id, QMenu* menu) override;
  void SetVisible(TrayIconId id, bool visible) override;
  bool IsVisible(TrayIconId id) const override;
  void OnClick(TrayIconId id, std::function<void()> handler) override;
  void OnDoubleClick(TrayIconId id, std::function<void()> handler) override;
  void OnRightClick(TrayIconId id, std::function<void()> handler) override;

  // What the icon does with one activation from the desktop; public so that
  // tests can drive the click/double-click logic without a tray host.
  void Activate(TrayIconId id, QSystemTrayIcon::ActivationReason reason);
  QSystemTrayIcon* icon(TrayIconId id) { return slot(id).icon.get(); }

 private:
  struct Slot {
    std::unique_ptr<QSystemTrayIcon> icon;
    std::unique_ptr<QTimer> click_timer;
    std::function<void()> click, double_click, right_click;
    bool visible = false;
  };
  void MakeIcons();
  Slot& slot(TrayIconId id) {
    MakeIcons();
    return slots_[static_cast<int>(id)];
  }
  const Slot& slot(TrayIconId id) const { return slots_[static_cast<int>(id)]; }

  std::array<Slot, 2> slots_;
  bool made_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_QT_TRAY_H_
