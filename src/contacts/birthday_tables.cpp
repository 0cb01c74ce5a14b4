#include "contacts/birthday_tables.h"

#include <algorithm>
#include <array>

namespace mirokata {
namespace {

struct SignRow {
  int first_key;  // month * 100 + day the sign starts on
  ZodiacSign sign;
};

// Each table in calendar order; the sign that runs over the new year is
// the last row and also covers the keys before the first row.
constexpr std::array<SignRow, 12> kTwelveSigns = {{
    {120, {"水瓶座", "1/20～2/18", "MIDUGAME"}},
    {219, {"魚座", "2/19～3/20", "UO"}},
    {321, {"牡羊座", "3/21～4/19", "OHITUJI"}},
    {420, {"牡牛座", "4/20～5/20", "OUSI"}},
    {521, {"双子座", "5/21～6/21", "HUTAGO"}},
    {622, {"蟹座", "6/22～7/22", "KANI"}},
    {723, {"獅子座", "7/23～8/22", "SISI"}},
    {823, {"乙女座", "8/23～9/22", "OTOME"}},
    {923, {"天秤座", "9/23～10/23", "TENBIN"}},
    {1024, {"蠍座", "10/24～11/22", "SASORI"}},
    {1123, {"射手座", "11/23～12/21", "ITE"}},
    {1222, {"山羊座", "12/22～1/19", "YAGI"}},
}};

constexpr std::array<SignRow, 13> kThirteenSigns = {{
    {119, {"新山羊座", "1/19～2/15", "YAGI"}},
    {216, {"新水瓶座", "2/16～3/11", "MIDUGAME"}},
    {312, {"新魚座", "3/12～4/18", "UO"}},
    {419, {"新牡羊座", "4/19～5/13", "OHITUJI"}},
    {514, {"新牡牛座", "5/14～6/20", "OUSI"}},
    {621, {"新双子座", "6/21～7/19", "HUTAGO"}},
    {720, {"新蟹座", "7/20～8/19", "KANI"}},
    {820, {"新獅子座", "8/20～9/15", "SISI"}},
    {916, {"新乙女座", "9/16～10/30", "OTOME"}},
    {1031, {"新天秤座", "10/31～11/22", "TENBIN"}},
    {1123, {"新蠍座", "11/23～11/29", "SASORI"}},
    {1130, {"蛇遣い座", "11/30～12/17", "HEBITUKAI"}},
    {1218, {"新射手座", "12/18～1/18", "ITE"}},
}};

template <size_t N>
ZodiacSign SignIn(const std::array<SignRow, N>& table, int key) {
  // The last row whose start is not after the key; before the first row
  // the year-end sign still holds.
  const SignRow* found = &table.back();
  for (const SignRow& row : table) {
    if (row.first_key > key) break;
    found = &row;
  }
  return found->sign;
}

// Indexed by year mod 12.
constexpr std::array<YearAnimal, 12> kAnimals = {{
    {"申", "SARU"},
    {"酉", "TORI"},
    {"戌", "INU"},
    {"亥", "I"},
    {"子", "NE"},
    {"丑", "USI"},
    {"寅", "TORA"},
    {"卯", "U"},
    {"辰", "TATU"},
    {"巳", "MI"},
    {"午", "UMA"},
    {"未", "HITUJI"},
}};

constexpr std::array<BirthMonthFacts, 12> kMonths = {{
    {"(睦月)", "ガーネット", "ONE"},
    {"(如月)", "アメジスト", "TWO"},
    {"(弥生)", "アクアマリン", "THREE"},
    {"(卯月)", "ダイヤモンド", "FOUR"},
    {"(皐月)", "エメラルド", "FIVE"},
    {"(水無月)", "ムーンストーン", "SIX"},
    {"(文月)", "ルビー", "SEVEN"},
    {"(葉月)", "ペリドット", "EIGHT"},
    {"(長月)", "サファイア", "NINE"},
    {"(神無月)", "ピンクトルマリン", "TEN"},
    {"(霜月)", "シトリン", "ELEVEN"},
    {"(師走)", "トルコ石", "TWELVE"},
}};

struct AgeName {
  int age;
  std::string_view name;
};

constexpr AgeName kAliases[] = {{15, "(志学)"}, {20, "(弱冠)"}, {30, "(而立)"},
                                {40, "(不惑)"}, {50, "(知命)"}, {60, "(耳順)"}};

constexpr AgeName kCelebrations[] = {
    {60, "(還暦)"}, {69, "(古希)"}, {76, "(喜寿)"}, {79, "(傘樹)"},
    {87, "(米寿)"}, {89, "(卆寿)"}, {98, "(白寿)"}, {99, "(上寿)"}};

template <size_t N>
std::string_view AgeNameIn(const AgeName (&table)[N], int age) {
  for (const AgeName& row : table) {
    if (row.age == age) return row.name;
  }
  return {};
}

}  // namespace

ZodiacSign ZodiacSignOf(int month, int day, bool thirteen_signs) {
  const int key = month * 100 + day;
  return thirteen_signs ? SignIn(kThirteenSigns, key)
                        : SignIn(kTwelveSigns, key);
}

YearAnimal YearAnimalOf(int year) { return kAnimals[((year % 12) + 12) % 12]; }

BirthMonthFacts BirthMonthFactsOf(int month) {
  return kMonths[std::clamp(month, 1, 12) - 1];
}

std::string_view AgeAliasOf(int age) { return AgeNameIn(kAliases, age); }

std::string_view AgeCelebrationOf(int age) {
  return AgeNameIn(kCelebrations, age);
}

}  // namespace mirokata
