#include "calendar/holiday_law.h"

#include <cstdint>

#include "calendar/gregorian.h"

namespace mirokata {

namespace {

// Day of month of the n-th Monday (n from 1).
int NthMonday(int year, int month, int n) {
  const int first_weekday = WeekdayOf(DayNumber(year, month, 1));
  const int first_monday = 1 + (kMonday - first_weekday + 7) % 7;
  return first_monday + 7 * (n - 1);
}

// The law and the amendments that changed the rules for every year.
const int32_t kLawStart = DayNumber(1948, 7, 20);
const int32_t kSubstituteStart = DayNumber(1973, 4, 12);
const int32_t kCitizensStart = DayNumber(1985, 12, 27);
const int32_t kAmendment2007 = DayNumber(2007, 1, 1);

struct OneOff {
  int y, m, d;
  const char* name;
};
const OneOff kOneOffs[] = {
    {1959, 4, 10, "【皇太子明仁親王の結婚の儀】"},
    {1989, 2, 24, "【昭和天皇の大喪の礼】"},
    {1990, 11, 12, "【即位礼正殿の儀】"},
    {1993, 6, 9, "【皇太子徳仁親王の結婚の儀】"},
    {2019, 5, 1, "【天皇の即位の日】"},
    {2019, 10, 22, "【即位礼正殿の儀】"},
};

const char* NationalByDate(int y, int m, int d) {
  switch (m) {
    case 1:
      if (d == 1 && y >= 1949) return "【元日】";
      if (y >= 1949 && y <= 1999 && d == 15) return "【成人の日】";
      if (y >= 2000 && d == NthMonday(y, 1, 2)) return "【成人の日】";
      break;
    case 2:
      if (d == 11 && y >= 1967) return "【建国記念の日】";
      if (d == 23 && y >= 2020) return "【天皇誕生日】";
      break;
    case 3:
      if (y >= 1949 && d == VernalEquinoxDay(y)) return "【春分の日】";
      break;
    case 4:
      if (d == 29) {
        if (y >= 1949 && y <= 1988) return "【天皇誕生日】";
        if (y >= 1989 && y <= 2006) return "【みどりの日】";
        if (y >= 2007) return "【昭和の日】";
      }
      break;
    case 5:
      if (d == 3 && y >= 1949) return "【憲法記念日】";
      if (d == 4 && y >= 2007) return "【みどりの日】";
      if (d == 5 && y >= 1949) return "【こどもの日】";
      break;
    case 7:
      if (y == 2020) {
        if (d == 23) return "【海の日】";
        if (d == 24) return "【スポーツの日】";
      } else if (y == 2021) {
        if (d == 22) return "【海の日】";
        if (d == 23) return "【スポーツの日】";
      } else if (y >= 1996 && y <= 2002) {
        if (d == 20) return "【海の日】";
      } else if (y >= 2003 && d == NthMonday(y, 7, 3)) {
        return "【海の日】";
      }
      break;
    case 8:
      if (y == 2020) {
        if (d == 10) return "【山の日】";
      } else if (y == 2021) {
        if (d == 8) return "【山の日】";
      } else if (y >= 2016 && d == 11) {
        return "【山の日】";
      }
      break;
    case 9:
      if (y >= 1966 && y <= 2002 && d == 15) return "【敬老の日】";
      if (y >= 2003 && d == NthMonday(y, 9, 3)) return "【敬老の日】";
      if (y >= 1948 && d == AutumnalEquinoxDay(y)) return "【秋分の日】";
      break;
    case 10:
      if (y >= 1966 && y <= 1999 && d == 10) return "【体育の日】";
      if (y >= 2000 && y <= 2019 && d == NthMonday(y, 10, 2)) {
        return "【体育の日】";
      }
      if (y >= 2022 && d == NthMonday(y, 10, 2)) return "【スポーツの日】";
      break;
    case 11:
      if (d == 3) return "【文化の日】";
      if (d == 23) return "【勤労感謝の日】";
      break;
    case 12:
      if (d == 23 && y >= 1989 && y <= 2018) return "【天皇誕生日】";
      break;
  }
  for (const OneOff& o : kOneOffs) {
    if (o.y == y && o.m == m && o.d == d) return o.name;
  }
  return nullptr;
}

const char* NationalByNumber(int32_t n) {
  if (n < kLawStart) return nullptr;
  const CivilDate c = CivilDateOf(n);
  return NationalByDate(c.year, c.month, c.day);
}

bool IsSubstitute(int32_t n) {
  if (n < kSubstituteStart + 1 || NationalByNumber(n)) return false;
  if (n < kAmendment2007) {
    return WeekdayOf(n - 1) == kSunday && n - 1 >= kSubstituteStart &&
           NationalByNumber(n - 1) != nullptr;
  }
  // The nearest day after a Sunday holiday that is not a holiday itself.
  for (int32_t k = n - 1; NationalByNumber(k) != nullptr; --k) {
    if (WeekdayOf(k) == kSunday) return true;
  }
  return false;
}

bool IsCitizensHoliday(int32_t n) {
  if (n < kCitizensStart || NationalByNumber(n)) return false;
  if (!NationalByNumber(n - 1) || !NationalByNumber(n + 1)) return false;
  if (n < kAmendment2007 && WeekdayOf(n) == kSunday) return false;
  return true;
}

}  // namespace

const char* NationalHolidayNameOf(int year, int month, int day) {
  if (!IsValidDate(year, month, day)) return nullptr;
  return NationalByNumber(DayNumber(year, month, day));
}

std::string LawHolidayNameOf(int year, int month, int day) {
  if (!IsValidDate(year, month, day)) return std::string();
  const int32_t n = DayNumber(year, month, day);
  if (const char* name = NationalByNumber(n)) return name;
  // A substitute day that also lies between two holidays is named for the
  // substitute rule, which the citizens' rule gives way to.
  if (IsSubstitute(n)) return "【振替休日】";
  if (IsCitizensHoliday(n)) return "【国民の休日】";
  return std::string();
}

}  // namespace mirokata
