#include "schedule/entry_name.h"

#include <array>
#include <cstdio>

#include "calendar/gregorian.h"

namespace mirokata {
namespace {

struct ShiftRow {
  ShiftCode code;
  std::string_view schedule;
  std::string_view popup;
  std::string_view description;
};

constexpr std::array<ShiftRow, 5> kShiftRows = {{
    {ShiftCode::kNone, "____", "__", ""},
    {ShiftCode::kPreviousSundayHoliday, "~___", "-_", "(休日:前日)"},
    {ShiftCode::kPreviousSaturday, "~_~~", "-~", "(土曜/休日:前日)"},
    {ShiftCode::kNextSundayHoliday, "_~__", "~_", "(休日:翌日)"},
    {ShiftCode::kNextSaturday, "_~~~", "~~", "(土曜/休日:翌日)"},
}};

constexpr std::array<std::string_view, 7> kWeekdays = {
    "SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};

const ShiftRow& RowOf(ShiftCode code) {
  for (const ShiftRow& r : kShiftRows) {
    if (r.code == code) return r;
  }
  return kShiftRows[0];
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Value of n digits at s[pos], or -1 when any of them is not a digit.
int Digits(std::string_view s, size_t pos, size_t n) {
  if (pos + n > s.size()) return -1;
  int v = 0;
  for (size_t i = pos; i < pos + n; ++i) {
    if (!IsDigit(s[i])) return -1;
    v = v * 10 + (s[i] - '0');
  }
  return v;
}

// The longest month of that number in any year (29 for February).
int MaxDaysInAnyYear(int month) {
  static constexpr int kMax[] = {31, 29, 31, 30, 31, 30,
                                 31, 31, 30, 31, 30, 31};
  return (month >= 1 && month <= 12) ? kMax[month - 1] : 0;
}

bool ValidMonthDay(int month, int day) {
  return month >= 1 && month <= 12 && day >= 1 &&
         day <= MaxDaysInAnyYear(month);
}

bool ValidHhnn(int hhnn) {
  return hhnn >= 0 && hhnn / 100 <= 23 && hhnn % 100 <= 59;
}

std::optional<ShiftCode> ScheduleShiftOf(std::string_view four) {
  for (const ShiftRow& r : kShiftRows) {
    if (r.schedule == four) return r.code;
  }
  return std::nullopt;
}

std::optional<ShiftCode> PopupShiftOf(std::string_view two) {
  for (const ShiftRow& r : kShiftRows) {
    if (r.popup == two) return r.code;
  }
  return std::nullopt;
}

int WeekdayOfCode(std::string_view three) {
  for (size_t i = 0; i < kWeekdays.size(); ++i) {
    if (kWeekdays[i] == three) return int(i) + 1;
  }
  return 0;
}

// Weekly schedule flags "_" (on) / "~" (off) for weeks 1-5; all five off is
// the last week.
std::optional<int> WeekFlagsOf(std::string_view five) {
  int bits = 0;
  for (size_t i = 0; i < 5; ++i) {
    if (five[i] == '_') {
      bits |= 1 << i;
    } else if (five[i] != '~') {
      return std::nullopt;
    }
  }
  return bits == 0 ? kLastWeek : bits;
}

std::string Format(const char* fmt, int a, int b = 0, int c = 0) {
  char buf[32];
  std::snprintf(buf, sizeof buf, fmt, a, b, c);
  return buf;
}

std::optional<EntryFields> ParseUpper(std::string_view n) {
  // Shape: eight-character stem, dot, two to four characters.
  if (n.size() < 11 || n.size() > 13 || n[8] != '.') return std::nullopt;
  std::string_view stem = n.substr(0, 8);
  std::string_view ext = n.substr(9);
  if (ext.find('.') != std::string_view::npos) return std::nullopt;
  EntryFields f;

  if (stem.substr(0, 4) == "BORN") {
    f.kind = EntryKind::kBirthday;
    f.month = Digits(stem, 4, 2);
    f.day = Digits(stem, 6, 2);
    f.year = ext.size() == 4 ? Digits(ext, 0, 4) : -1;
    if (f.year < 1 || !ValidMonthDay(f.month, f.day)) return std::nullopt;
    if (f.month == 2 && f.day == 29 && !IsLeapYear(f.year)) return std::nullopt;
    return f;
  }
  if (stem[0] == 'W') {
    f.kind = EntryKind::kElapsedPopup;
    f.seconds = Digits(stem, 1, 7);
    if (f.seconds < 0 || ext != "__") return std::nullopt;
    return f;
  }
  if ((stem[0] == '_' || stem[0] == '~') && ext.size() == 3) {
    f.kind = EntryKind::kWeeklySchedule;
    std::optional<int> bits = WeekFlagsOf(stem.substr(0, 5));
    f.weekday = WeekdayOfCode(ext);
    if (!bits || stem.substr(5) != "___" || f.weekday == 0) return std::nullopt;
    f.weeks = *bits;
    return f;
  }
  if (std::optional<ShiftCode> code = ScheduleShiftOf(stem.substr(0, 4))) {
    f.shift = *code;
    if (ext.size() != 2) return std::nullopt;
    if (stem.substr(4, 2) == "__") {
      f.kind = EntryKind::kMonthlySchedule;
      f.day = Digits(stem, 6, 2);
      if (f.day < 1 || f.day > 31 || ext != "__") return std::nullopt;
      return f;
    }
    f.month = Digits(stem, 4, 2);
    f.day = Digits(stem, 6, 2);
    if (!ValidMonthDay(f.month, f.day)) return std::nullopt;
    if (ext == "__") {
      f.kind = EntryKind::kYearlySchedule;
      return f;
    }
    f.kind = EntryKind::kOneDaySchedule;
    f.year = Digits(ext, 0, 2);
    if (f.shift != ShiftCode::kNone || f.year < 0) return std::nullopt;
    return f;
  }

  // Popups: hhnn first.
  f.hhnn = Digits(stem, 0, 4);
  if (f.hhnn < 0 || !ValidHhnn(f.hhnn)) return std::nullopt;
  std::string_view rest = stem.substr(4);
  if (ext.size() == 3) {
    f.kind = EntryKind::kWeeklyPopup;
    f.weekday = WeekdayOfCode(ext);
    if (f.weekday == 0 || rest.substr(0, 2) != "__") return std::nullopt;
    if (rest.substr(2) == "__") {
      f.weeks = kEveryWeek;
      return f;
    }
    f.weeks = Digits(rest, 2, 2);
    if (f.weeks < 0) return std::nullopt;
    return f;
  }
  if (ext.size() != 2) return std::nullopt;
  if (rest == "____") {
    if (ext != "__") return std::nullopt;
    f.kind = EntryKind::kDailyPopup;
    return f;
  }
  if (rest.substr(0, 2) == "__") {
    f.kind = EntryKind::kMonthlyPopup;
    f.day = Digits(rest, 2, 2);
    std::optional<ShiftCode> code = PopupShiftOf(ext);
    if (f.day < 1 || f.day > 31 || !code) return std::nullopt;
    f.shift = *code;
    return f;
  }
  f.month = Digits(rest, 0, 2);
  f.day = Digits(rest, 2, 2);
  if (!ValidMonthDay(f.month, f.day)) return std::nullopt;
  if (std::optional<ShiftCode> code = PopupShiftOf(ext)) {
    f.kind = EntryKind::kYearlyPopup;
    f.shift = *code;
    return f;
  }
  f.kind = EntryKind::kOneDayPopup;
  f.year = Digits(ext, 0, 2);
  if (f.year < 0) return std::nullopt;
  return f;
}

}  // namespace

std::string_view ScheduleShiftText(ShiftCode code) {
  return RowOf(code).schedule;
}
std::string_view PopupShiftText(ShiftCode code) { return RowOf(code).popup; }
std::string_view ShiftDescription(ShiftCode code) {
  return RowOf(code).description;
}
bool ShiftMovesToNext(ShiftCode code) {
  return code == ShiftCode::kNextSundayHoliday ||
         code == ShiftCode::kNextSaturday;
}
bool ShiftMovesToPrevious(ShiftCode code) {
  return code == ShiftCode::kPreviousSundayHoliday ||
         code == ShiftCode::kPreviousSaturday;
}
bool ShiftSkipsSaturday(ShiftCode code) {
  return code == ShiftCode::kPreviousSaturday ||
         code == ShiftCode::kNextSaturday;
}

std::string_view WeekdayCode(int weekday) {
  return (weekday >= 1 && weekday <= 7) ? kWeekdays[weekday - 1] : "";
}

EntryFields EntryFieldsForDate(EntryKind kind, const CivilDate& date,
                               int hhnn) {
  EntryFields f;
  f.kind = kind;
  f.hhnn = hhnn;
  f.month = date.month;
  f.day = date.day;
  f.year = kind == EntryKind::kBirthday ? date.year : date.year % 100;
  if (IsValidDate(date.year, date.month, date.day)) {
    f.weekday = WeekdayOf(DayNumber(date));
  }
  if (kind == EntryKind::kWeeklySchedule || kind == EntryKind::kWeeklyPopup) {
    f.weeks = kEveryWeek;
  }
  return f;
}

std::string BirthdaysOfDayPattern(int month, int day) {
  char pattern[32];
  std::snprintf(pattern, sizeof pattern, "BORN%02d%02d.*", month, day);
  return pattern;
}

std::string BuildEntryName(const EntryFields& f) {
  const bool popup_time_ok = ValidHhnn(f.hhnn);
  switch (f.kind) {
    case EntryKind::kOneDaySchedule:
      if (!ValidMonthDay(f.month, f.day) || f.year < 0 || f.year > 99) break;
      return Format("____%.2d%.2d.%.2d", f.month, f.day, f.year);
    case EntryKind::kYearlySchedule:
      if (!ValidMonthDay(f.month, f.day)) break;
      return std::string(ScheduleShiftText(f.shift)) +
             Format("%.2d%.2d.__", f.month, f.day);
    case EntryKind::kMonthlySchedule:
      if (f.day < 1 || f.day > 31) break;
      return std::string(ScheduleShiftText(f.shift)) +
             Format("__%.2d.__", f.day);
    case EntryKind::kWeeklySchedule: {
      if (WeekdayCode(f.weekday).empty()) break;
      std::string flags;
      if (f.weeks == kLastWeek) {
        flags = "~~~~~";
      } else if (f.weeks >= 1 && f.weeks <= kEveryWeek) {
        for (int i = 0; i < 5; ++i) flags += (f.weeks >> i & 1) ? '_' : '~';
      } else {
        break;
      }
      return flags + "___." + std::string(WeekdayCode(f.weekday));
    }
    case EntryKind::kOneDayPopup:
      if (!popup_time_ok || !ValidMonthDay(f.month, f.day) || f.year < 0 ||
          f.year > 99) {
        break;
      }
      return Format("%.4d", f.hhnn) +
             Format("%.2d%.2d.%.2d", f.month, f.day, f.year);
    case EntryKind::kYearlyPopup:
      if (!popup_time_ok || !ValidMonthDay(f.month, f.day)) break;
      return Format("%.4d%.2d%.2d.", f.hhnn, f.month, f.day) +
             std::string(PopupShiftText(f.shift));
    case EntryKind::kMonthlyPopup:
      if (!popup_time_ok || f.day < 1 || f.day > 31) break;
      return Format("%.4d__%.2d.", f.hhnn, f.day) +
             std::string(PopupShiftText(f.shift));
    case EntryKind::kWeeklyPopup: {
      if (!popup_time_ok || WeekdayCode(f.weekday).empty()) break;
      std::string dow(WeekdayCode(f.weekday));
      if (f.weeks == kEveryWeek) return Format("%.4d____.", f.hhnn) + dow;
      if ((f.weeks >= 1 && f.weeks < kEveryWeek) || f.weeks == kLastWeek) {
        return Format("%.4d__%.2d.", f.hhnn, f.weeks) + dow;
      }
      break;
    }
    case EntryKind::kDailyPopup:
      if (!popup_time_ok) break;
      return Format("%.4d____.__", f.hhnn);
    case EntryKind::kElapsedPopup:
      if (f.seconds < 0 || f.seconds > 9999999) break;
      return Format("W%.7d.__", f.seconds);
    case EntryKind::kBirthday:
      if (!ValidMonthDay(f.month, f.day) || f.year < 1 || f.year > 9999) break;
      if (f.month == 2 && f.day == 29 && !IsLeapYear(f.year)) break;
      return Format("BORN%.2d%.2d.%.4d", f.month, f.day, f.year);
  }
  return "";
}

std::optional<EntryFields> ParseEntryName(std::string_view name) {
  if (name.size() > 13) return std::nullopt;
  char buf[13];
  for (size_t i = 0; i < name.size(); ++i) buf[i] = Upper(name[i]);
  return ParseUpper(std::string_view(buf, name.size()));
}

EntryClass ClassifyEntryName(std::string_view name) {
  auto at = [&](size_t i) { return i < name.size() ? Upper(name[i]) : '\0'; };
  if (at(0) == 'B' && at(1) == 'O' && at(2) == 'R' && at(3) == 'N') {
    return EntryClass::kBirthday;
  }
  if (at(0) == 'W') return EntryClass::kElapsedPopup;
  size_t dot = name.rfind('.');
  size_t ext_size = dot == std::string_view::npos ? 0 : name.size() - dot - 1;
  if ((at(0) == '_' || at(0) == '~') && ext_size == 3) {
    return EntryClass::kWeeklySchedule;
  }
  if (name.size() >= 4 && ScheduleShiftOf(name.substr(0, 4))) {
    return EntryClass::kSchedule;
  }
  return EntryClass::kPopup;
}

bool IsPopupClass(EntryClass c) {
  return c == EntryClass::kPopup || c == EntryClass::kElapsedPopup;
}

std::string ElapsedNameForUptime(long long uptime_seconds) {
  if (uptime_seconds < 0) uptime_seconds = 0;
  const long long rounded = uptime_seconds / 10 * 10;
  if (rounded > 9999999) return "";
  return Format("W%.7d.__", int(rounded));
}

}  // namespace mirokata
