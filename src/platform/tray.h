// The program's two icons in the desktop's notification area.
#ifndef MIROKATA_PLATFORM_TRAY_H_
#define MIROKATA_PLATFORM_TRAY_H_

#include <functional>
#include <string>

class QIcon;
class QMenu;

namespace mirokata {

enum class TrayIconId { kCalendar, kMemo };

// Both icons start hidden. Everything works (and does nothing visible) when
// the desktop has no notification area.
class Tray {
 public:
  virtual ~Tray() = default;
  // True when a notification area exists right now.
  virtual bool Available() const = 0;
  virtual void SetIcon(TrayIconId id, const QIcon& icon) = 0;
  // Tooltip text, UTF-8.
  virtual void SetHint(TrayIconId id, const std::string& hint) = 0;
  // Menu shown on the right button (not owned; null: none). Fill it in its
  // aboutToShow signal when its items depend on the moment.
  virtual void SetMenu(TrayIconId id, QMenu* menu) = 0;
  virtual void SetVisible(TrayIconId id, bool visible) = 0;
  virtual bool IsVisible(TrayIconId id) const = 0;
  // Single left click. On an icon that also has a double-click handler it
  // is reported only once the double-click time has passed without a second
  // click, so a double click never counts as a click too.
  virtual void OnClick(TrayIconId id, std::function<void()> handler) = 0;
  virtual void OnDoubleClick(TrayIconId id, std::function<void()> handler) = 0;
  // Right button, for icons without a menu (and before a menu opens).
  virtual void OnRightClick(TrayIconId id, std::function<void()> handler) = 0;
};

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_TRAY_H_
