#include "calendar/date_fields.h"

namespace mirokata {

DateTimeFields FieldsOfDate(const CivilDate& date, int hour, int minute) {
  DateTimeFields f;
  f.year = date.year;
  f.month = date.month;
  f.day = date.day;
  f.weekday = WeekdayOf(DayNumber(date));
  f.hour = hour;
  f.minute = minute;
  return f;
}

}  // namespace mirokata
