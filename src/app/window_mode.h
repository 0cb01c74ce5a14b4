// The main window's three layouts and the rules that move between them.
// Plain logic: the window asks what to do and carries it out.
#ifndef MIROKATA_APP_WINDOW_MODE_H_
#define MIROKATA_APP_WINDOW_MODE_H_

#include <utility>
#include <vector>

#include "base/window_placement.h"

namespace mirokata {

class SettingsFile;

enum class WindowMode { kCalendar, kToolbar, kMini };

inline constexpr int kMainWindowWidth = 240;
inline constexpr int kToolBarHeight = 53;
inline constexpr int kStripHeight = 16;
inline constexpr int kCalendarAreaTop = 72;
inline constexpr int kCalendarModeHeight = 190;
inline constexpr int kToolbarModeHeight = kCalendarAreaTop;
inline constexpr int kMiniModeHeight = kStripHeight + 3;

// The mode a height stands for. Heights other than the three of the modes
// (a hand-edited or damaged file) pick the nearest one.
WindowMode ModeForHeight(int height);
int HeightOf(WindowMode mode);

struct PositionKeys {
  const char* top;
  const char* left;
};
// Keys of section `Form` that hold the position of each mode.
PositionKeys PositionKeysOf(WindowMode mode);

// What the window looks like in a mode.
struct Layout {
  WindowMode mode = WindowMode::kToolbar;
  bool toolbar_visible = true;
  int strip_top = kToolBarHeight + 1;
  int height = kToolbarModeHeight;
};
Layout LayoutOf(WindowMode mode);

// One change of the window, in the order the window carries it out:
// hide (when hide_first), shrink to height 0 at its place (when
// collapse_first), take the layout, move to position, show again.
struct Transition {
  bool hide_first = false;
  bool collapse_first = false;
  Layout layout;
  Point position;
};

// The mode state of the main window, reading its switches (`ModeSave`,
// `minitokei`) and positions from section `Form` at each step. Positions
// are kept on the screen they are on (ClampToScreens); the default one is
// the top-right corner of the first screen, the primary one.
class WindowModeModel {
 public:
  WindowModeModel(SettingsFile& settings, std::vector<ScreenRect> screens);

  void set_screens(std::vector<ScreenRect> screens) {
    screens_ = std::move(screens);
  }
  WindowMode mode() const { return mode_; }
  bool temporarily_expanded() const { return temporarily_expanded_; }

  // Start-up: mode from `Height`, position from that mode's keys (top 0,
  // left at the right edge by default), clamped to the screen.
  Transition Start();

  // Double click on the drag bar. Writes `Height`.
  Transition ToggleMode(Point current);

  // The global hot key: mini mode expands to toolbar mode until the
  // program is deactivated. Nothing to change in the other modes.
  bool HotKey(Point current, Transition* out);

  // The program lost the focus: a temporary expansion falls back.
  bool Deactivate(Point current, Transition* out);

  // A press on the drag bar: remember where the current mode is.
  void RememberPosition(Point current);

 private:
  Point SavedPosition(WindowMode mode, Point fallback);

  Point Clamped(Point position, const Layout& layout) const;

  SettingsFile& settings_;
  std::vector<ScreenRect> screens_;
  WindowMode mode_ = WindowMode::kToolbar;
  bool temporarily_expanded_ = false;
};

}  // namespace mirokata

#endif  // MIROKATA_APP_WINDOW_MODE_H_
