// The small tables of the birthday book: the zodiac signs of both systems,
// the animals of the years, the old month names and birthstones, and the
// names of special ages. Pictures are named; the windows draw them.
#ifndef MIROKATA_CONTACTS_BIRTHDAY_TABLES_H_
#define MIROKATA_CONTACTS_BIRTHDAY_TABLES_H_

#include <string_view>

namespace mirokata {

struct ZodiacSign {
  std::string_view name;     // "山羊座"
  std::string_view range;    // "12/22～1/19", the hint of the sign
  std::string_view picture;  // "YAGI"
};

// The sign of a month and day (month * 100 + day beyond the table, such as
// 13/40, falls to the sign that runs over the new year).
ZodiacSign ZodiacSignOf(int month, int day, bool thirteen_signs);

struct YearAnimal {
  std::string_view name;     // "子"
  std::string_view picture;  // "NE"
};

// By the birth year mod 12 (years before 1 keep the same twelve-year cycle).
YearAnimal YearAnimalOf(int year);

struct BirthMonthFacts {
  std::string_view old_name;  // "(睦月)"
  std::string_view stone;     // "ガーネット"
  std::string_view picture;   // "ONE"
};

// Months outside 1-12 are clamped into it.
BirthMonthFacts BirthMonthFactsOf(int month);

// "(志学)" for 15 ... "(耳順)" for 60; empty for every other age.
std::string_view AgeAliasOf(int age);
// "(還暦)" for 60 ... "(上寿)" for 99; empty for every other age.
std::string_view AgeCelebrationOf(int age);

}  // namespace mirokata

#endif  // MIROKATA_CONTACTS_BIRTHDAY_TABLES_H_
