#include "schedule/ical_export.h"

#include <libical/ical.h>

#include <QByteArray>
#include <QTimeZone>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string_view>

#include "base/settings_file.h"
#include "schedule/entry_name.h"
#include "schedule/entry_text.h"
#include "schedule/ical_import.h"

namespace mirokata {

namespace {

struct ComponentFree {
  void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

// Two-letter weekday codes of RFC 5545, 1 = Sunday.
constexpr const char* kIcalDays[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

bool IsPopup(EntryKind kind) {
  switch (kind) {
    case EntryKind::kOneDayPopup:
    case EntryKind::kYearlyPopup:
    case EntryKind::kMonthlyPopup:
    case EntryKind::kWeeklyPopup:
    case EntryKind::kDailyPopup:
      return true;
    default:
      return false;
  }
}

bool InWeeks(int weeks, const CivilDate& date) {
  if (weeks == kEveryWeek) return true;
  if (weeks & (kWeek1 << (WeekOfMonth(date.day) - 1))) return true;
  return (weeks & kLastWeek) != 0 && IsInLastWeek(date);
}

// Whether the entry's own rule, before any holiday move, falls on the date.
bool RuleFallsOn(const EntryFields& f, const CivilDate& date) {
  switch (f.kind) {
    case EntryKind::kYearlySchedule:
    case EntryKind::kYearlyPopup:
    case EntryKind::kBirthday:
      return date.month == f.month && date.day == f.day;
    case EntryKind::kMonthlySchedule:
    case EntryKind::kMonthlyPopup:
      return date.day == f.day;
    case EntryKind::kWeeklySchedule:
    case EntryKind::kWeeklyPopup:
      return WeekdayOf(DayNumber(date)) == f.weekday && InWeeks(f.weeks, date);
    case EntryKind::kDailyPopup:
      return true;
    default:
      return false;
  }
}

// The first day on or after `from` the rule falls on; 29 February waits
// up to eight years.
std::optional<CivilDate> FirstDayOfRule(const EntryFields& f,
                                        const CivilDate& from) {
  const int32_t start = DayNumber(from);
  for (int32_t n = start; n < start + 8 * 366; ++n) {
    const CivilDate d = CivilDateOf(n);
    if (d.year > kLastSupportedDate.year) break;
    if (RuleFallsOn(f, d)) return d;
  }
  return std::nullopt;
}

// A one-day name's date: the year of the range with those two digits,
// else the century rule.
std::optional<CivilDate> OneDayDate(const EntryFields& f,
                                    const IcalExportOptions& o) {
  for (int y = o.from.year; y <= o.to.year; ++y) {
    if (y % 100 != f.year || !IsValidDate(y, f.month, f.day)) continue;
    const int32_t n = DayNumber(y, f.month, f.day);
    if (n >= DayNumber(o.from) && n <= DayNumber(o.to)) {
      return CivilDate{y, f.month, f.day};
    }
  }
  return OneDayEntryDate(f, o.from.year);
}

std::string WeekdayRule(const EntryFields& f) {
  const std::string day = kIcalDays[f.weekday - 1];
  if (f.weeks == kEveryWeek) return "FREQ=WEEKLY;BYDAY=" + day;
  std::string rule = "FREQ=MONTHLY;BYDAY=";
  bool first = true;
  for (int week = 1; week <= 5; ++week) {
    if (!(f.weeks & (kWeek1 << (week - 1)))) continue;
    rule += (first ? "" : ",") + std::to_string(week) + day;
    first = false;
  }
  if (f.weeks & kLastWeek) rule += (first ? "-1" : ",-1") + day;
  return rule;
}

// The RRULE of an entry that moves nowhere; "" for one-day entries.
std::string RuleOf(const EntryFields& f) {
  switch (f.kind) {
    case EntryKind::kYearlySchedule:
    case EntryKind::kYearlyPopup:
    case EntryKind::kBirthday:
      return "FREQ=YEARLY;BYMONTH=" + std::to_string(f.month) +
             ";BYMONTHDAY=" + std::to_string(f.day);
    case EntryKind::kMonthlySchedule:
    case EntryKind::kMonthlyPopup:
      return "FREQ=MONTHLY;BYMONTHDAY=" + std::to_string(f.day);
    case EntryKind::kWeeklySchedule:
    case EntryKind::kWeeklyPopup:
      return WeekdayRule(f);
    case EntryKind::kDailyPopup:
      return "FREQ=DAILY";
    default:
      return "";
  }
}

// The move rule in words, for the COMMENT of an event given as dates.
std::string MoveInWords(const EntryFields& f, const IcalExportOptions& o) {
  char text[160];
  const bool yearly =
      f.kind == EntryKind::kYearlySchedule || f.kind == EntryKind::kYearlyPopup;
  if (yearly) {
    std::snprintf(text, sizeof text, "毎年%d月%d日", f.month, f.day);
  } else {
    std::snprintf(text, sizeof text, "毎月%d日", f.day);
  }
  char range[80];
  std::snprintf(range, sizeof range,
                "。%04d-%02d-%02dから%04d-%02d-%02dまでの日付", o.from.year,
                o.from.month, o.from.day, o.to.year, o.to.month, o.to.day);
  return std::string(text) + std::string(ShiftDescription(f.shift)) + range;
}

class EventWriter {
 public:
  explicit EventWriter(const IcalExportOptions& o) : options_(o) {
    if (!o.time_zone.empty()) {
      zone_ = icaltimezone_get_builtin_timezone(o.time_zone.c_str());
      if (zone_ == icaltimezone_get_utc_timezone()) zone_ = nullptr;
    }
  }
  icaltimezone* zone() const { return zone_; }

  icaltimetype Time(const CivilDate& d, const EntryFields& f) const {
    icaltimetype t = icaltime_null_time();
    t.year = d.year;
    t.month = d.month;
    t.day = d.day;
    if (!IsPopup(f.kind)) {
      t.is_date = 1;
      return t;
    }
    t.hour = f.hhnn / 100;
    t.minute = f.hhnn % 100;
    if (zone_ != nullptr) t = icaltime_set_timezone(&t, zone_);
    return t;
  }

  // Date-times of popups carry the zone's name; dates have no zone.
  void AddZone(icalproperty* p, const EntryFields& f) const {
    if (zone_ != nullptr && IsPopup(f.kind) &&
        icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER) == nullptr) {
      icalproperty_add_parameter(
          p, icalparameter_new_tzid(options_.time_zone.c_str()));
    }
  }

 private:
  const IcalExportOptions& options_;
  icaltimezone* zone_ = nullptr;
};

icaltimetype UtcTime(long long seconds) {
  return icaltime_from_timet_with_zone(static_cast<time_t>(seconds), 0,
                                       icaltimezone_get_utc_timezone());
}

std::string FirstLine(const std::string& text) {
  return text.substr(0, text.find_first_of("\r\n"));
}

}  // namespace

std::string SystemTimeZoneName() {
  return QTimeZone::systemTimeZoneId().toStdString();
}

IcalExportOptions IcalExportOptionsFor(SettingsFile& settings,
                                       const std::string& data_folder,
                                       const CivilDate& today,
                                       long long now_utc) {
  IcalExportOptions options;
  // 29 February has no twin a year back or two years on.
  const int day = today.month == 2 && today.day == 29 ? 28 : today.day;
  options.from = {today.year - 1, today.month, day};
  options.to = {today.year + 2, today.month, day};
  options.before_minutes = settings.ReadInteger("Calendar", "before", 0);
  options.time_zone = SystemTimeZoneName();
  // The same folder named two ways gives the same UIDs.
  std::error_code error;
  const std::filesystem::path absolute =
      std::filesystem::weakly_canonical(data_folder, error);
  options.folder_key = error ? data_folder : absolute.string();
  options.now_utc = now_utc;
  return options;
}

std::string IcalUid(const std::string& name, const std::string& folder_key) {
  // FNV-1a: stable across runs and builds, unlike std::hash.
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : folder_key) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
  return name + "-" + hex + "@mirokata";
}

namespace {

struct Events {
  Component zone;  // null when no popup time needs one
  std::vector<std::pair<std::string, Component>> events;  // entry name, VEVENT
};

// The events of the folder's entries (of `only`, when given, with the UIDs
// it names; an empty UID takes IcalUid's), each complete but unattached.
Events BuildEvents(EntryFolder& folder, const HolidayTest& is_holiday,
                   const IcalExportOptions& options,
                   const std::map<std::string, std::string>* only,
                   std::vector<std::string>* left_out) {
  const FolderPin pin(&folder);
  std::vector<std::pair<std::string, EntryFields>> entries;
  // Moved entries and the days the matching rule gives them.
  std::map<std::string, std::vector<CivilDate>> moved;
  std::set<int> moved_minutes;
  bool moved_schedules = false;
  std::vector<std::string> names;
  if (only != nullptr) {
    for (const auto& [name, uid] : *only) {
      if (std::optional<std::string> on_disk = folder.Resolve(name)) {
        names.push_back(*on_disk);
      } else if (left_out != nullptr) {
        left_out->push_back(name + ": no such entry");
      }
    }
  } else {
    names = folder.List("*");
  }
  for (std::string& name : names) {
    std::optional<EntryFields> f = ParseEntryName(name);
    if (!f || f->kind == EntryKind::kElapsedPopup) {
      if (left_out != nullptr) {
        left_out->push_back(name + (f ? ": no date (elapsed-time popup)"
                                      : ": not an entry name"));
      }
      continue;
    }
    if (f->shift != ShiftCode::kNone) {
      moved[name];
      if (IsPopup(f->kind)) {
        moved_minutes.insert(f->hhnn);
      } else {
        moved_schedules = true;
      }
    }
    entries.emplace_back(std::move(name), *f);
  }
  if (!moved.empty() && DayNumber(options.from) <= DayNumber(options.to)) {
    EntryMatcher matcher(&folder, is_holiday);
    for (int32_t n = DayNumber(options.from); n <= DayNumber(options.to); ++n) {
      const CivilDate d = CivilDateOf(n);
      // No code moves anything onto a Sunday or a holiday.
      if (WeekdayOf(n) == 1 || is_holiday(d.year, d.month, d.day)) continue;
      if (moved_schedules) {
        for (const std::string& name : matcher.ScheduleNamesForDay(d)) {
          auto it = moved.find(name);
          if (it != moved.end()) it->second.push_back(d);
        }
      }
      for (int hhnn : moved_minutes) {
        for (const std::string& name : matcher.PopupNamesForMinute(d, hhnn)) {
          auto it = moved.find(name);
          if (it != moved.end()) it->second.push_back(d);
        }
      }
    }
  }

  EventWriter writer(options);
  Events out;
  const icaltimetype stamp = UtcTime(options.now_utc);
  std::optional<CivilDate> earliest_time;
  for (const auto& [name, f] : entries) {
    std::optional<CivilDate> start;
    std::string rule;
    const std::vector<CivilDate>* dates = nullptr;
    if (f.kind == EntryKind::kOneDaySchedule ||
        f.kind == EntryKind::kOneDayPopup) {
      start = OneDayDate(f, options);
    } else if (f.kind == EntryKind::kBirthday) {
      start = CivilDate{f.year, f.month, f.day};
      rule = RuleOf(f);
    } else if (f.shift != ShiftCode::kNone) {
      dates = &moved[name];
      if (!dates->empty()) start = dates->front();
    } else {
      start = FirstDayOfRule(f, options.from);
      rule = RuleOf(f);
    }
    if (!start) {
      if (left_out != nullptr) {
        left_out->push_back(
            name + (dates ? ": no day in the range" : ": no day it falls on"));
      }
      continue;
    }
    std::string text;
    ReadEntryTextForDisplay(folder, name, &text);
    icalcomponent* event = icalcomponent_new_vevent();
    out.events.emplace_back(name, Component(event));
    if (IsPopup(f.kind) &&
        (!earliest_time || DayNumber(*start) < DayNumber(*earliest_time))) {
      earliest_time = start;
    }
    std::string uid;
    if (only != nullptr) {
      auto it = only->find(name);
      if (it != only->end()) uid = it->second;
    }
    if (uid.empty()) uid = IcalUid(name, options.folder_key);
    icalcomponent_add_property(event, icalproperty_new_uid(uid.c_str()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
    icalproperty* dtstart = icalproperty_new_dtstart(writer.Time(*start, f));
    writer.AddZone(dtstart, f);
    icalcomponent_add_property(event, dtstart);
    if (!rule.empty()) {
      icalcomponent_add_property(
          event,
          icalproperty_new_rrule(icalrecurrencetype_from_string(rule.c_str())));
    }
    if (dates != nullptr) {
      for (size_t i = 1; i < dates->size(); ++i) {
        icaldatetimeperiodtype when;
        when.time = writer.Time((*dates)[i], f);
        when.period = icalperiodtype_null_period();
        icalproperty* rdate = icalproperty_new_rdate(when);
        writer.AddZone(rdate, f);
        icalcomponent_add_property(event, rdate);
      }
      icalcomponent_add_property(
          event, icalproperty_new_comment(MoveInWords(f, options).c_str()));
    }
    const std::string summary = text.empty() ? name : FirstLine(text);
    icalcomponent_add_property(event,
                               icalproperty_new_summary(summary.c_str()));
    if (!text.empty()) {
      icalcomponent_add_property(event,
                                 icalproperty_new_description(text.c_str()));
    }
    if (IsPopup(f.kind)) {
      icalcomponent* alarm = icalcomponent_new_valarm();
      icalcomponent_add_property(alarm,
                                 icalproperty_new_action(ICAL_ACTION_DISPLAY));
      icaltriggertype trigger;
      trigger.time = icaltime_null_time();
      trigger.duration =
          icaldurationtype_from_int(-60 * options.before_minutes);
      icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
      icalcomponent_add_property(alarm,
                                 icalproperty_new_description(summary.c_str()));
      icalcomponent_add_component(event, alarm);
    }
  }
  if (earliest_time && writer.zone() != nullptr) {
    // The zone goes before the events that use it, from their first day
    // on: its older rules only make it longer (and some readers stumble
    // over their UNTIL).
    icalcomponent* zone =
        icalcomponent_new_clone(icaltimezone_get_component(writer.zone()));
    // A day early: local times of that day lie before its UTC midnight
    // east of Greenwich.
    const CivilDate day_before = CivilDateOf(DayNumber(*earliest_time) - 1);
    icaltimetype first = icaltime_null_time();
    first.year = day_before.year;
    first.month = day_before.month;
    first.day = day_before.day;
    first = icaltime_set_timezone(&first, icaltimezone_get_utc_timezone());
    icaltimezone_truncate_vtimezone(zone, first, icaltime_null_time(), 0);
    // The plain Olson name the events refer to, not libical's own prefixed
    // one.
    if (icalproperty* tzid =
            icalcomponent_get_first_property(zone, ICAL_TZID_PROPERTY)) {
      icalproperty_set_tzid(tzid, options.time_zone.c_str());
    }
    out.zone.reset(zone);
  }
  return out;
}

Component NewCalendar() {
  Component calendar(icalcomponent_new_vcalendar());
  icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
  icalcomponent_add_property(
      calendar.get(), icalproperty_new_prodid("-//Mirokata//mirokata-cal//JA"));
  return calendar;
}

std::string TextOf(icalcomponent* calendar) {
  char* text = icalcomponent_as_ical_string_r(calendar);
  std::string out = text != nullptr ? text : "";
  std::free(text);
  return out;
}

void AddX(icalcomponent* event, const char* name, const std::string& value) {
  icalproperty* p = icalproperty_new_x(value.c_str());
  icalproperty_set_x_name(p, name);
  icalcomponent_add_property(event, p);
}

}  // namespace

std::string ExportIcal(EntryFolder& folder, const HolidayTest& is_holiday,
                       const IcalExportOptions& options,
                       std::vector<std::string>* left_out) {
  Events built = BuildEvents(folder, is_holiday, options, nullptr, left_out);
  Component calendar = NewCalendar();
  if (built.zone) {
    icalcomponent_add_component(calendar.get(), built.zone.release());
  }
  for (auto& [name, event] : built.events) {
    icalcomponent_add_component(calendar.get(), event.release());
  }
  return TextOf(calendar.get());
}

std::vector<IcalResource> ExportIcalResources(
    EntryFolder& folder, SettingsFile* settings, const HolidayTest& is_holiday,
    const IcalExportOptions& options,
    const std::map<std::string, std::string>& names,
    std::vector<std::string>* left_out) {
  Events built = BuildEvents(folder, is_holiday, options, &names, left_out);
  std::vector<IcalResource> out;
  for (auto& [name, event] : built.events) {
    std::string content;
    if (folder.ReadContent(name, &content) != ReadResult::kOk) {
      if (left_out != nullptr) left_out->push_back(name + ": not readable");
      continue;
    }
    IcalResource resource;
    resource.name = name;
    resource.uid = icalcomponent_get_uid(event.get());
    AddX(event.get(), kIcalNameProperty, name);
    AddX(event.get(), kIcalContentProperty,
         QByteArray::fromStdString(content).toBase64().toStdString());
    const char* summary = icalcomponent_get_summary(event.get());
    const char* description = icalcomponent_get_description(event.get());
    AddX(event.get(), kIcalTextProperty,
         IcalTextDigest(summary != nullptr ? summary : "",
                        description != nullptr ? description : ""));
    const std::optional<EntryFields> f = ParseEntryName(name);
    if (settings != nullptr && f &&
        (IsPopup(f->kind) || f->kind == EntryKind::kElapsedPopup)) {
      const PopupOptions o = ReadPopupOptions(*settings, folder.FullPath(name));
      AddX(event.get(), "X-MIROKATA-CLOSETIME", std::to_string(o.closetime));
      // A leading ">" keeps an empty path, which readers drop.
      if (o.file) AddX(event.get(), "X-MIROKATA-FILE", ">" + *o.file);
      if (o.bitmap) AddX(event.get(), "X-MIROKATA-BITMAP", ">" + *o.bitmap);
      AddX(event.get(), "X-MIROKATA-SMTP", o.smtp ? "1" : "0");
      AddX(event.get(), "X-MIROKATA-WALLPAPER", o.wallpaper ? "1" : "0");
      AddX(event.get(), "X-MIROKATA-STRETCH", o.stretch ? "1" : "0");
      if (!o.execute.empty()) {
        AddX(event.get(), "X-MIROKATA-EXECUTE", o.execute);
      }
      if (!o.execlose.empty()) {
        AddX(event.get(), "X-MIROKATA-EXECLOSE", o.execlose);
      }
      AddX(event.get(), "X-MIROKATA-BEFORE",
           std::to_string(options.before_minutes));
    }
    Component calendar = NewCalendar();
    if (built.zone && f && IsPopup(f->kind)) {
      icalcomponent_add_component(calendar.get(),
                                  icalcomponent_new_clone(built.zone.get()));
    }
    icalcomponent_add_component(calendar.get(), event.release());
    resource.text = TextOf(calendar.get());
    out.push_back(std::move(resource));
  }
  return out;
}

}  // namespace mirokata
