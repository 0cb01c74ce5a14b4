// Moving the shown month of the main calendar.
#ifndef MIROKATA_APP_MONTH_NAVIGATION_H_
#define MIROKATA_APP_MONTH_NAVIGATION_H_

#include "calendar/gregorian.h"

namespace mirokata {

// "先月へ" (delta -1) and "翌月へ" (delta +1): the month moves across year
// ends; a day the new month does not have is lowered until the date exists
// (31 January -> 28 or 29 February).
CivilDate MoveMonth(CivilDate date, int delta);

}  // namespace mirokata

#endif  // MIROKATA_APP_MONTH_NAVIGATION_H_
