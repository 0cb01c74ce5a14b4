#include "schedule/entry_match.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <exception>

namespace mirokata {
namespace {

bool InSupportedRange(const CivilDate& d) {
  return d.year >= kFirstSupportedDate.year &&
         d.year <= kLastSupportedDate.year &&
         IsValidDate(d.year, d.month, d.day);
}

void Put2(char* p, int v) {
  p[0] = char('0' + v / 10 % 10);
  p[1] = char('0' + v % 10);
}

// head (4 characters) + mmdd, or "__" + dd when month < 0, + "." + ext.
std::string Name(std::string_view head, int month, int day,
                 std::string_view ext) {
  char buf[16];
  std::copy(head.begin(), head.end(), buf);
  if (month < 0) {
    buf[4] = buf[5] = '_';
  } else {
    Put2(buf + 4, month);
  }
  Put2(buf + 6, day);
  buf[8] = '.';
  std::copy(ext.begin(), ext.end(), buf + 9);
  return std::string(buf, 9 + ext.size());
}

std::string Digits2(int v) {
  char buf[2];
  Put2(buf, v);
  return std::string(buf, 2);
}

std::string Hhnn(int hhnn) {
  char buf[4];
  Put2(buf, hhnn / 100);
  Put2(buf + 2, hhnn % 100);
  return std::string(buf, 4);
}

// Names found for one call, each once, in the order found.
class Collector {
 public:
  explicit Collector(const FolderSnapshot& snapshot) : snapshot_(snapshot) {}

  void Exact(const std::string& name) {
    if (const std::string* actual = snapshot_.Find(name)) Add(*actual);
  }
  void Add(const std::string& actual) {
    if (std::find(out_.begin(), out_.end(), actual) == out_.end()) {
      out_.push_back(actual);
    }
  }
  void Match(const std::string& pattern, std::vector<std::string>* found) {
    found->clear();
    snapshot_.Match(pattern, found);
  }
  std::vector<std::string> Take() { return std::move(out_); }

 private:
  const FolderSnapshot& snapshot_;
  std::vector<std::string> out_;
};

// Working days around one day D, with the holiday test asked at most once
// per day of the call.
class WorkingDays {
 public:
  WorkingDays(const HolidayTest& is_holiday, int32_t day_number)
      : is_holiday_(is_holiday),
        center_(day_number),
        first_(DayNumber(kFirstSupportedDate)),
        last_(DayNumber(kLastSupportedDate)) {
    cache_.fill(-1);
  }

  bool IsHoliday(int32_t n) {
    const int32_t slot = n - center_ + kMaxWalkDays + 1;
    if (slot < 0 || slot >= int32_t(cache_.size())) return Ask(n);
    if (cache_[slot] < 0) cache_[slot] = Ask(n) ? 1 : 0;
    return cache_[slot] == 1;
  }

  bool IsWorking(int32_t n, ShiftCode code) {
    const int weekday = WeekdayOf(n);
    if (weekday == kSunday) return false;
    if (weekday == kSaturday && ShiftSkipsSaturday(code)) return false;
    return !IsHoliday(n);
  }

  // The days whose entries of this code move onto D, in the order their
  // names are listed: for a next-day code the run of non-working days just
  // before D from its earliest day; for a previous-day code the run just
  // after D from its last day. Each walk stops after kMaxWalkDays days and
  // at the ends of the supported range.
  std::vector<int32_t> MovedInDays(ShiftCode code) {
    std::vector<int32_t> days;
    if (code == ShiftCode::kNone || !IsWorking(center_, code)) return days;
    const int step = ShiftMovesToNext(code) ? -1 : 1;
    for (int i = 1; i <= kMaxWalkDays; ++i) {
      const int32_t x = center_ + step * i;
      if (x < first_ || x > last_ || IsWorking(x, code)) break;
      days.push_back(x);
    }
    std::reverse(days.begin(), days.end());
    return days;
  }

 private:
  bool Ask(int32_t n) {
    if (!is_holiday_) return false;
    const CivilDate d = CivilDateOf(n);
    try {
      return is_holiday_(d.year, d.month, d.day);
    } catch (const std::exception&) {
      return false;
    }
  }

  const HolidayTest& is_holiday_;
  const int32_t center_, first_, last_;
  std::array<int8_t, 2 * kMaxWalkDays + 3> cache_;
};

constexpr ShiftCode kMovedInOrder[] = {
    ShiftCode::kNextSaturday, ShiftCode::kNextSundayHoliday,
    ShiftCode::kPreviousSaturday, ShiftCode::kPreviousSundayHoliday};

}  // namespace

EntryMatcher::EntryMatcher(EntryFolder* folder, HolidayTest is_holiday)
    : folder_(folder), is_holiday_(std::move(is_holiday)) {}

std::vector<std::string> EntryMatcher::ScheduleNamesForDay(const CivilDate& d) {
  if (!InSupportedRange(d)) return {};
  const int32_t n = DayNumber(d);
  auto snapshot = folder_->Snapshot();
  Collector names(*snapshot);
  WorkingDays days(is_holiday_, n);
  std::vector<std::string> found;

  // Birthdays.
  names.Match(Name("BORN", d.month, d.day, "*"), &found);
  for (const std::string& f : found) {
    std::optional<EntryFields> fields = ParseEntryName(f);
    if (fields && fields->kind == EntryKind::kBirthday) names.Add(f);
  }

  // One day, then yearly and monthly without a move.
  names.Exact(Name("____", d.month, d.day, Digits2(d.year % 100)));
  names.Exact(Name("____", d.month, d.day, "__"));
  names.Exact(Name("____", -1, d.day, "__"));

  // Own-day names of the moving codes on their working days.
  auto own_day = [&](ShiftCode code) {
    names.Exact(Name(ScheduleShiftText(code), d.month, d.day, "__"));
    names.Exact(Name(ScheduleShiftText(code), -1, d.day, "__"));
  };
  if (days.IsWorking(n, ShiftCode::kNextSundayHoliday)) {
    own_day(ShiftCode::kPreviousSundayHoliday);
    own_day(ShiftCode::kNextSundayHoliday);
    if (days.IsWorking(n, ShiftCode::kNextSaturday)) {
      own_day(ShiftCode::kPreviousSaturday);
      own_day(ShiftCode::kNextSaturday);
    }
  }

  // Names moved in from the neighbouring non-working days.
  for (ShiftCode code : kMovedInOrder) {
    for (int32_t x : days.MovedInDays(code)) {
      const CivilDate xd = CivilDateOf(x);
      names.Exact(Name(ScheduleShiftText(code), xd.month, xd.day, "__"));
      names.Exact(Name(ScheduleShiftText(code), -1, xd.day, "__"));
    }
  }

  // Weekly.
  const std::string dow(WeekdayCode(WeekdayOf(n)));
  names.Exact("________." + dow);
  static constexpr std::array<std::array<const char*, 2>, 5> kWeekPatterns = {
      {{"_????___.", nullptr},
       {"?_???___.", nullptr},
       {"??_??___.", nullptr},
       {"???_?___.", nullptr},
       {"~???____.", "_???____."}}};
  for (const char* pattern : kWeekPatterns[WeekOfMonth(d.day) - 1]) {
    if (pattern == nullptr) continue;
    names.Match(pattern + dow, &found);
    for (const std::string& f : found) {
      if (UpperAscii(f).starts_with("________")) continue;
      std::optional<EntryFields> fields = ParseEntryName(f);
      if (fields && fields->kind == EntryKind::kWeeklySchedule) names.Add(f);
    }
  }
  if (IsInLastWeek(d)) names.Exact("~~~~~___." + dow);
  return names.Take();
}

std::vector<std::string> EntryMatcher::PopupNamesForMinute(const CivilDate& d,
                                                           int hhnn) {
  if (!InSupportedRange(d) || hhnn < 0 || hhnn / 100 > 23 || hhnn % 100 > 59) {
    return {};
  }
  const int32_t n = DayNumber(d);
  auto snapshot = folder_->Snapshot();
  Collector names(*snapshot);
  WorkingDays days(is_holiday_, n);
  const std::string time = Hhnn(hhnn);

  names.Exact(time + "____.__");
  names.Exact(Name(time, d.month, d.day, Digits2(d.year % 100)));
  names.Exact(Name(time, d.month, d.day, "__"));
  names.Exact(Name(time, -1, d.day, "__"));

  auto own_day = [&](ShiftCode code) {
    names.Exact(Name(time, d.month, d.day, PopupShiftText(code)));
    names.Exact(Name(time, -1, d.day, PopupShiftText(code)));
  };
  if (days.IsWorking(n, ShiftCode::kNextSundayHoliday)) {
    own_day(ShiftCode::kPreviousSundayHoliday);
    own_day(ShiftCode::kNextSundayHoliday);
    if (days.IsWorking(n, ShiftCode::kNextSaturday)) {
      own_day(ShiftCode::kPreviousSaturday);
      own_day(ShiftCode::kNextSaturday);
    }
  }

  for (ShiftCode code : kMovedInOrder) {
    for (int32_t x : days.MovedInDays(code)) {
      const CivilDate xd = CivilDateOf(x);
      names.Exact(Name(time, xd.month, xd.day, PopupShiftText(code)));
      names.Exact(Name(time, -1, xd.day, PopupShiftText(code)));
    }
  }

  // Weekly: every week, then the masked names whose mask has D's week.
  const std::string dow(WeekdayCode(WeekdayOf(n)));
  names.Exact(time + "____." + dow);
  const int week_bit = 1 << (WeekOfMonth(d.day) - 1);
  const bool last_week = IsInLastWeek(d);
  std::vector<std::string> found;
  names.Match(time + "__??." + dow, &found);
  for (const std::string& f : found) {
    // The every-week name fits the pattern too; only digits are a mask.
    if (!std::isdigit(static_cast<unsigned char>(f[6])) ||
        !std::isdigit(static_cast<unsigned char>(f[7]))) {
      continue;
    }
    std::optional<EntryFields> fields = ParseEntryName(f);
    if (!fields || fields->kind != EntryKind::kWeeklyPopup) continue;
    const int mask = fields->weeks;
    if ((mask & week_bit) != 0 || ((mask & kLastWeek) != 0 && last_week)) {
      names.Add(f);
    }
  }
  return names.Take();
}

std::optional<int> BirthdayAge(std::string_view name, const CivilDate& date) {
  std::optional<EntryFields> fields = ParseEntryName(name);
  if (!fields || fields->kind != EntryKind::kBirthday) return std::nullopt;
  return date.year - fields->year;
}

std::optional<CivilDate> OneDayEntryDate(const EntryFields& fields,
                                         int current_year) {
  if (fields.kind != EntryKind::kOneDaySchedule &&
      fields.kind != EntryKind::kOneDayPopup) {
    return std::nullopt;
  }
  CivilDate d{CenturyRule(fields.year, current_year), fields.month, fields.day};
  if (!IsValidDate(d.year, d.month, d.day)) return std::nullopt;
  return d;
}

int WeekOfMonth(int day) { return std::clamp((day - 1) / 7 + 1, 1, 5); }

bool IsInLastWeek(const CivilDate& date) {
  if (!IsValidDate(date.year, date.month, date.day)) return false;
  return CivilDateOf(DayNumber(date) + 7).month != date.month;
}

}  // namespace mirokata
