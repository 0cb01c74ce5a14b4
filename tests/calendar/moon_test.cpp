#include "calendar/moon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "calendar/gregorian.h"
#include "calendar/lunisolar.h"

namespace mirokata {
namespace {

constexpr long double kMinute = 1.0L / 1440;

// Date-time value of a Universal Time instant.
long double Ut(int year, int month, int day, int hour = 0, int minute = 0) {
  return DateTimeOfDayNumber(DayNumber(year, month, day)) +
         (hour * 60 + minute) * kMinute;
}

// The worked examples of the published method are given in dynamical time.
long double Tt(int year, int month, int day) {
  const long double t = Ut(year, month, day);
  return t - DeltaTSeconds(2000 + (t - 36526) / 365.25L) / 86400;
}

TEST(JulianDateOf, CountsFromTheGregorianSwitch) {
  EXPECT_EQ(DateTimeOfDayNumber(DayNumber(1899, 12, 30)), 0);
  EXPECT_EQ(JulianDateOf(Ut(2000, 1, 1, 12)), 2451545);
  EXPECT_EQ(JulianDateOf(Ut(1582, 10, 15)), 2299160.5L);
  EXPECT_EQ(JulianDateOf(Ut(1582, 10, 4, 12)), 0);
}

TEST(MoonPosition, MatchesThePublishedWorkedExample) {
  // 1992 April 12, 0h dynamical time.
  const MoonPlace moon = MoonPosition(Tt(1992, 4, 12));
  EXPECT_NEAR(moon.longitude, 133.162655, 2e-5);
  EXPECT_NEAR(moon.latitude, -3.229126, 2e-5);
  EXPECT_NEAR(moon.distance_km, 368409.7, 0.2);
  // Sunlit on the side away from the sun's longitude, waxing.
  EXPECT_NEAR(PhaseAngle(Tt(1992, 4, 12)), 69.0756, 0.01);
  EXPECT_NEAR(IlluminatedFraction(Tt(1992, 4, 12)), 0.6786, 0.0005);
}

TEST(SunPosition, MatchesThePublishedWorkedExample) {
  // 1992 October 13, 0h dynamical time: apparent longitude 199.90895 less
  // the aberration term that this formula subtracts once more (20.49"/R).
  const SunPlace sun = SunPosition(Tt(1992, 10, 13));
  EXPECT_NEAR(sun.longitude, 199.90895 - 0.0056916 / 0.99766, 5e-5);
  EXPECT_NEAR(sun.distance_km / 149597869, 0.99766, 1e-5);
}

TEST(PhaseAngle, SignAndFractionThroughOneLunation) {
  // New moon 26 February 2017 14:58 UT, full moon 12 March 14:54 UT.
  const long double new_moon = Ut(2017, 2, 26, 14, 58);
  EXPECT_LT(IlluminatedFraction(new_moon), 0.005);
  EXPECT_GT(PhaseAngle(new_moon + 3), 0);  // waxing
  EXPECT_GT(IlluminatedFraction(Ut(2017, 3, 12, 14, 54)), 0.995);
  EXPECT_LT(PhaseAngle(Ut(2017, 3, 20)), 0);  // waning
  EXPECT_NEAR(IlluminatedFraction(new_moon + 7.4L), 0.5, 0.08);
}

// The age is the time since the last new moon, not the elongation turned
// into days (which is off by up to a day as the moon's speed varies).
TEST(MoonAge, IsTheTimeSinceTheLastNewMoon) {
  const long double new_moon = Ut(2017, 2, 26, 14, 58);
  const long double previous = Ut(2017, 1, 28, 0, 7);
  struct Case {
    long double t;
    long double age;
  } cases[] = {
      {new_moon + 10 * kMinute, 10 * kMinute},
      {new_moon + 7.4L, 7.4L},
      {new_moon + 14, 14},
      {new_moon + 29, 29},
      {new_moon - 10 * kMinute, new_moon - previous - 10 * kMinute},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(MoonAge(c.t), c.age, 2 * kMinute) << static_cast<double>(c.age);
  }
}

// Every six hours through a year the age grows by six hours, except at one
// reset per lunation, right after a new moon.
TEST(MoonAge, GrowsSteadilyAndResetsOncePerLunation) {
  const long double step = 6.0L / 24;
  long double previous = MoonAge(Ut(2017, 1, 1));
  int resets = 0;
  for (long double t = Ut(2017, 1, 1) + step; t < Ut(2018, 1, 1); t += step) {
    const long double age = MoonAge(t);
    if (age < previous) {
      ++resets;
      EXPECT_GT(previous, 29.0) << static_cast<double>(t);
      EXPECT_LT(age, step + 1e-6) << static_cast<double>(t);
    } else {
      EXPECT_NEAR(age - previous, step, 1e-6) << static_cast<double>(t);
    }
    previous = age;
  }
  EXPECT_EQ(resets, 12);  // the new moons of 2017
}

// The last lunation found is kept; the age must not depend on what was
// asked before.
TEST(MoonAge, DoesNotDependOnTheOrderOfQuestions) {
  std::vector<long double> times;
  for (int i = 0; i < 40; ++i) times.push_back(Ut(2024, 1, 1) + i * 2.9L);
  std::vector<long double> forward;
  for (long double t : times) forward.push_back(MoonAge(t));
  // Backwards, and every other time after a question decades away.
  for (int i = 39; i >= 0; --i) {
    if (i % 2) MoonAge(Ut(1950, 6, 1) + i * 1000);
    EXPECT_NEAR(MoonAge(times[i]), forward[i], 1e-6) << i;
  }
}

// Before the Gregorian switch the Julian Date label reads 0, but the sky
// still moves: at noon in Japan the age agrees with the lunisolar day
// (day 1 is the day of the new moon) on both sides of October 1582.
TEST(MoonAge, FollowsTheLunisolarDaysAcrossThe1582Switch) {
  const int32_t first = DayNumber(1582, 6, 1);
  for (int32_t n = first; n < first + 365; ++n) {
    const CivilDate d = CivilDateOf(n);
    const LunarDate lunar = LunarDateOf(LocalDayCount(d.year, d.month, d.day));
    long double age = MoonAge(DateTimeOfDayNumber(n) + 3.0L / 24);
    // A new moon later on day 1 leaves noon at the end of the last lunation.
    if (lunar.day == 1 && age > 28) age -= kSynodicMonth;
    EXPECT_NEAR(age, lunar.day - 1, 1.0L)
        << d.year << "-" << d.month << "-" << d.day;
  }
}

TEST(MoonPanelTexts, LabelsAsTheyAreShown) {
  EXPECT_EQ(JulianDateText(2451545), "2451545.00000");
  EXPECT_EQ(JulianDateText(0), "     0.00000");
  EXPECT_EQ(MoonPanelTextsOf(Ut(2000, 1, 1, 12)).julian_date, "2451545.00000");

  struct AgeCase {
    long double age;
    const char* text;
  } ages[] = {
      {29.5L, "29 days, 12 hours, 0 minutes."},
      {7.4L, "7 days, 9 hours, 36 minutes."},
      {0, "0 days, 0 hours, 0 minutes."},
      // Whole minutes are truncated, after rounding to milliseconds.
      {(59 * 60 + 59.9994L) / 86400, "0 days, 0 hours, 59 minutes."},
      {(59 * 60 + 59.9996L) / 86400, "0 days, 1 hours, 0 minutes."},
      {2 - 1e-10L, "2 days, 0 hours, 0 minutes."},
      {std::numeric_limits<long double>::quiet_NaN(),
       "0 days, 0 hours, 0 minutes."},
  };
  for (const AgeCase& c : ages) {
    EXPECT_EQ(AgeText(c.age), c.text) << static_cast<double>(c.age);
  }

  struct PhaseCase {
    long double fraction;
    const char* text;
  } phases[] = {
      {0, "0% (0%=New,100%=Full)"},     {0.004L, "0% (0%=New,100%=Full)"},
      {0.5L, "50% (0%=New,100%=Full)"}, {0.994L, "99% (0%=New,100%=Full)"},
      {1, "100% (0%=New,100%=Full)"},
  };
  for (const PhaseCase& c : phases) {
    EXPECT_EQ(PhaseText(c.fraction), c.text);
  }

  const MoonPanelTexts new_moon = MoonPanelTextsOf(Ut(2017, 2, 26, 15, 8));
  EXPECT_EQ(new_moon.phase, "0% (0%=New,100%=Full)");
  EXPECT_EQ(new_moon.age.rfind("0 days, 0 hours, ", 0), 0u) << new_moon.age;
  const MoonPanelTexts full = MoonPanelTextsOf(Ut(2017, 3, 12, 14, 54));
  EXPECT_TRUE(full.phase == "100% (0%=New,100%=Full)" ||
              full.phase == "99% (0%=New,100%=Full)")
      << full.phase;
  EXPECT_EQ(full.age.rfind("13 days, 23 hours, ", 0), 0u) << full.age;
}

}  // namespace
}  // namespace mirokata
