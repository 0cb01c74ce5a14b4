#include "calendar/moon.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

#include "calendar/lunisolar.h"

namespace mirokata {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kAuKm = 149597869.0L;
constexpr long double kJulianDateOfEpoch = 2415018.5L;  // 1899-12-30 0:00
// Date-time value of 15 October 1582, 0:00: the first Gregorian day.
constexpr long double kFirstGregorianInstant = -115858.0L;
constexpr long double kMillisecondsPerDay = 86400000.0L;

// Multipliers of D, M, M', F and the coefficients of the truncated lunar
// theory: longitude (1e-6 degree, sine) and distance (1e-3 km, cosine).
struct DistanceRow {
  int d, m, mp, f;
  long sigma_l, sigma_r;
};
// The latitude terms (1e-6 degree, sine).
struct LatitudeRow {
  int d, m, mp, f;
  long sigma_b;
};

constexpr std::array<DistanceRow, 60> kLongitudeDistance = {{
    {0, 0, 1, 0, 6288774, -20905355},
    {2, 0, -1, 0, 1274027, -3699111},
    {2, 0, 0, 0, 658314, -2955968},
    {0, 0, 2, 0, 213618, -569925},
    {0, 1, 0, 0, -185116, 48888},
    {0, 0, 0, 2, -114332, -3149},
    {2, 0, -2, 0, 58793, 246158},
    {2, -1, -1, 0, 57066, -152138},
    {2, 0, 1, 0, 53322, -170733},
    {2, -1, 0, 0, 45758, -204586},
    {0, 1, -1, 0, -40923, -129620},
    {1, 0, 0, 0, -34720, 108743},
    {0, 1, 1, 0, -30383, 104755},
    {2, 0, 0, -2, 15327, 10321},
    {0, 0, 1, 2, -12528, 0},
    {0, 0, 1, -2, 10980, 79661},
    {4, 0, -1, 0, 10675, -34782},
    {0, 0, 3, 0, 10034, -23210},
    {4, 0, -2, 0, 8548, -21636},
    {2, 1, -1, 0, -7888, 24208},
    {2, 1, 0, 0, -6766, 30824},
    {1, 0, -1, 0, -5163, -8379},
    {1, 1, 0, 0, 4987, -16675},
    {2, -1, 1, 0, 4036, -12831},
    {2, 0, 2, 0, 3994, -10445},
    {4, 0, 0, 0, 3861, -11650},
    {2, 0, -3, 0, 3665, 14403},
    {0, 1, -2, 0, -2689, -7003},
    {2, 0, -1, 2, -2602, 0},
    {2, -1, -2, 0, 2390, 10056},
    {1, 0, 1, 0, -2348, 6322},
    {2, -2, 0, 0, 2236, -9884},
    {0, 1, 2, 0, -2120, 5751},
    {0, 2, 0, 0, -2069, 0},
    {2, -2, -1, 0, 2048, -4950},
    {2, 0, 1, -2, -1773, 4130},
    {2, 0, 0, 2, -1595, 0},
    {4, -1, -1, 0, 1215, -3958},
    {0, 0, 2, 2, -1110, 0},
    {3, 0, -1, 0, -892, 3258},
    {2, 1, 1, 0, -810, 2616},
    {4, -1, -2, 0, 759, -1897},
    {0, 2, -1, 0, -713, -2117},
    {2, 2, -1, 0, -700, 2354},
    {2, 1, -2, 0, 691, 0},
    {2, -1, 0, -2, 596, 0},
    {4, 0, 1, 0, 549, -1423},
    {0, 0, 4, 0, 537, -1117},
    {4, -1, 0, 0, 520, -1571},
    {1, 0, -2, 0, -487, -1739},
    {2, 1, 0, -2, -399, 0},
    {0, 0, 2, -2, -381, -4421},
    {1, 1, 1, 0, 351, 0},
    {3, 0, -2, 0, -340, 0},
    {4, 0, -3, 0, 330, 0},
    {2, -1, 2, 0, 327, 0},
    {0, 2, 1, 0, -323, 1165},
    {1, 1, -1, 0, 299, 0},
    {2, 0, 3, 0, 294, 0},
    {2, 0, -1, -2, 0, 8752},
}};
constexpr std::array<LatitudeRow, 60> kLatitude = {{
    {0, 0, 0, 1, 5128122}, {0, 0, 1, 1, 280602},  {0, 0, 1, -1, 277693},
    {2, 0, 0, -1, 173237}, {2, 0, -1, 1, 55413},  {2, 0, -1, -1, 46271},
    {2, 0, 0, 1, 32573},   {0, 0, 2, 1, 17198},   {2, 0, 1, -1, 9266},
    {0, 0, 2, -1, 8822},   {2, -1, 0, -1, 8216},  {2, 0, -2, -1, 4324},
    {2, 0, 1, 1, 4200},    {2, 1, 0, -1, -3359},  {2, -1, -1, 1, 2463},
    {2, -1, 0, 1, 2211},   {2, -1, -1, -1, 2065}, {0, 1, -1, -1, -1870},
    {4, 0, -1, -1, 1828},  {0, 1, 0, 1, -1794},   {0, 0, 0, 3, -1749},
    {0, 1, -1, 1, -1565},  {1, 0, 0, 1, -1491},   {0, 1, 1, 1, -1475},
    {0, 1, 1, -1, -1410},  {0, 1, 0, -1, -1344},  {1, 0, 0, -1, -1335},
    {0, 0, 3, 1, 1107},    {4, 0, 0, -1, 1021},   {4, 0, -1, 1, 833},
    {0, 0, 1, -3, 777},    {4, 0, -2, 1, 671},    {2, 0, 0, -3, 607},
    {2, 0, 2, -1, 596},    {2, -1, 1, -1, 491},   {2, 0, -2, 1, -451},
    {0, 0, 3, -1, 439},    {2, 0, 2, 1, 422},     {2, 0, -3, -1, 421},
    {2, 1, -1, 1, -366},   {2, 1, 0, 1, -351},    {4, 0, 0, 1, 331},
    {2, -1, 1, 1, 315},    {2, -2, 0, -1, 302},   {0, 0, 1, 3, -283},
    {2, 1, 1, -1, -229},   {1, 1, 0, -1, 223},    {1, 1, 0, 1, 223},
    {0, 1, -2, -1, -220},  {2, 1, -1, -1, -220},  {1, 0, 1, 1, -185},
    {2, -1, -2, -1, 181},  {0, 1, 2, 1, -177},    {4, 0, -2, -1, 176},
    {4, -1, -1, -1, 166},  {1, 0, 1, -1, -164},   {4, 0, 1, -1, 132},
    {1, 0, -1, -1, -119},  {4, -1, 0, -1, 115},   {2, -2, 0, 1, 107},
}};

// x - 360 * Round(x / 360) with rounding half to even, lifted into
// 0 <= x < 360.
long double Reduce(long double x) {
  // rint rounds half to even in the default rounding mode.
  long double r = x - 360.0L * std::rint(x / 360.0L);
  while (r < 0) r += 360.0L;
  return r;
}

long double SinDeg(long double x) { return std::sin(Reduce(x) * kPi / 180); }
long double CosDeg(long double x) { return std::cos(Reduce(x) * kPi / 180); }

// Julian centuries of dynamical time since J2000.0: the theories are
// written for dynamical time, so delta T is added to Universal Time. The
// Julian Date comes straight from t: the label's 0 before the Gregorian
// switch would put every earlier instant at 4713 BC.
long double Centuries(long double t) {
  const long double jd = t + kJulianDateOfEpoch;
  const long double year = 2000.0L + (jd - 2451545.0L) / 365.25L;
  const long double jde = jd + DeltaTSeconds(year) / 86400.0L;
  return (jde - 2451545.0L) / 36525.0L;
}

struct Places {
  SunPlace sun;
  MoonPlace moon;
};

Places PlacesAt(long double t) { return {SunPosition(t), MoonPosition(t)}; }

// Elongation of the moon from the sun in degrees, 0..360.
long double Elongation(long double t) {
  const Places p = PlacesAt(t);
  return Reduce(p.moon.longitude - p.sun.longitude);
}

long double PhaseAngleOf(const Places& p) {
  const long double psi = std::acos(CosDeg(p.moon.latitude) *
                                    CosDeg(p.moon.longitude - p.sun.longitude));
  const long double r = p.sun.distance_km;
  const long double x =
      std::atan(r * std::sin(psi) / (p.moon.distance_km - r * std::cos(psi)));
  long double i = x * 180 / kPi;
  if (x < 0) i += 180;
  if (Reduce(p.moon.longitude - p.sun.longitude) > 180) i = -i;
  return i;
}

constexpr long double kMeanRate = 360 / kSynodicMonth;  // degrees a day

// The conjunction nearest to a guess within a few days of it, by secant
// steps on the signed elongation.
long double ConjunctionNear(long double guess) {
  auto signed_elongation = [](long double at) {
    const long double e = Elongation(at);
    return e > 180 ? e - 360 : e;
  };
  long double before = guess;
  long double e_before = signed_elongation(before);
  long double moon = before - e_before / kMeanRate;
  for (int step = 0; step < 30; ++step) {
    const long double e = signed_elongation(moon);
    long double rate = (e - e_before) / (moon - before);
    if (!(rate > 9 && rate < 17)) rate = kMeanRate;
    const long double shift = e / rate;
    before = moon;
    e_before = e;
    moon -= shift;
    if (std::fabs(shift) < 1e-8L) break;
  }
  return moon;
}

}  // namespace

long double DateTimeOfDayNumber(int32_t day_number) {
  return static_cast<long double>(day_number) - 2415019.0L;
}

long double JulianDateOf(long double t) {
  if (t < kFirstGregorianInstant) return 0;
  return t + kJulianDateOfEpoch;
}

SunPlace SunPosition(long double t) {
  const long double tc = Centuries(t);
  const long double t2 = tc * tc;
  const long double t3 = t2 * tc;
  const long double m =
      357.5291L + 35999.0503L * tc - 0.0001559L * t2 - 0.00000048L * t3;
  const long double c =
      (1.9146L - 0.004817L * tc - 0.000014L * t2) * SinDeg(m) +
      (0.019993L - 0.000101L * tc) * SinDeg(2 * m) + 0.00029L * SinDeg(3 * m);
  const long double l =
      Reduce(280.46645L + 36000.76983L * tc + 0.0003032L * t2 + c);
  const long double nu = m + c;
  const long double e = 0.016708617L - 0.000042037L * tc - 0.0000001236L * t2;
  SunPlace place;
  place.distance_km = 1.000001018L * (1 - e * e) / (1 + e * CosDeg(nu)) * kAuKm;
  const long double omega =
      125.04452L - 1934.136261L * tc + 0.0020708L * t2 + t3 / 450000;
  place.longitude = Reduce(l - 0.00569L - 0.00478L * SinDeg(omega) -
                           0.005691611111111111L / (place.distance_km / kAuKm));
  return place;
}

MoonPlace MoonPosition(long double t) {
  const long double tc = Centuries(t);
  const long double t2 = tc * tc;
  const long double t3 = t2 * tc;
  const long double t4 = t3 * tc;
  const long double lp = 218.3164591L + 481267.88134236L * tc -
                         0.0013268L * t2 + t3 / 538841 - t4 / 65194000;
  const long double d = 297.8502042L + 445267.1115168L * tc - 0.00163L * t2 +
                        t3 / 545868 - t4 / 113065000;
  const long double m =
      357.5291092L + 35999.0502909L * tc - 0.0001536L * t2 + t3 / 24490000;
  const long double mp = 134.9634114L + 477198.8676313L * tc + 0.008997L * t2 +
                         t3 / 69699 - t4 / 1471200;
  const long double f = 93.2720993L + 483202.0175273L * tc - 0.0034029L * t2 -
                        t3 / 3526000 + t4 / 863310000;
  const long double a1 = 119.75L + 131.849L * tc;
  const long double a2 = 53.09L + 479264.29L * tc;
  const long double a3 = 313.45L + 481266.484L * tc;
  const long double e = 1 - 0.002516L * tc - 0.0000074L * t2;
  const long double e_factor[3] = {1, e, e * e};

  long double sigma_l = 0;
  long double sigma_r = 0;
  for (const DistanceRow& row : kLongitudeDistance) {
    const long double arg = row.d * d + row.m * m + row.mp * mp + row.f * f;
    const long double scale = e_factor[std::abs(row.m)];
    sigma_l += row.sigma_l * scale * SinDeg(arg);
    sigma_r += row.sigma_r * scale * CosDeg(arg);
  }
  long double sigma_b = 0;
  for (const LatitudeRow& row : kLatitude) {
    const long double arg = row.d * d + row.m * m + row.mp * mp + row.f * f;
    sigma_b += row.sigma_b * e_factor[std::abs(row.m)] * SinDeg(arg);
  }
  sigma_l += 3958 * SinDeg(a1) + 1962 * SinDeg(lp - f) + 318 * SinDeg(a2);
  sigma_b += -2235 * SinDeg(lp) + 382 * SinDeg(a3) + 175 * SinDeg(a1 - f) +
             175 * SinDeg(a1 + f) + 127 * SinDeg(lp - mp) -
             115 * SinDeg(lp + mp);

  MoonPlace place;
  place.longitude = Reduce(lp + sigma_l / 1000000);
  place.latitude = sigma_b / 1000000;
  place.distance_km = 385000.56L + sigma_r / 1000;
  return place;
}

long double PhaseAngle(long double t) { return PhaseAngleOf(PlacesAt(t)); }

long double IlluminatedFraction(long double t) {
  return (CosDeg(PhaseAngle(t)) + 1) * 0.5L;
}

long double MoonAge(long double t) {
  if (!std::isfinite(t)) return 0;
  // The tick asks every second and mirokata-cal day after day: keep the
  // lunation found last.
  struct Lunation {
    long double start, end;
  };
  thread_local std::optional<Lunation> cached;
  if (cached && t >= cached->start && t < cached->end) {
    return t - cached->start;
  }
  // The elongation's estimate is off by up to a day as the moon's speed
  // varies; the search walks from there to the conjunction before t.
  long double start = ConjunctionNear(t - Elongation(t) / kMeanRate);
  if (start > t) start = ConjunctionNear(start - kSynodicMonth);
  if (!(start <= t)) {
    cached.reset();
    return 0;
  }
  const long double end = ConjunctionNear(start + kSynodicMonth);
  if (end > t && end - start > 29 && end - start < 30) {
    cached = Lunation{start, end};
  } else {
    cached.reset();
  }
  return t - start;
}

std::string JulianDateText(long double julian_date) {
  char text[64];
  std::snprintf(text, sizeof text, "%12.5Lf", julian_date);
  return text;
}

std::string PhaseText(long double illuminated_fraction) {
  long double percent = std::rint(illuminated_fraction * 100);
  if (!(percent >= 0)) percent = 0;
  if (percent > 100) percent = 100;
  return std::to_string(static_cast<int>(percent)) + "% (0%=New,100%=Full)";
}

std::string AgeText(long double age_days) {
  long double ms = std::rint(age_days * kMillisecondsPerDay);
  // Days, hours and minutes from the same rounded value, so that an age a
  // hair below a whole day reads as that day, not as the day before.
  if (!(ms >= 0) || ms > 1e15L) ms = 0;
  const long long total = static_cast<long long>(ms);
  const long long days = total / 86400000;
  const long long hours = total % 86400000 / 3600000;
  const long long minutes = total % 3600000 / 60000;
  return std::to_string(days) + " days, " + std::to_string(hours) + " hours, " +
         std::to_string(minutes) + " minutes.";
}

MoonPanelTexts MoonPanelTextsOf(long double t) {
  MoonPanelTexts texts;
  texts.julian_date = JulianDateText(JulianDateOf(t));
  texts.phase = PhaseText(IlluminatedFraction(t));
  texts.age = AgeText(MoonAge(t));
  return texts;
}

}  // namespace mirokata
