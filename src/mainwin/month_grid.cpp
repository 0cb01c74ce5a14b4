#include "mainwin/month_grid.h"

#include <cstdlib>

#include "base/settings_file.h"
#include "calendar/gregorian.h"

namespace mirokata {
namespace {

constexpr const char* kColorKeys[kGridColorCount] = {
    "WeekdayColor", "SundayColor",     "SaturdayColor",
    "HolidayColor", "SpecialDayColor", "NeighborDayColor"};

int FirstWeekdayOf(int year, int month) {
  return WeekdayOf(DayNumber(year, month, 1));
}

// "m,d[,...]" with m and d read as numbers.
bool ItemNames(const std::string& item, int month, int day) {
  const char* p = item.c_str();
  char* end = nullptr;
  long m = std::strtol(p, &end, 10);
  if (end == p || *end != ',') return false;
  p = end + 1;
  long d = std::strtol(p, &end, 10);
  if (end == p || (*end != '\0' && *end != ',')) return false;
  return m == month && d == day;
}

}  // namespace

const char* GridColorKey(int index) {
  return index >= 0 && index < kGridColorCount ? kColorKeys[index] : "";
}

GridColors ReadGridColors(SettingsFile& settings) {
  Settings s = settings.Open();
  GridColors colors = kMainWindowGridColors;
  for (int i = 0; i < kGridColorCount; ++i) {
    colors[i] = ColorValueFromInt(s.ReadInteger(
        kCalendarExSection, kColorKeys[i], ColorValueToInt(colors[i])));
  }
  return colors;
}

int CellValue(int year, int month, int first_weekday, int column, int row) {
  const int x = column + 7 * row - first_weekday - 5;
  const int length = DaysInMonth(year, month);
  if (x <= 0) {
    const int previous = month == 1 ? 31 : DaysInMonth(year, month - 1);
    return x + previous + 100;
  }
  if (x > length) return x - length + 200;
  return x;
}

GridCell CellOfDay(int first_weekday, int day) {
  return {(first_weekday + day + 5) % 7, (first_weekday + day - 2) / 7 + 1};
}

MonthGridModel::MonthGridModel(int year, int month, int day)
    : year_(2000), month_(1), day_(1) {
  if (year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
      day <= DaysInMonth(year, month)) {
    year_ = year;
    month_ = month;
    day_ = day;
  }
  Recompute();
}

int MonthGridModel::day_of_week() const {
  try {
    return WeekdayOf(DayNumber(year_, month_, day_));
  } catch (const EJuliusError&) {
    return (first_weekday_ + day_ - 2) % 7 + 1;
  }
}

int MonthGridModel::days_in_month() const { return DaysInMonth(year_, month_); }

void MonthGridModel::Recompute() {
  first_weekday_ = FirstWeekdayOf(year_, month_);
  if (day_ > days_in_month()) day_ = days_in_month();
}

void MonthGridModel::Changed() {
  if (on_change_) on_change_();
}

void MonthGridModel::SetYear(int year) {
  if (year < 1 || year > 9999) return;
  year_ = year;
  Recompute();
  Changed();
}

void MonthGridModel::SetMonth(int month) {
  if (month < 1 || month > 12) return;
  month_ = month;
  Recompute();
  Changed();
}

void MonthGridModel::SetDay(int day) {
  if (day < 1 || day > days_in_month()) return;
  day_ = day;
  Changed();
}

bool MonthGridModel::SetDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month)) {
    return false;
  }
  year_ = year;
  month_ = month;
  day_ = day;
  Recompute();
  Changed();
  return true;
}

int MonthGridModel::ValueAt(int column, int row) const {
  if (column < 0 || column >= kGridColumns || row < 1 || row >= kGridRows) {
    return 0;
  }
  return CellValue(year_, month_, first_weekday_, column, row);
}

std::string MonthGridModel::TextAt(int column, int row) const {
  const int value = ValueAt(column, row);
  if (value == 0) return "";
  if (!IsSelectableValue(value) && !show_neighbor_) return "";
  return std::to_string(ShownDayOfValue(value));
}

bool MonthGridModel::CanSelect(int column, int row) const {
  return IsSelectableValue(ValueAt(column, row));
}

bool MonthGridModel::SelectCell(int column, int row) {
  const int value = ValueAt(column, row);
  if (!IsSelectableValue(value)) return false;
  SetDay(value);
  return true;
}

ColorValue MonthGridModel::Color(int index) const {
  return index >= 0 && index < kGridColorCount ? colors_[index] : kClBlack;
}

void MonthGridModel::SetColor(int index, ColorValue value) {
  if (index >= 0 && index < kGridColorCount) colors_[index] = value;
}

void MonthGridModel::SetLists(std::vector<std::string> type_of_day,
                              std::vector<std::string> special_day) {
  lists_.type_of_day = std::move(type_of_day);
  lists_.special_day = std::move(special_day);
}

bool MonthGridModel::IsSpecialDay(int month, int day) const {
  for (const std::string& item : lists_.special_day) {
    if (ItemNames(item, month, day)) return true;
  }
  return false;
}

int MonthGridModel::ColorIndexAt(SettingsFile& settings, int column,
                                 int row) const {
  if (row == 0) return -1;
  const int value = ValueAt(column, row);
  if (value == 0) return -1;
  if (!IsSelectableValue(value)) return kNeighborDayColor;
  return DayColorIndex(settings, lists_, year_, month_, value);
}

std::vector<int> MonthGridModel::DayColorIndexes(SettingsFile& settings) const {
  std::vector<int> out;
  const int length = days_in_month();
  out.reserve(length);
  for (int d = 1; d <= length; ++d) {
    out.push_back(DayColorIndex(settings, lists_, year_, month_, d));
  }
  return out;
}

int ColorIndexOfFlags(DayFlags flags) {
  if (flags & kDaySpecial) return kSpecialDayColor;
  if (flags & (kDayListed | kDaySubstitute | kDayEquinox)) {
    return kHolidayColor;
  }
  if (flags & kDaySunday) return kSundayColor;
  if (flags & kDaySaturday) return kSaturdayColor;
  return kWeekdayColor;
}

int DayColorIndex(SettingsFile& settings, const GridDayLists& lists, int year,
                  int month, int day) {
  try {
    return ColorIndexOfFlags(ClassifyDay(settings, lists, year, month, day));
  } catch (const EJuliusError&) {
    return kWeekdayColor;
  }
}

}  // namespace mirokata
