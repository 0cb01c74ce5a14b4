// Remembering where a window was and keeping it on the screen.
#ifndef MIROKATA_BASE_WINDOW_PLACEMENT_H_
#define MIROKATA_BASE_WINDOW_PLACEMENT_H_

#include <string_view>
#include <vector>

#include "platform/screen.h"

namespace mirokata {

class Settings;
class SettingsBatch;

struct Point {
  int left = 0;
  int top = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
};

// Pulls a window of the given size back onto the screen: a window past the
// right or bottom edge moves in until it touches that edge, and nothing ends
// up left of or above the screen's origin (so a window larger than the
// screen keeps its top-left corner, and with it its caption, visible).
Point ClampToScreen(Point position, Size window, ScreenRect screen);

// The screen that holds the point, else the one nearest to it (a monitor
// unplugged since, a gap between monitors of different sizes); an empty
// rectangle when there is no screen.
ScreenRect ScreenNearest(Point point, const std::vector<ScreenRect>& screens);

// ClampToScreen on the screen under the window's centre at that position,
// so that a window kept on a second monitor stays on it.
Point ClampToScreens(Point position, Size window,
                     const std::vector<ScreenRect>& screens);

// Reads `top` and `left` from the window's own section and clamps them.
Point ReadPlacement(const Settings& settings, std::string_view section,
                    Point defaults, Size window,
                    const std::vector<ScreenRect>& screens);

// Writes `top` and `left` back to the window's section, in one batch.
void WritePlacement(Settings& settings, std::string_view section,
                    Point position);
// The same inside a batch that holds the window's other keys.
void WritePlacement(SettingsBatch& batch, std::string_view section,
                    Point position);

}  // namespace mirokata

#endif  // MIROKATA_BASE_WINDOW_PLACEMENT_H_
