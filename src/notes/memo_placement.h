// Where a memo window goes: its own stored frame, else the memo defaults,
// else a place derived from the main window; then kept on the screen that
// holds it, so a memo on a second monitor stays there and one whose monitor
// is gone comes back onto the primary screen.
#ifndef MIROKATA_NOTES_MEMO_PLACEMENT_H_
#define MIROKATA_NOTES_MEMO_PLACEMENT_H_

#include <optional>
#include <string_view>

#include "base/settings_file.h"
#include "platform/screen.h"

namespace mirokata {

inline constexpr int kPetitMemoSide = 16;

// A window's frame position (its top-left, title bar included) and its
// inner size: what is stored as `Left`/`Top`/`Width`/`Height`.
struct MemoFrame {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const MemoFrame&) const = default;
};

struct StoredMemoFrame {
  std::optional<int> left, top, width, height;
};

// The stored values of the memo's own section, and of the `Memo` section.
StoredMemoFrame ReadOwnMemoFrame(const SettingsReader& settings,
                                 std::string_view memo_name);
StoredMemoFrame ReadDefaultMemoFrame(const SettingsReader& settings);

// Each value from `own`, else `defaults`, else from the main window (top:
// its top / 2 + its height; left: its left / 2 + its width; its width and
// height); a size below 1 counts as missing. Then clamped onto the screen
// at that position.
MemoFrame PlaceMemo(const StoredMemoFrame& own, const StoredMemoFrame& defaults,
                    const MemoFrame& main, const Screen& screen);

// The petit square at `P_Left`/`P_Top`, else where the window is now,
// clamped like a full memo.
MemoFrame PlacePetitMemo(std::optional<int> p_left, std::optional<int> p_top,
                         int current_left, int current_top,
                         const Screen& screen);

// Keeps a frame (outer size `outer_width` x `outer_height`) on the screen
// that holds its top-left corner, or on the primary one when none does.
MemoFrame KeepMemoOnScreen(const MemoFrame& frame, int outer_width,
                           int outer_height, const Screen& screen);

}  // namespace mirokata

#endif  // MIROKATA_NOTES_MEMO_PLACEMENT_H_
