#include "mainwin/day_pop_view_layout.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "base/weekday_names.h"
#include "mainwin/month_grid.h"

namespace mirokata {

std::string PopViewCaption(const CivilDate& date, int days_from_today) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d(", date.year, date.month,
                date.day);
  std::string caption = buf;
  if (IsValidDate(date.year, date.month, date.day)) {
    caption += JapaneseShortWeekdayNames()[WeekdayOf(DayNumber(date)) - 1];
  }
  caption += ")";
  if (days_from_today < 0) {
    caption += "　" + std::to_string(-static_cast<long long>(days_from_today)) +
               "日前";
  } else if (days_from_today > 0) {
    caption += "　" + std::to_string(days_from_today) + "日後";
  }
  return caption;
}

namespace {

// The top-left corner that keeps a window of this size on the screen.
PopViewPoint OnScreen(int x, int y, int width, int height,
                      const ScreenRect& screen) {
  const int right = screen.x + screen.width;
  const int bottom = screen.y + screen.height;
  if (x + width > right) x = right - width;
  if (y + height > bottom) y = bottom - height;
  return {std::max(x, screen.x), std::max(y, screen.y)};
}

long long Overlap(const PopViewPoint& at, int width, int height,
                  const ScreenRect& r) {
  const long long w =
      std::min(at.x + width, r.x + r.width) - std::max(at.x, r.x);
  const long long h =
      std::min(at.y + height, r.y + r.height) - std::max(at.y, r.y);
  return w > 0 && h > 0 ? w * h : 0;
}

long long Distance(const PopViewPoint& a, const PopViewPoint& b) {
  const long long dx = a.x - b.x;
  const long long dy = a.y - b.y;
  return dx * dx + dy * dy;
}

}  // namespace

PopViewPoint PopViewPosition(int pointer_x, int pointer_y, int width,
                             int height, const ScreenRect& screen,
                             const ScreenRect& avoid) {
  const PopViewPoint first =
      OnScreen(pointer_x + 20, pointer_y + 20, width, height, screen);
  if (avoid.width <= 0 || avoid.height <= 0 ||
      Overlap(first, width, height, avoid) == 0) {
    return first;
  }
  const PopViewPoint sides[] = {
      OnScreen(avoid.x + avoid.width, first.y, width, height, screen),
      OnScreen(first.x, avoid.y + avoid.height, width, height, screen),
      OnScreen(avoid.x - width, first.y, width, height, screen),
      OnScreen(first.x, avoid.y - height, width, height, screen),
  };
  const PopViewPoint* best = nullptr;
  for (const PopViewPoint& side : sides) {
    if (best == nullptr) {
      best = &side;
      continue;
    }
    const long long covers = Overlap(side, width, height, avoid);
    const long long best_covers = Overlap(*best, width, height, avoid);
    if (covers < best_covers ||
        (covers == best_covers &&
         Distance(side, first) < Distance(*best, first))) {
      best = &side;
    }
  }
  return *best;
}

}  // namespace mirokata
