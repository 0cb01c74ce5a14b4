// Entries as iCalendar (RFC 5545) events, for other calendars to read.
//
// libical builds, escapes and folds the text; this file only maps entry
// names onto events. Each entry is one VEVENT whose UID is made from its
// name and the data folder, so exporting again gives the same UIDs.
#ifndef MIROKATA_SCHEDULE_ICAL_EXPORT_H_
#define MIROKATA_SCHEDULE_ICAL_EXPORT_H_

#include <map>
#include <string>
#include <vector>

#include "calendar/gregorian.h"
#include "schedule/entry_files.h"
#include "schedule/entry_match.h"

namespace mirokata {

class SettingsFile;

struct IcalExportOptions {
  // Moved entries (holiday shift codes), which no RRULE can say, are
  // listed as RDATEs on the days from..to (both included).
  CivilDate from;
  CivilDate to;
  // Minutes every popup fires ahead of its time (Calendar/before).
  int before_minutes = 0;
  // Olson name of the zone popup times are in ("Asia/Tokyo"); an unknown
  // or empty name gives floating local times.
  std::string time_zone;
  // Names the data folder in the UIDs (its absolute path, as a rule).
  std::string folder_key;
  // DTSTAMP, seconds since 1970 in UTC.
  long long now_utc = 0;
};

// The options the program exports a data folder with: `before` from the
// settings, the system's time zone, the folder's absolute path in the UIDs,
// and the days a year back to two years ahead of `today` unless given.
IcalExportOptions IcalExportOptionsFor(SettingsFile& settings,
                                       const std::string& data_folder,
                                       const CivilDate& today,
                                       long long now_utc);
// The Olson name of the system's time zone ("Asia/Tokyo").
std::string SystemTimeZoneName();

// The UID of an entry of the folder.
std::string IcalUid(const std::string& name, const std::string& folder_key);

// The whole VCALENDAR, UTF-8 with CR LF line ends. Entries that have no
// date (elapsed-time popups, names of no known form) and moved entries
// without a day in the range are left out; `left_out` gets "NAME: reason"
// for each.
std::string ExportIcal(EntryFolder& folder, const HolidayTest& is_holiday,
                       const IcalExportOptions& options,
                       std::vector<std::string>* left_out = nullptr);

// One entry as a resource of a calendar server: a VCALENDAR of its own
// holding its one VEVENT (and the zone a popup's time needs). The event also
// carries what another copy of this program needs to restore the entry
// byte for byte: its name, its file's bytes, a digest of the summary and
// description (so an edit made by another client is noticed) and, for
// popups, their options from `settings` (when given).
struct IcalResource {
  std::string name;
  std::string uid;
  std::string text;
};

// The resources of the named entries (name -> UID; an empty UID takes
// IcalUid's). Entries that cannot be events are left out as ExportIcal
// leaves them out, and so is a name the folder lacks.
std::vector<IcalResource> ExportIcalResources(
    EntryFolder& folder, SettingsFile* settings, const HolidayTest& is_holiday,
    const IcalExportOptions& options,
    const std::map<std::string, std::string>& names,
    std::vector<std::string>* left_out = nullptr);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_ICAL_EXPORT_H_
