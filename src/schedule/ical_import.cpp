#include "schedule/ical_import.h"

#include <libical/ical.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <memory>
#include <vector>

#include "calendar/gregorian.h"
#include "richtext/rtf_writer.h"
#include "schedule/entry_name.h"

namespace mirokata {

namespace {

struct ComponentFree {
  void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

// Values of one BY list, up to its end mark.
std::vector<int> ByList(const short* list, int size) {
  std::vector<int> values;
  for (int i = 0; i < size && list[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
    values.push_back(list[i]);
  }
  return values;
}

std::string PropertyText(icalcomponent* event, icalproperty_kind kind) {
  icalproperty* p = icalcomponent_get_first_property(event, kind);
  if (p == nullptr) return "";
  const char* text = icalproperty_get_value_as_string(p);
  return text != nullptr ? text : "";
}

std::string TrimEnd(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r' ||
                        s.back() == '\n' || s.back() == '\t')) {
    s.pop_back();
  }
  return s;
}

// The entry's text: the summary, then the description unless it already
// starts with the summary (as the program's own export writes it).
std::string EventText(icalcomponent* event) {
  const char* summary = icalcomponent_get_summary(event);
  const char* description = icalcomponent_get_description(event);
  std::string s = TrimEnd(summary != nullptr ? summary : "");
  std::string d = TrimEnd(description != nullptr ? description : "");
  if (d.empty()) return s;
  if (s.empty() || d.compare(0, s.size(), s) == 0) return d;
  return s + "\r\n" + d;
}

// Stands in for a line too long to read.
constexpr char kOversizeLine[] = "X-MIROKATA-OVERSIZE:1";

// The text with each unfolded line longer than kMaxIcalLineBytes replaced
// by kOversizeLine, so that libical never reads it.
std::string WithoutOversizeLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  while (start < text.size()) {
    // One unfolded line: continuation lines start with a blank or a tab.
    size_t end = start;
    for (;;) {
      end = text.find('\n', end);
      if (end == std::string_view::npos) {
        end = text.size();
        break;
      }
      ++end;
      if (end >= text.size() || (text[end] != ' ' && text[end] != '\t')) {
        break;
      }
    }
    if (end - start > kMaxIcalLineBytes) {
      out.append(kOversizeLine).append("\r\n");
    } else {
      out.append(text.substr(start, end - start));
    }
    start = end;
  }
  return out;
}

bool HasOversizeLine(icalcomponent* event) {
  for (icalproperty* p =
           icalcomponent_get_first_property(event, ICAL_X_PROPERTY);
       p != nullptr;
       p = icalcomponent_get_next_property(event, ICAL_X_PROPERTY)) {
    const char* name = icalproperty_get_x_name(p);
    if (name != nullptr && std::string_view(name) == "X-MIROKATA-OVERSIZE") {
      return true;
    }
  }
  return false;
}

// Fills the name of the event or says why no name can hold it.
void MapEvent(icalcomponent* event, icaltimezone* zone, IcalEvent* out) {
  if (HasOversizeLine(event)) {
    out->reason = "its text is longer than 1 MiB";
    return;
  }
  if (icalproperty* error =
          icalcomponent_get_first_property(event, ICAL_XLICERROR_PROPERTY)) {
    const char* text = icalproperty_get_xlicerror(error);
    out->reason = std::string("unreadable: ") + (text ? text : "");
    return;
  }
  if (icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY)) {
    out->reason = "changes one day of a series (RECURRENCE-ID)";
    return;
  }
  if (icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY) ||
      icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY) ||
      icalcomponent_get_first_property(event, ICAL_EXRULE_PROPERTY)) {
    out->reason = "has added or excluded dates (RDATE, EXDATE, EXRULE)";
    return;
  }
  icalproperty* dtstart =
      icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
  if (dtstart == nullptr) {
    out->reason = "has no start (DTSTART)";
    return;
  }
  icaltimetype start = icalcomponent_get_dtstart(event);
  if (icaltime_is_null_time(start) || !icaltime_is_valid_time(start)) {
    out->reason = "has no start (DTSTART)";
    return;
  }
  const bool timed = !start.is_date;
  if (timed && zone != nullptr && start.zone != nullptr) {
    start = icaltime_convert_to_zone(start, zone);
  }
  if (!IsValidDate(start.year, start.month, start.day)) {
    out->reason = "starts on a day out of range";
    return;
  }
  if (!timed) {
    icaltimetype end = icalcomponent_get_dtend(event);
    if (!icaltime_is_null_time(end) && end.is_date &&
        DayNumber(end.year, end.month, end.day) -
                DayNumber(start.year, start.month, start.day) >
            1) {
      out->reason = "lasts several days";
      return;
    }
  }
  const bool popup =
      timed && icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT);
  const CivilDate date{start.year, start.month, start.day};
  const int hhnn = start.hour * 100 + start.minute;
  const int weekday = WeekdayOf(DayNumber(date));

  EntryFields f;
  int rules = 0;
  for (icalproperty* p =
           icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
       p != nullptr;
       p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
    ++rules;
  }
  if (rules > 1) {
    out->reason = "has several RRULEs";
    return;
  }
  if (rules == 0) {
    f = EntryFieldsForDate(
        popup ? EntryKind::kOneDayPopup : EntryKind::kOneDaySchedule, date,
        hhnn);
  } else {
    const icalrecurrencetype r = icalproperty_get_rrule(
        icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY));
    if (r.count != 0 || !icaltime_is_null_time(r.until)) {
      out->reason = "the series ends (COUNT or UNTIL); entries repeat for ever";
      return;
    }
    if (r.interval > 1) {
      out->reason = "repeats with an INTERVAL";
      return;
    }
    if (r.rscale != nullptr) {
      out->reason = "uses another calendar (RSCALE)";
      return;
    }
    const std::vector<int> by_day = ByList(r.by_day, ICAL_BY_DAY_SIZE);
    const std::vector<int> by_month_day =
        ByList(r.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const std::vector<int> by_month = ByList(r.by_month, ICAL_BY_MONTH_SIZE);
    if (!ByList(r.by_second, ICAL_BY_SECOND_SIZE).empty() ||
        !ByList(r.by_minute, ICAL_BY_MINUTE_SIZE).empty() ||
        !ByList(r.by_hour, ICAL_BY_HOUR_SIZE).empty() ||
        !ByList(r.by_year_day, ICAL_BY_YEARDAY_SIZE).empty() ||
        !ByList(r.by_week_no, ICAL_BY_WEEKNO_SIZE).empty() ||
        !ByList(r.by_set_pos, ICAL_BY_SETPOS_SIZE).empty()) {
      out->reason = "repeats by a rule part no entry name holds";
      return;
    }
    const EntryKind yearly =
        popup ? EntryKind::kYearlyPopup : EntryKind::kYearlySchedule;
    const EntryKind monthly =
        popup ? EntryKind::kMonthlyPopup : EntryKind::kMonthlySchedule;
    const EntryKind weekly =
        popup ? EntryKind::kWeeklyPopup : EntryKind::kWeeklySchedule;
    switch (r.freq) {
      case ICAL_YEARLY_RECURRENCE:
        if (!by_day.empty() || by_month.size() > 1 || by_month_day.size() > 1 ||
            (by_month.size() == 1 && by_month[0] != date.month) ||
            (by_month_day.size() == 1 && by_month_day[0] != date.day)) {
          out->reason = "repeats yearly on other days than its start";
          return;
        }
        f = EntryFieldsForDate(yearly, date, hhnn);
        break;
      case ICAL_MONTHLY_RECURRENCE: {
        if (!by_month.empty()) {
          out->reason = "repeats in some months only";
          return;
        }
        if (by_day.empty()) {
          if (by_month_day.size() > 1 ||
              (by_month_day.size() == 1 && by_month_day[0] != date.day)) {
            out->reason = "repeats monthly on other days than its start";
            return;
          }
          f = EntryFieldsForDate(monthly, date, hhnn);
          break;
        }
        if (!by_month_day.empty()) {
          out->reason = "repeats on weekdays and days of the month at once";
          return;
        }
        int weeks = 0;
        for (int code : by_day) {
          const int day = icalrecurrencetype_day_day_of_week(code);
          const int position = icalrecurrencetype_day_position(code);
          if (day != weekday) {
            out->reason = "repeats on another weekday than its start";
            return;
          }
          if (position >= 1 && position <= 5) {
            weeks |= kWeek1 << (position - 1);
          } else if (position == -1) {
            weeks |= kLastWeek;
          } else {
            out->reason = "repeats on a week of the month no entry holds";
            return;
          }
        }
        if ((weeks & kEveryWeek) == kEveryWeek) weeks = kEveryWeek;
        f = EntryFieldsForDate(weekly, date, hhnn);
        f.weeks = weeks;
        break;
      }
      case ICAL_WEEKLY_RECURRENCE:
        if (!by_month.empty() || !by_month_day.empty()) {
          out->reason = "repeats weekly in some months or days only";
          return;
        }
        if (by_day.size() > 1) {
          out->reason = "repeats on several weekdays";
          return;
        }
        if (by_day.size() == 1 &&
            (icalrecurrencetype_day_day_of_week(by_day[0]) != weekday ||
             icalrecurrencetype_day_position(by_day[0]) != 0)) {
          out->reason = "repeats on another weekday than its start";
          return;
        }
        f = EntryFieldsForDate(weekly, date, hhnn);
        f.weeks = kEveryWeek;
        break;
      case ICAL_DAILY_RECURRENCE:
        if (!popup) {
          out->reason = "repeats daily without an alarm at a time";
          return;
        }
        if (!by_day.empty() || !by_month.empty() || !by_month_day.empty()) {
          out->reason = "repeats daily on some days only";
          return;
        }
        f = EntryFieldsForDate(EntryKind::kDailyPopup, date, hhnn);
        break;
      default:
        out->reason = "repeats more often than daily";
        return;
    }
  }
  out->name = BuildEntryName(f);
  if (out->name.empty()) {
    out->reason = "no entry name holds its weeks";
    return;
  }
  out->text = EventText(event);
  if (out->text.size() > kMaxImportedTextBytes) {
    out->name.clear();
    out->text.clear();
    out->reason = "its text is longer than 1 MiB";
  }
}

std::string LabelOf(icalcomponent* event, size_t index) {
  std::string label = PropertyText(event, ICAL_SUMMARY_PROPERTY);
  if (label.empty()) label = PropertyText(event, ICAL_UID_PROPERTY);
  if (label.empty()) label = "event " + std::to_string(index + 1);
  label = label.substr(0, label.find_first_of("\r\n"));
  if (label.size() > 80) label = label.substr(0, 77) + "...";
  return label;
}

void ReadCalendar(icalcomponent* calendar, icaltimezone* zone,
                  IcalEvents* out) {
  for (icalcomponent* e =
           icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
       e != nullptr;
       e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
    IcalEvent event;
    event.label = LabelOf(e, out->events.size());
    MapEvent(e, zone, &event);
    out->events.push_back(std::move(event));
  }
}

}  // namespace

IcalEvents ReadIcalEvents(std::string_view text, const std::string& time_zone) {
  IcalEvents out;
  if (text.find('\0') != std::string_view::npos) {
    out.error = "not iCalendar text (binary data)";
    return out;
  }
  if (text.find("BEGIN:VCALENDAR") == std::string_view::npos) {
    out.error = "not iCalendar text (no BEGIN:VCALENDAR)";
    return out;
  }
  const std::string copy = WithoutOversizeLines(text);
  Component root(icalparser_parse_string(copy.c_str()));
  if (!root) {
    out.error = "not iCalendar text";
    return out;
  }
  icaltimezone* zone = nullptr;
  if (!time_zone.empty()) {
    zone = icaltimezone_get_builtin_timezone(time_zone.c_str());
  }
  const icalcomponent_kind kind = icalcomponent_isa(root.get());
  if (kind == ICAL_VCALENDAR_COMPONENT) {
    ReadCalendar(root.get(), zone, &out);
  } else if (kind == ICAL_XROOT_COMPONENT) {
    for (icalcomponent* c = icalcomponent_get_first_component(
             root.get(), ICAL_VCALENDAR_COMPONENT);
         c != nullptr; c = icalcomponent_get_next_component(
                           root.get(), ICAL_VCALENDAR_COMPONENT)) {
      ReadCalendar(c, zone, &out);
    }
  } else {
    out.error = "not iCalendar text (no VCALENDAR)";
    return out;
  }
  out.readable = true;
  return out;
}

IcalImportResult ImportIcal(std::string_view text, EntryFolder& folder,
                            const std::string& time_zone, bool dry_run) {
  IcalImportResult result;
  IcalEvents events = ReadIcalEvents(text, time_zone);
  result.readable = events.readable;
  result.error = events.error;
  if (!events.readable) return result;
  std::vector<EntryFolder::NewEntry> entries;
  std::vector<const std::string*> labels;
  for (IcalEvent& e : events.events) {
    if (e.name.empty()) {
      result.problems.push_back(e.label + ": " + e.reason);
      continue;
    }
    entries.push_back({e.name, dry_run ? "" : PlainTextToRtf(e.text)});
    labels.push_back(&e.label);
  }
  EntryFolder::NewEntriesResult written =
      folder.WriteNewEntries(entries, dry_run);
  result.imported = std::move(written.written);
  for (size_t i : written.existing) {
    result.problems.push_back(*labels[i] + ": entry " + entries[i].name +
                              " exists already, left as it is");
  }
  for (const auto& [i, error] : written.failed) {
    result.problems.push_back(*labels[i] + ": " + entries[i].name +
                              " not written: " + error);
  }
  return result;
}

namespace {

std::string WithoutCarriageReturns(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != '\r') out += c;
  }
  return TrimEnd(std::move(out));
}

std::string XValue(icalcomponent* event, std::string_view name,
                   bool* found = nullptr) {
  for (icalproperty* p =
           icalcomponent_get_first_property(event, ICAL_X_PROPERTY);
       p != nullptr;
       p = icalcomponent_get_next_property(event, ICAL_X_PROPERTY)) {
    const char* x_name = icalproperty_get_x_name(p);
    if (x_name == nullptr || name != x_name) continue;
    const char* value = icalproperty_get_x(p);
    if (found != nullptr) *found = true;
    return value != nullptr ? value : "";
  }
  if (found != nullptr) *found = false;
  return "";
}

bool IsExactEntryName(const std::string& name) {
  const std::optional<EntryFields> f = ParseEntryName(name);
  return f && BuildEntryName(*f) == name;
}

std::optional<PopupOptions> OptionsOf(icalcomponent* event) {
  bool found = false;
  const std::string closetime = XValue(event, "X-MIROKATA-CLOSETIME", &found);
  if (!found) return std::nullopt;
  PopupOptions o;
  try {
    o.closetime = std::stoi(closetime);
  } catch (...) {
    o.closetime = -1;
  }
  std::string value = XValue(event, "X-MIROKATA-FILE", &found);
  if (found && value.starts_with('>')) o.file = value.substr(1);
  value = XValue(event, "X-MIROKATA-BITMAP", &found);
  if (found && value.starts_with('>')) o.bitmap = value.substr(1);
  o.smtp = XValue(event, "X-MIROKATA-SMTP") == "1";
  o.wallpaper = XValue(event, "X-MIROKATA-WALLPAPER") == "1";
  o.stretch = XValue(event, "X-MIROKATA-STRETCH") == "1";
  o.execute = XValue(event, "X-MIROKATA-EXECUTE");
  o.execlose = XValue(event, "X-MIROKATA-EXECLOSE");
  return o;
}

}  // namespace

std::string IcalTextDigest(std::string_view summary,
                           std::string_view description) {
  QCryptographicHash hash(QCryptographicHash::Sha256);
  const std::string s = WithoutCarriageReturns(summary);
  const std::string d = WithoutCarriageReturns(description);
  hash.addData(QByteArrayView(s.data(), static_cast<qsizetype>(s.size())));
  hash.addData(QByteArrayView("\0", 1));
  hash.addData(QByteArrayView(d.data(), static_cast<qsizetype>(d.size())));
  return hash.result().toHex().left(32).toStdString();
}

IcalResourceEntry ReadIcalResource(std::string_view text,
                                   const std::string& time_zone) {
  IcalResourceEntry out;
  // libical takes time in the square of an event's dates; no entry holds
  // that many anyway.
  size_t dates = 0;
  for (size_t at = text.find('\n'); at != std::string_view::npos;
       at = text.find('\n', at + 1)) {
    const std::string_view line = text.substr(at + 1, 6);
    if ((line.starts_with("RDATE") || line.starts_with("EXDATE")) &&
        ++dates > kMaxResourceDates) {
      out.label = "?";
      out.reason = "more than " + std::to_string(kMaxResourceDates) +
                   " dates (RDATE, EXDATE)";
      return out;
    }
  }
  IcalEvents events = ReadIcalEvents(text, time_zone);
  if (!events.readable) {
    out.label = "?";
    out.reason = events.error;
    return out;
  }
  if (events.events.size() != 1) {
    out.label = events.events.empty() ? "?" : events.events[0].label;
    out.reason = events.events.empty()
                     ? "no event"
                     : std::to_string(events.events.size()) +
                           " events in one resource (changed occurrences)";
    return out;
  }
  IcalEvent& event = events.events[0];
  out.label = event.label;
  const std::string copy = WithoutOversizeLines(text);
  Component root(icalparser_parse_string(copy.c_str()));
  icalcomponent* e = nullptr;
  if (root) {
    e = icalcomponent_isa(root.get()) == ICAL_VEVENT_COMPONENT
            ? root.get()
            : icalcomponent_get_first_component(root.get(),
                                                ICAL_VEVENT_COMPONENT);
    if (e == nullptr) {
      for (icalcomponent* c = icalcomponent_get_first_component(
               root.get(), ICAL_VCALENDAR_COMPONENT);
           c != nullptr && e == nullptr;
           c = icalcomponent_get_next_component(root.get(),
                                                ICAL_VCALENDAR_COMPONENT)) {
        e = icalcomponent_get_first_component(c, ICAL_VEVENT_COMPONENT);
      }
    }
  }
  if (e == nullptr) {
    out.reason = "no event";
    return out;
  }
  out.uid = PropertyText(e, ICAL_UID_PROPERTY);
  const std::string own_name = XValue(e, kIcalNameProperty);
  if (IsExactEntryName(own_name) && !HasOversizeLine(e)) {
    const char* summary = icalcomponent_get_summary(e);
    const char* description = icalcomponent_get_description(e);
    const std::string digest =
        IcalTextDigest(summary != nullptr ? summary : "",
                       description != nullptr ? description : "");
    const QByteArray content = QByteArray::fromBase64(
        QByteArray::fromStdString(XValue(e, kIcalContentProperty)),
        QByteArray::AbortOnBase64DecodingErrors);
    out.name = own_name;
    if (digest == XValue(e, kIcalTextProperty) &&
        static_cast<size_t>(content.size()) <= kMaxImportedTextBytes * 4) {
      out.content = content.toStdString();
    } else {
      // Another client edited the text: its words win, in the entry's name.
      out.content =
          PlainTextToRtf(EventText(e).substr(0, kMaxImportedTextBytes));
    }
    if (IsPopupClass(ClassifyEntryName(own_name))) out.options = OptionsOf(e);
    return out;
  }
  if (event.name.empty()) {
    out.reason = event.reason;
    return out;
  }
  out.name = event.name;
  out.content = PlainTextToRtf(event.text);
  return out;
}

}  // namespace mirokata
