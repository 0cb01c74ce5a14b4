#include "schedule/manager_lines.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "schedule/entry_files.h"
#include "schedule/entry_match.h"
#include "schedule/entry_text.h"
#include "schedule/folder_index.h"

namespace mirokata {
namespace {

constexpr const char* kWeekdayNames[] = {"日曜日", "月曜日", "火曜日", "水曜日",
                                         "木曜日", "金曜日", "土曜日"};
constexpr const char* kWeekTexts[] = {"第１", "第２", "第３", "第４", "第５"};
constexpr char kNoWeek[] = "　　";

// The characters at 1-based position `pos`, as many of `count` as the name
// has: a short name gives a short (or empty) field, never bytes past it.
std::string_view Field(std::string_view name, size_t pos, size_t count) {
  if (pos - 1 >= name.size()) return {};
  return name.substr(pos - 1, count);
}

std::string_view Extension(std::string_view name) { return Field(name, 10, 4); }

bool IsDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(),
                                   [](char c) { return c >= '0' && c <= '9'; });
}

// 1 = Sunday ... 7 = Saturday for a weekday code in any case, else 0.
int WeekdayOfCode(std::string_view ext) {
  const std::string upper = UpperAscii(ext);
  for (int n = 1; n <= 7; ++n) {
    if (upper == WeekdayCode(n)) return n;
  }
  return 0;
}

std::string WeekdayName(int n) { return n >= 1 ? kWeekdayNames[n - 1] : ""; }
std::string Digit(int n) {
  return n >= 1 ? std::string(1, char('0' + n)) : "?";
}

std::string_view ScheduleShiftDescription(std::string_view stem) {
  for (ShiftCode code : kAllShiftCodes) {
    if (stem == ScheduleShiftText(code)) return ShiftDescription(code);
  }
  return {};
}

std::string PopupShiftDescription(std::string_view ext) {
  for (ShiftCode code : kAllShiftCodes) {
    if (code != ShiftCode::kNone && ext == PopupShiftText(code)) {
      return " " + std::string(ShiftDescription(code));
    }
  }
  return {};
}

std::string Time(std::string_view name) {
  return std::string(Field(name, 1, 2)) + "時" +
         std::string(Field(name, 3, 2)) + "分";
}

// "(　　第２　　第４　　)": flag "_" is a week that applies; five "~"
// are the last week.
std::string WeekFlagsText(std::string_view name) {
  const std::string_view flags = Field(name, 1, 5);
  if (Field(name, 1, 8) == "________") return {};
  std::string text = "(";
  for (size_t i = 0; i < 4; ++i) {
    text += i < flags.size() && flags[i] == '_' ? kWeekTexts[i] : kNoWeek;
  }
  if (flags.size() == 5 && flags[4] == '_') {
    text += kWeekTexts[4];
  } else if (flags == "~~~~~") {
    text += "最終";
  } else {
    text += kNoWeek;
  }
  return text + ")";
}

// "(第１　　第３　　　　) ", "(最終) " or "(毎週) ".
std::string WeekMaskText(std::string_view name) {
  if (Field(name, 5, 4) == "____") return "(毎週) ";
  const std::string_view digits = Field(name, 7, 2);
  // Not a number counts as no week at all.
  const int mask = IsDigits(digits) ? std::stoi(std::string(digits)) : 0;
  if (mask == kLastWeek) return "(最終) ";
  std::string text = "(";
  for (int i = 0; i < 5; ++i) {
    text += (mask & (1 << i)) != 0 ? kWeekTexts[i] : kNoWeek;
  }
  return text + ") ";
}

std::string ElapsedText(std::string_view name) {
  const std::string_view seconds = Field(name, 2, 7);
  char text[16] = "";
  if (IsDigits(seconds)) {
    std::snprintf(text, sizeof text, "%7d", std::stoi(std::string(seconds)));
    return std::string("Win98 : ") + text + "秒経過（Windows起動後）";
  }
  // Not a number: its characters, right-aligned all the same.
  return "Win98 : " + std::string(7 - seconds.size(), ' ') +
         std::string(seconds) + "秒経過（Windows起動後）";
}

std::string ScheduleText(std::string_view name) {
  const std::string_view stem = Field(name, 1, 4);
  const std::string mm(Field(name, 5, 2));
  const std::string dd(Field(name, 7, 2));
  const std::string_view ext = Extension(name);
  if (ext != "__" && stem == "____") {
    return "To_do : " + std::string(ext) + "年" + mm + "月" + dd + "日 ";
  }
  const std::string shift(ScheduleShiftDescription(stem));
  if (mm == "__") return "To_do : 毎月" + dd + "日 " + shift;
  return "To_do : 毎年" + mm + "月" + dd + "日 " + shift;
}

std::string WeeklyScheduleText(std::string_view name) {
  const int n = WeekdayOfCode(Extension(name));
  return "Week" + Digit(n) + " : " + WeekdayName(n) + WeekFlagsText(name);
}

std::string PopupText(std::string_view name) {
  const std::string_view ext = Extension(name);
  const std::string mm(Field(name, 5, 2));
  const std::string dd(Field(name, 7, 2));
  if (ext.size() == 3) {
    const int n = WeekdayOfCode(ext);
    return "Popw" + Digit(n) + " : " + WeekdayName(n) + WeekMaskText(name) +
           Time(name);
  }
  if (Field(name, 5, 4) == "____" && ext == "__") {
    return "Popup : 毎日 " + Time(name);
  }
  if (mm == "__") {
    return "Popup : 毎月" + dd + "日 " + Time(name) +
           PopupShiftDescription(ext);
  }
  if (IsDigits(ext)) {
    return "Popup : " + std::string(ext) + "年" + mm + "月" + dd + "日 " +
           Time(name);
  }
  return "Popup : 毎年" + mm + "月" + dd + "日 " + Time(name) +
         PopupShiftDescription(ext);
}

// Bytes that are no UTF-8 (a name from another system, a field cut inside
// a character) become U+FFFD, so the text shows and sorts as it is.
std::string ValidUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = s[i];
    size_t len = 0;
    unsigned int min = 0;
    if (c < 0x80) {
      len = 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
      len = 2, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4, min = 0x10000;
    }
    bool ok = len > 0 && i + len <= s.size();
    unsigned int code = len == 1 ? c : c & (0x7F >> len);
    for (size_t k = 1; ok && k < len; ++k) {
      const unsigned char t = s[i + k];
      ok = (t & 0xC0) == 0x80;
      code = (code << 6) | (t & 0x3F);
    }
    ok = ok && code >= min && code <= 0x10FFFF &&
         !(code >= 0xD800 && code <= 0xDFFF);
    if (ok) {
      out.append(s.substr(i, len));
      i += len;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

bool IsBirthdayName(std::string_view name) {
  return UpperAscii(name.substr(0, 4)) == "BORN";
}

// The date and time of a one-day entry, when the name is a valid one.
struct OneDay {
  CivilDate date;
  int hhnn = -1;
};
std::optional<OneDay> OneDayOf(std::string_view name, int current_year) {
  std::optional<EntryFields> fields = ParseEntryName(name);
  if (!fields) return std::nullopt;
  std::optional<CivilDate> date = OneDayEntryDate(*fields, current_year);
  if (!date) return std::nullopt;
  return OneDay{*date,
                fields->kind == EntryKind::kOneDayPopup ? fields->hhnn : -1};
}

bool Wanted(std::string_view name, ManagerMode mode, const LocalTime& now,
            const CivilDate& chosen_day) {
  if (IsBirthdayName(name)) return false;
  if (mode == ManagerMode::kAll) return true;
  const std::optional<OneDay> one_day = OneDayOf(name, now.year);
  if (!one_day) return false;
  if (mode == ManagerMode::kChosenDay) return one_day->date == chosen_day;
  const int32_t day = DayNumber(one_day->date);
  const int32_t today = DayNumber(now.year, now.month, now.day);
  if (day != today) return day < today;
  // Today's schedules are never past; a popup is once its minute has begun.
  const int now_hhnnss = now.hour * 10000 + now.minute * 100 + now.second;
  return one_day->hhnn >= 0 && one_day->hhnn * 100 < now_hhnnss;
}

void SortLines(std::vector<ManagerLine>& lines) {
  std::sort(lines.begin(), lines.end(),
            [](const ManagerLine& a, const ManagerLine& b) {
              return std::tie(a.text, a.name) < std::tie(b.text, b.name);
            });
}

}  // namespace

ManagerLine ManagerLineOf(std::string_view name, int current_year) {
  ManagerLine line;
  line.name = std::string(name);
  line.entry_class = ClassifyEntryName(name);
  std::string text;
  switch (line.entry_class) {
    case EntryClass::kBirthday:
      break;
    case EntryClass::kElapsedPopup:
      text = ElapsedText(name);
      break;
    case EntryClass::kWeeklySchedule:
      text = WeeklyScheduleText(name);
      break;
    case EntryClass::kSchedule:
      text = ScheduleText(name);
      break;
    case EntryClass::kPopup:
      text = PopupText(name);
      break;
  }
  line.text = ValidUtf8(text);
  if (std::optional<OneDay> one_day = OneDayOf(name, current_year)) {
    line.date = one_day->date;
    line.hhnn = one_day->hhnn;
  }
  return line;
}

std::vector<ManagerLine> BuildManagerLines(
    const std::vector<std::string>& names, ManagerMode mode,
    const LocalTime& now, const CivilDate& chosen_day) {
  std::vector<ManagerLine> lines;
  for (const std::string& name : names) {
    if (Wanted(name, mode, now, chosen_day)) {
      lines.push_back(ManagerLineOf(name, now.year));
    }
  }
  SortLines(lines);
  return lines;
}

std::vector<ManagerLine> BuildManagerLines(EntryFolder& folder,
                                           ManagerMode mode,
                                           const LocalTime& now,
                                           const CivilDate& chosen_day) {
  if (mode != ManagerMode::kChosenDay) {
    return BuildManagerLines(folder.Snapshot()->AllNames(), mode, now,
                             chosen_day);
  }
  // Only names with the day's digits can be of that day.
  char pattern[32];
  std::snprintf(pattern, sizeof pattern, "????%02d%02d.%02d",
                chosen_day.month % 100, chosen_day.day % 100,
                ((chosen_day.year % 100) + 100) % 100);
  return BuildManagerLines(folder.List(pattern), mode, now, chosen_day);
}

std::string ManagerPreviewText(EntryFolder& folder, std::string_view name) {
  std::string content;
  // One byte more than the limit says the file is larger.
  if (folder.ReadContent(name, &content, kManagerPreviewLimit + 1) !=
          ReadResult::kOk ||
      content.size() > kManagerPreviewLimit) {
    return {};
  }
  return EntryTextForDisplay(content, false);
}

}  // namespace mirokata
