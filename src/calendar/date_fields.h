// A date of the grid's calendar as the fields a date pattern formats, and
// as the "yyyy/mm/dd" text the settings files keep.
#ifndef MIROKATA_CALENDAR_DATE_FIELDS_H_
#define MIROKATA_CALENDAR_DATE_FIELDS_H_

#include <optional>
#include <string>
#include <string_view>

#include "base/date_pattern.h"
#include "calendar/gregorian.h"

namespace mirokata {

// Year, month, day and weekday of a valid date, with the given time.
DateTimeFields FieldsOfDate(const CivilDate& date, int hour = 0,
                            int minute = 0);

// "2024/05/01".
std::string SlashDateText(const CivilDate& date);
// "2024/05/01", also "2024/5/1". Nothing for text that is no existing date
// of the years 1 to 9999.
std::optional<CivilDate> ParseSlashDate(std::string_view text);

}  // namespace mirokata

#endif  // MIROKATA_CALENDAR_DATE_FIELDS_H_
