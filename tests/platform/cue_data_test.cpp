// The synthesised cues: every name, the table's formats and lengths, and
// real DTMF pairs on the dialling tones.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "platform/cue_synth.h"
#include "platform/sound_cues.h"

namespace mirokata {
namespace {

// Relative power of one frequency in a block of samples (Goertzel).
double Power(const std::vector<double>& samples, double rate, double hz) {
  const double w = 2.0 * std::numbers::pi * hz / rate;
  const double coeff = 2.0 * std::cos(w);
  double s1 = 0, s2 = 0;
  for (double x : samples) {
    const double s0 = x + coeff * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  const double p = s1 * s1 + s2 * s2 - coeff * s1 * s2;
  return p / (samples.size() * samples.size());
}

TEST(CueData, EveryNameHasItsFormatAndLength) {
  struct Expected {
    const char* name;
    int rate;
    int bits;
    int ms;
  };
  const Expected table[] = {
      {"ope", 8287, 8, 85},   {"clo", 11025, 8, 133}, {"c1", 11025, 8, 194},
      {"sav", 11025, 8, 350}, {"del", 22050, 8, 457}, {"cop", 11025, 8, 102},
      {"pop", 8000, 8, 83},   {"rml", 11025, 8, 498}, {"pas", 22050, 16, 640},
      {"p0", 11025, 8, 100},  {"p1", 11025, 8, 100},  {"p2", 11025, 8, 100},
      {"p3", 11025, 8, 100},  {"p4", 11025, 8, 100},  {"p5", 11025, 8, 100},
      {"p6", 11025, 8, 100},  {"p7", 11025, 8, 100},  {"p8", 11025, 8, 100},
      {"p9", 11025, 8, 100},  {"ps", 11025, 8, 100},  {"pk", 11025, 8, 100},
      {"pn", 8000, 8, 100},
  };
  std::vector<std::string> names;
  for (const Expected& e : table) {
    names.push_back(e.name);
    const std::vector<std::uint8_t> wav = SynthesizeCue(e.name);
    const WavInfo info = ParseWav(wav.data(), wav.size());
    ASSERT_TRUE(info.valid) << e.name;
    EXPECT_EQ(info.channels, 1) << e.name;
    EXPECT_EQ(info.sample_rate, e.rate) << e.name;
    EXPECT_EQ(info.bits, e.bits) << e.name;
    EXPECT_NEAR(info.DurationMs(), e.ms, 2) << e.name;
    // Chunk sizes agree with the file, so strict readers accept it too.
    const auto riff = wav[4] | wav[5] << 8 | wav[6] << 16 | wav[7] << 24;
    EXPECT_EQ(std::size_t(riff) + 8, wav.size()) << e.name;
    // Audible, and kept off the rails so that nothing clips.
    const std::vector<double> s = WavSamples(wav.data(), wav.size());
    double peak = 0;
    for (double x : s) peak = std::max(peak, std::abs(x));
    if (std::string(e.name) == "pn") {
      EXPECT_LT(peak, 0.01) << "pn is a pause";
    } else {
      EXPECT_GT(peak, 0.3) << e.name;
      EXPECT_LT(peak, 0.99) << e.name;
    }
  }
  EXPECT_EQ(CueNames(), names);
  EXPECT_TRUE(SynthesizeCue("nosuch").empty());
  EXPECT_EQ(SynthesizeCue("OPE"), SynthesizeCue("ope"));
}

TEST(CueData, DiallingTonesAreTheirDtmfPairs) {
  const int kLow[] = {697, 770, 852, 941};
  const int kHigh[] = {1209, 1336, 1477};
  const std::string keys = "0123456789*#";
  for (char key : keys) {
    const std::string name = DialToneCue(key);
    const std::vector<std::uint8_t> wav = SynthesizeCue(name);
    const std::vector<double> s = WavSamples(wav.data(), wav.size());
    ASSERT_FALSE(s.empty()) << name;
    const DtmfPair pair = DtmfFrequencies(key);
    // The pair stands out against every other DTMF frequency.
    double weakest_wanted = 1e9, strongest_other = 0;
    for (int f : kLow) {
      const double p = Power(s, 11025, f);
      if (f == pair.low_hz) {
        weakest_wanted = std::min(weakest_wanted, p);
      } else {
        strongest_other = std::max(strongest_other, p);
      }
    }
    for (int f : kHigh) {
      const double p = Power(s, 11025, f);
      if (f == pair.high_hz) {
        weakest_wanted = std::min(weakest_wanted, p);
      } else {
        strongest_other = std::max(strongest_other, p);
      }
    }
    EXPECT_GT(weakest_wanted, 20 * strongest_other) << name;
  }
  EXPECT_EQ(DtmfFrequencies('5').low_hz, 770);
  EXPECT_EQ(DtmfFrequencies('5').high_hz, 1336);
  EXPECT_EQ(DtmfFrequencies('#').high_hz, 1477);
  EXPECT_EQ(DtmfFrequencies('*').high_hz, 1209);
  EXPECT_EQ(DtmfFrequencies('0').low_hz, 941);
}

TEST(ParseWav, RejectsMalformedFilesWithoutReadingPastThem) {
  const std::vector<std::uint8_t> good = SynthesizeCue("c1");
  auto cut = [&](std::size_t n) {
    return std::vector<std::uint8_t>(good.begin(), good.begin() + n);
  };
  EXPECT_FALSE(ParseWav(nullptr, 0).valid);
  EXPECT_FALSE(ParseWav(good.data(), 11).valid);
  for (std::size_t n : {12u, 20u, 35u, 43u}) {
    const auto part = cut(n);
    EXPECT_FALSE(ParseWav(part.data(), part.size()).valid) << n;
  }
  // Samples cut short: still valid, clipped to what is there.
  const auto part = cut(100);
  const WavInfo clipped = ParseWav(part.data(), part.size());
  EXPECT_TRUE(clipped.valid);
  EXPECT_EQ(clipped.data_size, 56u);

  std::vector<std::uint8_t> bad = good;
  bad[20] = 3;  // IEEE float is not PCM
  EXPECT_FALSE(ParseWav(bad.data(), bad.size()).valid);
  bad = good;
  bad[16] = 0xFF;  // fmt chunk claims more than the file holds
  bad[17] = 0xFF;
  bad[18] = 0xFF;
  bad[19] = 0x7F;
  EXPECT_FALSE(ParseWav(bad.data(), bad.size()).valid);
  bad = good;
  bad[8] = 'X';
  EXPECT_FALSE(ParseWav(bad.data(), bad.size()).valid);
}

}  // namespace
}  // namespace mirokata
