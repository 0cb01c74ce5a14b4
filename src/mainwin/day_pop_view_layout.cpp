#include "mainwin/day_pop_view_layout.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "mainwin/month_grid.h"

namespace mirokata {

std::string PopViewCaption(const CivilDate& date, int days_from_today) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d(", date.year, date.month,
                date.day);
  std::string caption = buf;
  if (IsValidDate(date.year, date.month, date.day)) {
    caption += JapaneseWeekdayName(WeekdayOf(DayNumber(date)));
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

PopViewPoint PopViewPosition(int pointer_x, int pointer_y, int width,
                             int height, const ScreenRect& screen) {
  int x = pointer_x + 20;
  int y = pointer_y + 20;
  const int right = screen.x + screen.width;
  const int bottom = screen.y + screen.height;
  if (x + width > right) x = right - width;
  if (y + height > bottom) y = bottom - height;
  x = std::max(x, screen.x);
  y = std::max(y, screen.y);
  return {x, y};
}

}  // namespace mirokata
