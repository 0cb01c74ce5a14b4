#include "app/window_mode.h"

#include <cstdlib>

#include "base/settings_file.h"

namespace mirokata {
namespace {
constexpr char kForm[] = "Form";
}  // namespace

WindowMode ModeForHeight(int height) {
  const int to_mini = std::abs(height - kMiniModeHeight);
  const int to_toolbar = std::abs(height - kToolbarModeHeight);
  const int to_calendar = std::abs(height - kCalendarModeHeight);
  if (to_mini < to_toolbar) return WindowMode::kMini;
  if (to_calendar < to_toolbar) return WindowMode::kCalendar;
  return WindowMode::kToolbar;
}

int HeightOf(WindowMode mode) {
  switch (mode) {
    case WindowMode::kCalendar:
      return kCalendarModeHeight;
    case WindowMode::kMini:
      return kMiniModeHeight;
    case WindowMode::kToolbar:
      break;
  }
  return kToolbarModeHeight;
}

PositionKeys PositionKeysOf(WindowMode mode) {
  switch (mode) {
    case WindowMode::kCalendar:
      return {"top_cal", "left_cal"};
    case WindowMode::kMini:
      return {"top_mini", "left_mini"};
    case WindowMode::kToolbar:
      break;
  }
  return {"top", "left"};
}

Layout LayoutOf(WindowMode mode) {
  Layout l;
  l.mode = mode;
  l.toolbar_visible = mode != WindowMode::kMini;
  l.strip_top = l.toolbar_visible ? kToolBarHeight + 1 : 1;
  l.height = HeightOf(mode);
  return l;
}

WindowModeModel::WindowModeModel(SettingsFile& settings,
                                 std::vector<ScreenRect> screens)
    : settings_(settings), screens_(std::move(screens)) {}

Point WindowModeModel::Clamped(Point position, const Layout& layout) const {
  return ClampToScreens(position, {kMainWindowWidth, layout.height}, screens_);
}

Point WindowModeModel::SavedPosition(WindowMode mode, Point fallback) {
  PositionKeys keys = PositionKeysOf(mode);
  Settings s = settings_.Open();
  return {s.ReadInteger(kForm, keys.left, fallback.left),
          s.ReadInteger(kForm, keys.top, fallback.top)};
}

Transition WindowModeModel::Start() {
  mode_ = ModeForHeight(settings_.ReadInteger(kForm, "Height", 72));
  temporarily_expanded_ = false;
  Transition t;
  t.layout = LayoutOf(mode_);
  const ScreenRect primary = screens_.empty() ? ScreenRect{} : screens_[0];
  Point fallback{primary.x + primary.width - kMainWindowWidth, primary.y};
  t.position = Clamped(SavedPosition(mode_, fallback), t.layout);
  return t;
}

Transition WindowModeModel::ToggleMode(Point current) {
  Settings s = settings_.Open();
  const bool mode_save = s.ReadBool(kForm, "ModeSave", false);
  WindowMode next = WindowMode::kCalendar;
  if (mode_ == WindowMode::kCalendar) {
    next = s.ReadBool(kForm, "minitokei", false) ? WindowMode::kMini
                                                 : WindowMode::kToolbar;
  }
  Transition t;
  t.hide_first = mode_save;
  t.layout = LayoutOf(next);
  Point target = mode_save ? SavedPosition(next, current) : current;
  t.position = Clamped(target, t.layout);
  mode_ = next;
  // A mode the user picked is no longer a temporary expansion.
  temporarily_expanded_ = false;
  s.WriteInteger(kForm, "Height", t.layout.height);
  return t;
}

bool WindowModeModel::HotKey(Point current, Transition* out) {
  if (mode_ != WindowMode::kMini) return false;
  Transition t;
  if (settings_.ReadBool(kForm, "ModeSave", false)) {
    t.collapse_first = true;
    current = SavedPosition(WindowMode::kToolbar, current);
  }
  t.layout = LayoutOf(WindowMode::kToolbar);
  t.position = Clamped(current, t.layout);
  mode_ = WindowMode::kToolbar;
  temporarily_expanded_ = true;
  *out = t;
  return true;
}

bool WindowModeModel::Deactivate(Point current, Transition* out) {
  if (!temporarily_expanded_) return false;
  Transition t;
  if (settings_.ReadBool(kForm, "ModeSave", false)) {
    t.hide_first = true;
    current = SavedPosition(WindowMode::kMini, current);
  }
  t.layout = LayoutOf(WindowMode::kMini);
  t.position = Clamped(current, t.layout);
  mode_ = WindowMode::kMini;
  temporarily_expanded_ = false;
  *out = t;
  return true;
}

void WindowModeModel::RememberPosition(Point current) {
  PositionKeys keys = PositionKeysOf(mode_);
  settings_.Batch([&](SettingsBatch& b) {
    b.WriteInteger(kForm, keys.top, current.top);
    b.WriteInteger(kForm, keys.left, current.left);
  });
}

}  // namespace mirokata
