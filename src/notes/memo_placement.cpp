#include "notes/memo_placement.h"

#include <algorithm>

#include "base/window_placement.h"

namespace mirokata {
namespace {

std::optional<int> Read(const SettingsReader& settings,
                        std::string_view section, std::string_view key) {
  if (!settings.HasKey(section, key)) return std::nullopt;
  return settings.ReadInteger(section, key, 0);
}

// Stored values are untrusted: far beyond any desktop they are pulled in
// before any sum can overflow.
constexpr int kFarOff = 1 << 20;

int Bound(int value) { return std::clamp(value, -kFarOff, kFarOff); }

std::optional<int> Extent(std::optional<int> value) {
  if (value && *value < 1) return std::nullopt;
  if (value) return std::min(*value, kFarOff);
  return value;
}

}  // namespace

StoredMemoFrame ReadOwnMemoFrame(const SettingsReader& settings,
                                 std::string_view memo_name) {
  return {Read(settings, memo_name, "Left"), Read(settings, memo_name, "Top"),
          Read(settings, memo_name, "Width"),
          Read(settings, memo_name, "Height")};
}

StoredMemoFrame ReadDefaultMemoFrame(const SettingsReader& settings) {
  return {Read(settings, "Memo", "left"), Read(settings, "Memo", "top"),
          Read(settings, "Memo", "Width"), Read(settings, "Memo", "Height")};
}

MemoFrame KeepMemoOnScreen(const MemoFrame& frame, int outer_width,
                           int outer_height, const Screen& screen) {
  const int left = Bound(frame.left);
  const int top = Bound(frame.top);
  const ScreenRect area = screen.AvailableGeometryAt(left, top);
  const Point at = ClampToScreen(
      {left, top}, {Bound(outer_width), Bound(outer_height)}, area);
  return {at.left, at.top, frame.width, frame.height};
}

MemoFrame PlaceMemo(const StoredMemoFrame& own, const StoredMemoFrame& defaults,
                    const MemoFrame& main, const Screen& screen) {
  MemoFrame frame;
  // Integer division rounds toward zero, as the stored places were made.
  frame.top = own.top.value_or(
      defaults.top.value_or(Bound(main.top) / 2 + Bound(main.height)));
  frame.left = own.left.value_or(
      defaults.left.value_or(Bound(main.left) / 2 + Bound(main.width)));
  frame.width = Extent(own.width).value_or(
      Extent(defaults.width).value_or(std::max(main.width, 1)));
  frame.height =
      Extent(own.height)
          .value_or(Extent(defaults.height).value_or(std::max(main.height, 1)));
  return KeepMemoOnScreen(frame, frame.width, frame.height, screen);
}

MemoFrame PlacePetitMemo(std::optional<int> p_left, std::optional<int> p_top,
                         int current_left, int current_top,
                         const Screen& screen) {
  const MemoFrame frame{p_left.value_or(current_left),
                        p_top.value_or(current_top), kPetitMemoSide,
                        kPetitMemoSide};
  return KeepMemoOnScreen(frame, kPetitMemoSide, kPetitMemoSide, screen);
}

}  // namespace mirokata
