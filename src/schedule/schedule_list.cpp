#include "schedule/schedule_list.h"

#include <algorithm>
#include <iterator>

#include "base/date_pattern.h"
#include "base/settings_file.h"
#include "calendar/date_fields.h"
#include "calendar/holidays.h"
#include "platform/text_codec.h"
#include "schedule/day_info.h"
#include "schedule/editor_state.h"
#include "schedule/entry_files.h"
#include "schedule/entry_match.h"

namespace mirokata {
namespace {

std::string Tag(int days_from_today) {
  if (days_from_today == 0) return "〔本日〕";
  const int days = days_from_today < 0 ? -days_from_today : days_from_today;
  return "〔" + std::to_string(days) +
         (days_from_today < 0 ? "日前〕" : "日後〕");
}

}  // namespace

int ClampListDays(int days) { return std::clamp(days, 0, kMaxListDays); }

ListDays ReadListDays(SettingsFile& settings) {
  const Settings s = settings.Open();
  ListDays d;
  d.before = ClampListDays(s.ReadInteger(kScheduleListSection, "mae", 2));
  d.after = ClampListDays(s.ReadInteger(kScheduleListSection, "ato", 7));
  return d;
}

ListRange ScheduleListRange(const CivilDate& start, int before, int after) {
  // The ends stop at the calendar's own, so a build never fails halfway.
  const int32_t lowest = DayNumber(kFirstSupportedDate);
  const int32_t highest = DayNumber(kLastSupportedDate);
  // A date the boxes could not hold is mended as they mend it.
  const int32_t s =
      std::clamp(DayNumber(ClampEditorDate(start, kFirstSupportedDate.year)),
                 lowest, highest);
  return {CivilDateOf(std::max(lowest, s - ClampListDays(before))),
          CivilDateOf(std::min(highest, s + ClampListDays(after)))};
}

int Cp932Columns(std::string_view utf8) {
  // One byte per column: what the code page gives is what is counted.
  return static_cast<int>(Utf8ToCp932(utf8).size());
}

std::string ListDayHeader(const CivilDate& day, int days_from_today,
                          const WeekdayNames& ddd) {
  std::string header = FormatDatePattern("yyyy\"年\"m\"月\"d\"日(\"ddd\")\"",
                                         FieldsOfDate(day), ddd);
  const std::string tag = Tag(days_from_today);
  const int blanks =
      kListHeaderColumns - Cp932Columns(header) - Cp932Columns(tag);
  if (blanks > 0) header.append(static_cast<size_t>(blanks), ' ');
  return header + tag;
}

std::string ListCaption(const ListRange& range, const WeekdayNames& ddd) {
  constexpr char kPattern[] = "yyyy/mm/dd (ddd)";
  return FormatDatePattern(kPattern, FieldsOfDate(range.first), ddd) + "～" +
         FormatDatePattern(kPattern, FieldsOfDate(range.last), ddd);
}

ScheduleList BuildScheduleList(SettingsFile& settings, EntryFolder* folder,
                               const CivilDate& start, int before, int after,
                               const CivilDate& today,
                               const WeekdayNames& ddd) {
  ScheduleList list;
  list.range = ScheduleListRange(start, before, after);
  list.caption = ListCaption(list.range, ddd);
  settings.Batch([&](SettingsBatch& b) {
    b.WriteInteger(kScheduleListSection, "mae", ClampListDays(before));
    b.WriteInteger(kScheduleListSection, "ato", ClampListDays(after));
  });
  list.colors = {ReadDayInfoColors(settings, -1),
                 ReadDayInfoColors(settings, 0),
                 ReadDayInfoColors(settings, 1)};
  const bool qreki = settings.ReadBool("Form", "Qreki", false);

  // One look at the folder, one holiday cache and one reading of each entry
  // for every day.
  const FolderPin pin(folder);
  const HolidayTest holidays = CachedHolidayTest(settings);
  EntryTextMemo texts;
  const int32_t today_number = DayNumber(today);
  const int32_t last = DayNumber(list.range.last);
  for (int32_t n = DayNumber(list.range.first); n <= last; ++n) {
    const CivilDate day = CivilDateOf(n);
    const int distance = n - today_number;
    std::vector<std::string>& pane = list.panes[distance < 0    ? kPastPane
                                                : distance == 0 ? kTodayPane
                                                                : kFuturePane];
    pane.push_back(ListDayHeader(day, distance, ddd));
    std::vector<std::string> lines = BuildDayInfo(
        settings, folder, day, qreki, HolidayNamesOf(settings, day),
        FifthWeekOrder::kTildeFirst, ddd, holidays, &texts);
    std::move(lines.begin(), lines.end(), std::back_inserter(pane));
    pane.push_back(kListSeparator);
  }
  return list;
}

std::string ListPaneText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

std::string ListDocumentText(const ScheduleList& list, const LocalTime& now) {
  std::string text = "Title:" + list.caption + "\n";
  text +=
      "Print:" + FormatDatePattern("yyyy/mm/dd \"(\"aaa\")\" hh:nn:ss", now) +
      "\n";
  text += "\n";
  for (const std::vector<std::string>& pane : list.panes) {
    for (const std::string& line : pane) text += line + "\n";
  }
  return text;
}

std::string ListExportBytes(const ScheduleList& list, const LocalTime& now) {
  const std::string text = Utf8ToCp932(ListDocumentText(list, now));
  std::string bytes;
  bytes.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

}  // namespace mirokata
