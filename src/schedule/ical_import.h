// iCalendar (RFC 5545) events into entry files.
//
// An event becomes an entry only when one entry name holds it exactly: a
// single day or minute, every year, every month on a day, every week on
// one weekday, or on weekdays of numbered or last weeks of the month. An
// event with an alarm (VALARM) at a time of day becomes a popup, any other
// a schedule. Everything else is refused with its reason; nothing the
// folder holds is ever replaced.
#ifndef MIROKATA_SCHEDULE_ICAL_IMPORT_H_
#define MIROKATA_SCHEDULE_ICAL_IMPORT_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/entry_files.h"

namespace mirokata {

// The largest iCalendar file read.
inline constexpr size_t kMaxIcalFileBytes = 256u << 20;

// The longest entry text taken over from an event.
inline constexpr size_t kMaxImportedTextBytes = 1 << 20;
// A longer (unfolded) line refuses its event unread: libical's reader
// takes time in the square of a line's length.
inline constexpr size_t kMaxIcalLineBytes = 2 * kMaxImportedTextBytes + 1024;

// One VEVENT as read: an entry name and its plain text, or the reason no
// entry can hold it (name empty then).
struct IcalEvent {
  std::string label;  // SUMMARY, else UID, else "event N"
  std::string name;
  std::string text;
  std::string reason;
};

struct IcalEvents {
  bool readable = false;
  std::string error;  // why the text is no iCalendar at all
  std::vector<IcalEvent> events;
};

// Reads every VEVENT of the text. Times with a zone are turned into
// `time_zone` (an Olson name; empty keeps them as written).
IcalEvents ReadIcalEvents(std::string_view text, const std::string& time_zone);

struct IcalImportResult {
  bool readable = false;
  std::string error;
  std::vector<std::string> imported;  // names written (would be, dry run)
  std::vector<std::string> problems;  // "label: reason", one per skip
};

// Writes an entry file for each event an entry can hold, unless an entry
// of that name exists already; dry_run writes nothing.
IcalImportResult ImportIcal(std::string_view text, EntryFolder& folder,
                            const std::string& time_zone, bool dry_run);

// The properties a resource written by this program carries
// (ExportIcalResources).
inline constexpr char kIcalNameProperty[] = "X-MIROKATA-NAME";
inline constexpr char kIcalContentProperty[] = "X-MIROKATA-CONTENT";
inline constexpr char kIcalTextProperty[] = "X-MIROKATA-TEXT";

// A digest of an event's summary and description, line ends aside.
std::string IcalTextDigest(std::string_view summary,
                           std::string_view description);

// A resource with more RDATE and EXDATE lines is no entry, unread.
inline constexpr size_t kMaxResourceDates = 5000;

// One resource of a calendar server as an entry.
struct IcalResourceEntry {
  std::string label;
  std::string uid;
  std::string name;     // empty: no entry holds the resource exactly
  std::string reason;   // why, then
  std::string content;  // the entry file's bytes
  std::optional<PopupOptions> options;  // a popup's, when the event has them
};

// A resource this program wrote gives back the entry exactly; when another
// client has edited its summary or description, the name is kept and the
// text becomes the edited one. A resource of another client becomes an
// entry as ImportIcal would make it. A resource of several events (a
// series with changed occurrences) or none is no entry.
IcalResourceEntry ReadIcalResource(std::string_view text,
                                   const std::string& time_zone);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_ICAL_IMPORT_H_
