// What the day pop-view shows in its caption and where it opens.
#ifndef MIROKATA_MAINWIN_DAY_POP_VIEW_LAYOUT_H_
#define MIROKATA_MAINWIN_DAY_POP_VIEW_LAYOUT_H_

#include <string>

#include "calendar/gregorian.h"
#include "platform/screen.h"

namespace mirokata {

// "yyyy/mm/dd(aaa)", then "　N日前" for a day N days before today or
// "　N日後" for one N days after; nothing more for today.
std::string PopViewCaption(const CivilDate& date, int days_from_today);

struct PopViewPoint {
  int x = 0;
  int y = 0;
  bool operator==(const PopViewPoint&) const = default;
};

// Top-left corner 20 pixels right of and below the pointer, pulled back
// so that the window ends at the screen's right or bottom edge rather than
// beyond it, and never starting left of or above the screen.
//
// The pointer is on the main window (`avoid`, its frame; empty: none), and
// a pop-view over it would hide the days the user clicks next. One that
// would cover it moves beside it instead: right of, below, left of or
// above it, whichever of those that fit on the screen lies nearest; on a
// screen too small for any, the one that covers least.
PopViewPoint PopViewPosition(int pointer_x, int pointer_y, int width,
                             int height, const ScreenRect& screen,
                             const ScreenRect& avoid = {});

}  // namespace mirokata

#endif  // MIROKATA_MAINWIN_DAY_POP_VIEW_LAYOUT_H_
