#include "contacts/birthday_book.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>

#include "schedule/day_info.h"
#include "schedule/entry_files.h"
#include "schedule/entry_name.h"
#include "schedule/entry_text.h"

namespace mirokata {
namespace {

bool NotAfter(const CivilDate& a, const CivilDate& b) {
  return std::tie(a.year, a.month, a.day) <= std::tie(b.year, b.month, b.day);
}

// The day a birthday is kept in `year`: 29 February falls back to 1 March
// in a common year.
CivilDate BirthdayIn(int year, int month, int day) {
  if (month == 2 && day == 29 && !IsLeapYear(year)) return {year, 3, 1};
  return ValidDate(year, month, day);
}

// Whether this year's birthday on month/day has come by today.
bool HadBirthday(int month, int day, const CivilDate& today) {
  return today.month > month || (today.month == month && today.day >= day);
}

}  // namespace

CivilDate ClampBirthDate(int year, int month, int day) {
  return ValidDate(std::clamp(year, 1, 9999), std::clamp(month, 1, 12),
                   std::clamp(day, 1, 31));
}

int AgeOn(const CivilDate& birth, const CivilDate& today) {
  return today.year - birth.year -
         (HadBirthday(birth.month, birth.day, today) ? 0 : 1);
}

int BirthYearForAge(int age, int month, int day, const CivilDate& today) {
  return today.year - age - (HadBirthday(month, day, today) ? 0 : 1);
}

std::string BirthdayEntryName(const CivilDate& birth) {
  return BuildEntryName(EntryFieldsForDate(EntryKind::kBirthday, birth));
}

CivilDate NextBirthday(int month, int day, const CivilDate& today) {
  const CivilDate this_year = BirthdayIn(today.year, month, day);
  if (NotAfter(today, this_year)) return this_year;
  return BirthdayIn(today.year + 1, month, day);
}

int DaysToNextBirthday(int month, int day, const CivilDate& today) {
  return DayNumber(NextBirthday(month, day, today)) - DayNumber(today);
}

std::vector<BirthdayListItem> BirthdayList(EntryFolder& folder,
                                           const CivilDate& today) {
  std::vector<BirthdayListItem> items;
  for (const std::string& name : folder.List("BORN*.*")) {
    const std::optional<EntryFields> fields = ParseEntryName(name);
    if (!fields || fields->kind != EntryKind::kBirthday) continue;
    BirthdayListItem item;
    item.name = name;
    item.birth = {fields->year, fields->month, fields->day};
    item.text =
        name.substr(4, 2) + "月" + name.substr(6, 2) + "日【" +
        name.substr(9, 4) + "年】あと " +
        std::to_string(DaysToNextBirthday(fields->month, fields->day, today)) +
        "日";
    items.push_back(std::move(item));
  }
  std::stable_sort(items.begin(), items.end(),
                   [](const BirthdayListItem& a, const BirthdayListItem& b) {
                     return a.text < b.text;
                   });
  return items;
}

std::string BirthdayGreetingText(EntryFolder& folder, const CivilDate& today) {
  std::string out;
  auto add_line = [&out](std::string_view line) {
    if (!out.empty()) out += '\n';
    out += line;
  };
  const FolderPin pin(&folder);
  for (const std::string& name :
       folder.List(BirthdaysOfDayPattern(today.month, today.day))) {
    const std::string header = BirthdayHeader(name, today);
    if (!header.empty()) add_line(header);
    std::string text;
    if (ReadEntryTextForDisplay(folder, name, &text) != ReadResult::kOk) {
      continue;
    }
    std::string lines;
    for (char c : text) {
      if (c != '\r') lines += c;
    }
    add_line(lines);
  }
  return out;
}

std::array<std::vector<ChartPoint>, 3> BiorhythmCurves(const CivilDate& birth,
                                                       int year, int month,
                                                       int width, int height) {
  const int step = width / 30;
  const int middle = height / 2;
  const long long d0 =
      static_cast<long long>(DayNumber(year, month, 1)) - DayNumber(birth) - 1;
  std::array<std::vector<ChartPoint>, 3> curves;
  for (size_t c = 0; c < curves.size(); ++c) {
    const long long period = kBiorhythmPeriods[c];
    for (int i = 0; i <= 31; ++i) {
      // The remainder keeps the sign of the day count: a birth after the
      // chart's days still gives the same wave.
      const long long phase = (d0 + i) % period;
      const long double swing =
          middle * std::sin(2 * std::numbers::pi_v<long double> * phase /
                            static_cast<long double>(period));
      curves[c].push_back({i * step, middle - static_cast<int>(swing)});
    }
  }
  return curves;
}

ChartLine ChartLineOf(int day, int today_day) {
  if (day == today_day) return ChartLine::kToday;
  if (day == 1 || day == 10 || day == 20 || day == 30) return ChartLine::kSolid;
  if (day == 5 || day == 15 || day == 25) return ChartLine::kDotted;
  return ChartLine::kDottedSilver;
}

}  // namespace mirokata
