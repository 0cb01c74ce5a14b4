// A date of the grid's calendar as the fields a date pattern formats.
#ifndef MIROKATA_CALENDAR_DATE_FIELDS_H_
#define MIROKATA_CALENDAR_DATE_FIELDS_H_

#include "base/date_pattern.h"
#include "calendar/gregorian.h"

namespace mirokata {

// Year, month, day and weekday of a valid date, with the given time.
DateTimeFields FieldsOfDate(const CivilDate& date, int hour = 0,
                            int minute = 0);

}  // namespace mirokata

#endif  // MIROKATA_CALENDAR_DATE_FIELDS_H_
