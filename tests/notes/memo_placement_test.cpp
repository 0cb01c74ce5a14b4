#include "notes/memo_placement.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>

#include "platform/testing/fake_desktop.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

// Main window at (200, 100), 400 x 300: its derived memo place is
// left 200/2 + 400 = 500, top 100/2 + 300 = 350, size 400 x 300.
constexpr MemoFrame kMain{200, 100, 400, 300};

struct PlaceCase {
  const char* name;
  StoredMemoFrame own;
  StoredMemoFrame defaults;
  MemoFrame expected;
};

class MemoPlacementTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(MemoPlacementTest, FallsBackThenKeepsOnScreen) {
  FakeScreen screen;  // 1920 x 1048 available, primary
  // A second monitor to the left, above the primary's top.
  screen.SetOtherScreens({{-1280, -200, 1280, 1024}});
  const PlaceCase& c = GetParam();
  EXPECT_EQ(PlaceMemo(c.own, c.defaults, kMain, screen), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, MemoPlacementTest,
    ::testing::Values(
        PlaceCase{"own keys win",
                  {10, 20, 150, 120},
                  {30, 40, 200, 200},
                  {10, 20, 150, 120}},
        PlaceCase{
            "memo defaults next", {}, {30, 40, 200, 210}, {30, 40, 200, 210}},
        PlaceCase{"main window last", {}, {}, {500, 350, 400, 300}},
        PlaceCase{"each value falls back alone",
                  {std::nullopt, 25, std::nullopt, 90},
                  {35, std::nullopt, 222, std::nullopt},
                  {35, 25, 222, 90}},
        PlaceCase{"zero and negative sizes are missing",
                  {10, 20, 0, -5},
                  {},
                  {10, 20, 400, 300}},
        PlaceCase{"above the primary comes to its top",
                  {1500, -30, 100, 100},
                  {},
                  {1500, 0, 100, 100}},
        PlaceCase{"left of every screen comes onto the primary",
                  {-1400, 50, 100, 100},
                  {},
                  {0, 50, 100, 100}},
        PlaceCase{"beyond the right and bottom edges",
                  {1900, 1040, 100, 80},
                  {},
                  {1820, 968, 100, 80}},
        PlaceCase{"far beyond, without overflow",
                  {INT_MAX, INT_MAX, 100, 80},
                  {},
                  {1820, 968, 100, 80}},
        PlaceCase{"huge size keeps the corner",
                  {INT_MIN, 10, INT_MAX, 50},
                  {},
                  {0, 10, 1 << 20, 50}},
        PlaceCase{"second monitor at negative coordinates stays",
                  {-1000, -150, 300, 200},
                  {},
                  {-1000, -150, 300, 200}},
        PlaceCase{"second monitor keeps its own edges",
                  {-100, 700, 300, 200},
                  {},
                  {-300, 624, 300, 200}},
        PlaceCase{"gone monitor comes onto the primary",
                  {3000, 500, 300, 200},
                  {},
                  {1620, 500, 300, 200}}),
    [](const auto& info) {
      std::string n = info.param.name;
      for (char& ch : n) {
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      return n;
    });

TEST(PetitMemoPlacementTest, StoredOrCurrentPlaceThenOnScreen) {
  FakeScreen screen;
  screen.SetOtherScreens({{1920, 0, 1024, 768}});
  struct Case {
    std::optional<int> p_left, p_top;
    int current_left, current_top;
    MemoFrame expected;
  } cases[] = {
      {100, 200, 5, 5, {100, 200, 16, 16}},
      {std::nullopt, std::nullopt, 300, 400, {300, 400, 16, 16}},
      {std::nullopt, 40, 300, 400, {300, 40, 16, 16}},
      {-20, -30, 0, 0, {0, 0, 16, 16}},
      {1915, 1045, 0, 0, {1904, 1032, 16, 16}},
      {2500, 760, 0, 0, {2500, 752, 16, 16}},    // second screen
      {9000, 9000, 0, 0, {1904, 1032, 16, 16}},  // screen gone
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlacePetitMemo(c.p_left, c.p_top, c.current_left, c.current_top,
                             screen),
              c.expected)
        << c.p_left.value_or(-1) << "," << c.p_top.value_or(-1);
  }
}

TEST(MemoFrameReadTest, ReadsOwnAndDefaultKeysInAnyCase) {
  TempFolder dir;
  const std::string ini = dir / "m.ini";
  std::ofstream(ini) << "[Memo]\nTOP=11\nLeft=12\nwidth=13\n"
                        "[memo7]\nTop=-40\nLEFT=-1500\nHeight=77\n"
                        "P_Top=5\nP_Left=6\n";
  SettingsFile file(ini);
  const SettingsReader settings = file.Open();
  const StoredMemoFrame own = ReadOwnMemoFrame(settings, "Memo7");
  EXPECT_EQ(own.top, -40);
  EXPECT_EQ(own.left, -1500);
  EXPECT_EQ(own.width, std::nullopt);
  EXPECT_EQ(own.height, 77);
  const StoredMemoFrame defaults = ReadDefaultMemoFrame(settings);
  EXPECT_EQ(defaults.top, 11);
  EXPECT_EQ(defaults.left, 12);
  EXPECT_EQ(defaults.width, 13);
  EXPECT_EQ(defaults.height, std::nullopt);
}

}  // namespace
}  // namespace mirokata
