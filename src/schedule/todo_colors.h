// The colours of a day's entries by the sign of its distance to today
// (section To_do): the day panel's DayInfo, the schedule list's panes and
// the schedule manager's preview all go by them.
#ifndef MIROKATA_SCHEDULE_TODO_COLORS_H_
#define MIROKATA_SCHEDULE_TODO_COLORS_H_

#include "platform/color/color_value.h"

namespace mirokata {

class SettingsFile;

struct DayInfoColors {
  ColorValue text = kClNavy;
  ColorValue back = kClMenu;
};

// Past: white on the active caption; today: white on the button shadow;
// future: navy on the menu colour, unless the settings say otherwise.
DayInfoColors ReadDayInfoColors(SettingsFile& settings, int days_from_today);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_TODO_COLORS_H_
