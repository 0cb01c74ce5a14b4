// The birthday book's arithmetic and files: birth dates made valid, ages,
// the entry name of a birth date, the list of registered birthdays with the
// days left until each, the biorhythm chart's points and the greeting text
// of a day.
#ifndef MIROKATA_CONTACTS_BIRTHDAY_BOOK_H_
#define MIROKATA_CONTACTS_BIRTHDAY_BOOK_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/gregorian.h"

namespace mirokata {

class EntryFolder;

// The year 1-9999 and the month 1-12 clamped, then the day lowered until
// the date exists (31 April is 30 April, 30 February 28 or 29 February).
CivilDate ClampBirthDate(int year, int month, int day);

// Whole years from the birth date to today (one less before this year's
// birthday).
int AgeOn(const CivilDate& birth, const CivilDate& today);
// The birth year of someone `age` years old today, born on month/day.
int BirthYearForAge(int age, int month, int day, const CivilDate& today);

// "BORNmmdd.yyyy"; empty for a date no entry can name.
std::string BirthdayEntryName(const CivilDate& birth);

// The next birthday on or after today. Someone born on 29 February has it
// on 29 February in leap years and on 1 March in the others.
CivilDate NextBirthday(int month, int day, const CivilDate& today);
int DaysToNextBirthday(int month, int day, const CivilDate& today);

struct BirthdayListItem {
  std::string text;  // "mm月dd日【yyyy年】あと N日"
  std::string name;  // the entry name as on disk
  CivilDate birth;
};

// Every birthday file of the folder, sorted by text (so by month and day).
// Names that hold no birthday (a year that is no number, 30 February, 29
// February of a common year) are left out.
std::vector<BirthdayListItem> BirthdayList(EntryFolder& folder,
                                           const CivilDate& today);

// The greeting of `today`: for every birthday file of today's month and
// day, its header line (none when the name's year is no number) and then
// its plain text. Lines are separated by "\n".
std::string BirthdayGreetingText(EntryFolder& folder, const CivilDate& today);

// The biorhythm chart of a month: a picture `width` x `height`, one
// column step = width / 30.
struct ChartPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ChartPoint&) const = default;
};

// Physical (23 days), emotional (28) and intellectual (33), in that order.
inline constexpr std::array<int, 3> kBiorhythmPeriods = {23, 28, 33};

// The 32 points (days 0 to 31 of the month's columns) of each curve.
std::array<std::vector<ChartPoint>, 3> BiorhythmCurves(const CivilDate& birth,
                                                       int year, int month,
                                                       int width, int height);

// How the chart draws the vertical line of day 1-31.
enum class ChartLine { kSolid, kDotted, kDottedSilver, kToday };
// today_day: today's day when the chart shows the current month, else 0.
ChartLine ChartLineOf(int day, int today_day);

}  // namespace mirokata

#endif  // MIROKATA_CONTACTS_BIRTHDAY_BOOK_H_
