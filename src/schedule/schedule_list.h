// The schedule list ("スケジュール一覧"): day blocks over a range of days
// around a start date, each with a header (date and distance from today)
// and the day's lines, split into the past, today and future panes; and
// the text its export and its printout hold. No widgets.
#ifndef MIROKATA_SCHEDULE_SCHEDULE_LIST_H_
#define MIROKATA_SCHEDULE_SCHEDULE_LIST_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/weekday_names.h"
#include "calendar/gregorian.h"
#include "platform/clock.h"
#include "schedule/todo_colors.h"

namespace mirokata {

class EntryFolder;
class SettingsFile;

inline constexpr char kScheduleListSection[] = "Sch_List";
inline constexpr int kMaxListDays = 99;
inline constexpr int kListHeaderColumns = 32;
inline constexpr char kListSeparator[] = "━━━━━━━━━━━━━……‥";

// Days before and after, as the boxes allow them.
int ClampListDays(int days);

// Stored `mae` and `ato` (defaults 2 and 7), clamped.
struct ListDays {
  int before = 2;
  int after = 7;
};
ListDays ReadListDays(SettingsFile& settings);

// The days a build covers: start minus `before` to start plus `after`
// (both clamped), never past the last day the calendar knows.
struct ListRange {
  CivilDate first;
  CivilDate last;
  int days() const { return DayNumber(last) - DayNumber(first) + 1; }
};
ListRange ScheduleListRange(const CivilDate& start, int before, int after);

// Columns of a text as code page 932 lays it out: a double-byte character
// takes two, ASCII and half-width katakana one.
int Cp932Columns(std::string_view utf8);

// "2024年1月5日(金)" padded with blanks so that it and the tag "〔本日〕",
// "〔3日前〕" or "〔3日後〕" fill 32 columns (a longer header is not cut).
std::string ListDayHeader(const CivilDate& day, int days_from_today,
                          const WeekdayNames& ddd);

// "yyyy/mm/dd (ddd)～yyyy/mm/dd (ddd)": the window's caption.
std::string ListCaption(const ListRange& range, const WeekdayNames& ddd);

enum ListPane { kPastPane = 0, kTodayPane = 1, kFuturePane = 2 };

struct ScheduleList {
  ListRange range;
  std::string caption;
  // The lines of each pane, day after day; an item may hold line breaks.
  std::array<std::vector<std::string>, 3> panes;
  std::array<DayInfoColors, 3> colors;
};

// Builds the list and stores the day counts (`mae`, `ato`) in one batch.
// folder may be null (no data folder): headers, calendar lines and
// separators only.
ScheduleList BuildScheduleList(SettingsFile& settings, EntryFolder* folder,
                               const CivilDate& start, int before, int after,
                               const CivilDate& today, const WeekdayNames& ddd);

// A pane's lines as one text, "\n" between lines.
std::string ListPaneText(const std::vector<std::string>& lines);

// What the export and the printout hold, lines ending in "\n": "Title:"
// caption, "Print:" time, an empty line, then the three panes.
std::string ListDocumentText(const ScheduleList& list, const LocalTime& now);
// The same as the file holds it: code page 932, CR LF.
std::string ListExportBytes(const ScheduleList& list, const LocalTime& now);

}  // namespace mirokata

#endif  // MIROKATA_SCHEDULE_SCHEDULE_LIST_H_
