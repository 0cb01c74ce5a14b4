// The schedule manager's lines: every file of the data folder described in
// words behind an 8-character label that groups the sorted list
// ("Popup : ", "Popw1 : " ... "Popw7 : ", "To_do : ", "Week1 : " ...
// "Week7 : ", "Win98 : "), and the three lists the manager shows.
//
// A line keeps the file's name as it is on disk: the manager deletes and
// opens entries by that name, never by one rebuilt from the text. A file
// that is no entry is described from its characters like the entries of
// its class; fields past the end of a short name are simply empty.
#ifndef MIROKATA_SCHEDULE_MANAGER_LINES_H_
#define MIROKATA_SCHEDULE_MANAGER_LINES_H_

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/gregorian.h"
#include "platform/clock.h"
#include "schedule/entry_name.h"

namespace mirokata {

class EntryFolder;

// Width of the label in front of every description.
inline constexpr size_t kManagerLabelSize = 8;

struct ManagerLine {
  std::string text;  // label + description, valid UTF-8
  std::string name;  // the file's name on disk
  EntryClass entry_class = EntryClass::kPopup;
  // One-day schedules and popups whose name is a valid entry: the date
  // (two-digit year read by CenturyRule) and, for a popup, the time.
  std::optional<CivilDate> date;
  int hhnn = -1;  // -1 for a schedule and for every other kind

  bool one_day() const { return date.has_value(); }
  bool is_popup() const { return IsPopupClass(entry_class); }
  // The text without its label.
  std::string_view description() const {
    return std::string_view(text).substr(
        std::min(text.size(), kManagerLabelSize));
  }
};

// The line of any file name; current_year reads two-digit years. A
// birthday name gives an empty text (no list shows birthdays).
ManagerLine ManagerLineOf(std::string_view name, int current_year);

enum class ManagerMode { kAll, kPast, kChosenDay };

// The lines of a mode from the folder's file names: birthdays ("BORN" in
// any case) are left out; past: one-day schedules dated before today and
// one-day popups whose date and time lie before now; chosen day: the
// one-day entries of that date. Ascending by text, equal texts by name.
std::vector<ManagerLine> BuildManagerLines(
    const std::vector<std::string>& names, ManagerMode mode,
    const LocalTime& now, const CivilDate& chosen_day);
// The same over every file of the data folder (folders are never listed).
std::vector<ManagerLine> BuildManagerLines(EntryFolder& folder,
                                           ManagerMode mode,
                                           const LocalTime& now,
                                           const CivilDate& chosen_day);

// The preview of an entry: its plain text, or nothing for a file that is
// gone, unreadable or larger than kManagerPreviewLimit bytes.
inline constexpr size_t kManagerPreviewLimit = 16 * 1024 * 1024;
std::string ManagerPreviewText(EntryFolder& folder, std::string_view name);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_MANAGER_LINES_H_
