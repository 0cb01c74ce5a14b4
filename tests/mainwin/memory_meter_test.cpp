#include "mainwin/memory_meter.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>

namespace mirokata {
namespace {

TEST(MemoryMeter, ParsesMeminfo) {
  struct Case {
    const char* name;
    const char* text;
    std::optional<MemoryFigures> want;
  } cases[] = {
      {"usual",
       "MemTotal:       16314048 kB\nMemFree:         1034220 kB\n"
       "MemAvailable:    9876543 kB\nBuffers:          123 kB\n",
       MemoryFigures{16314048, 9876543}},
      // Beyond 32 bits of kilobytes (a 6 TiB machine).
      {"huge", "MemTotal: 6442450944 kB\nMemAvailable: 5000000000 kB\n",
       MemoryFigures{6442450944, 5000000000}},
      {"old kernel",
       "MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 20 kB\nCached: 30 kB\n",
       MemoryFigures{1000, 150}},
      {"no total", "MemFree: 100 kB\nMemAvailable: 100 kB\n", std::nullopt},
      {"no figures", "MemTotal: 1000 kB\n", std::nullopt},
      {"not a number", "MemTotal: lots\nMemAvailable: 1 kB\n", std::nullopt},
      {"overflow", "MemTotal: 99999999999999999999999 kB\nMemAvailable: 1\n",
       std::nullopt},
      {"empty", "", std::nullopt},
      {"prefix only", "MemTotalX: 5 kB\nMemAvailable: 1 kB\n", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<MemoryFigures> got = ParseMeminfo(c.text);
    ASSERT_EQ(got.has_value(), c.want.has_value());
    if (got) {
      EXPECT_EQ(got->total_kb, c.want->total_kb);
      EXPECT_EQ(got->available_kb, c.want->available_kb);
    }
  }
}

TEST(MemoryMeter, TextIsKilobytesAndPercent) {
  struct {
    MemoryFigures figures;
    const char* text;
  } cases[] = {
      {{16314048, 9876543}, "9876543K(60%)"},  // 9876543 / 163140
      {{6442450944, 5000000000}, "5000000000K(77%)"},
      {{1000, 1000}, "1000K(100%)"},
      {{199, 99}, "99K(99%)"},  // 99 / (199 / 100)
      {{50, 25}, "25K(50%)"},   // a hundredth rounds to 0: no division by it
      {{0, 0}, ""},             // no total, no figure
  };
  for (const auto& c : cases) EXPECT_EQ(MemoryText(c.figures), c.text);
}

TEST(MemoryMeter, ResourceModeShowsTheMemoryText) {
  EXPECT_EQ(FreeResourcePercent(0), 0);
  EXPECT_EQ(FreeResourcePercent(1), 0);
  MemoryFigures f{1000, 500};
  EXPECT_EQ(MemoryPanelText(1, f), "500K(50%)");
  EXPECT_EQ(MemoryPanelText(0, f), "500K(50%)");
  EXPECT_EQ(MemoryPanelText(1, std::nullopt), "");
}

TEST(MemoryMeter, ReadsTheSystemAndSurvivesAMissingFile) {
  const QRegularExpression shape("^[0-9]+K\\([0-9]+%\\)$");
  EXPECT_TRUE(
      shape.match(QString::fromStdString(MemoryMeter().Text())).hasMatch())
      << MemoryMeter().Text();
  EXPECT_EQ(MemoryMeter("/nonexistent/meminfo").Text(), "");
  EXPECT_EQ(MemoryMeter("/proc").Text(), "");  // a folder
}

}  // namespace
}  // namespace mirokata
