#include "app/window_mode.h"

#include <gtest/gtest.h>

#include "app/month_navigation.h"
#include "base/settings_file.h"
#include "base/window_placement.h"
#include "support/rename_watch.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

constexpr ScreenRect kScreen{0, 0, 1280, 800};

TEST(WindowPlacementTest, ClampsToTheScreen) {
  struct Case {
    Point in;
    Size size;
    ScreenRect screen;
    Point out;
  } cases[] = {
      {{10, 20}, {240, 190}, kScreen, {10, 20}},
      {{-5, -7}, {240, 190}, kScreen, {0, 0}},
      {{1200, 700}, {240, 190}, kScreen, {1040, 610}},
      {{5000, -100}, {240, 72}, kScreen, {1040, 0}},
      // Larger than the screen: the top-left corner stays visible.
      {{50, 50}, {2000, 900}, kScreen, {0, 0}},
      // A screen that does not start at the origin (a panel on the left).
      {{0, 0}, {240, 19}, {64, 30, 1216, 770}, {64, 30}},
      {{1270, 790}, {240, 19}, {64, 30, 1216, 770}, {1040, 781}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClampToScreen(c.in, c.size, c.screen), c.out)
        << c.in.left << "," << c.in.top;
  }
}

// A primary screen with a panel at the bottom and a taller second one to
// its right, its top 100 pixels lower.
constexpr ScreenRect kPrimary{0, 0, 1280, 770};
constexpr ScreenRect kSecond{1280, 100, 1024, 1180};

TEST(WindowPlacementTest, KeepsAWindowOnTheScreenItIsOn) {
  struct Case {
    Point in;
    Size size;
    Point out;
  } cases[] = {
      // Inside either screen: left alone.
      {{1040, 0}, {240, 72}, {1040, 0}},
      {{1500, 1000}, {240, 190}, {1500, 1000}},
      // Past the second screen's edges: back onto it, not onto the primary.
      {{2200, 1250}, {240, 190}, {2064, 1090}},
      {{1500, 40}, {240, 19}, {1500, 100}},
      // The screen under the window's centre wins over its top-left corner.
      {{1200, 500}, {240, 72}, {1280, 500}},
      {{1100, 500}, {240, 72}, {1040, 500}},
      // Where no screen is (above the second one, past every edge): the
      // nearest screen.
      {{1400, 0}, {240, 19}, {1400, 100}},
      {{9000, 400}, {240, 72}, {2064, 400}},
      {{-3000, -3000}, {240, 72}, {0, 0}},
      {{0, 900}, {240, 190}, {0, 580}},
  };
  const std::vector<ScreenRect> screens{kPrimary, kSecond};
  for (const Case& c : cases) {
    EXPECT_EQ(ClampToScreens(c.in, c.size, screens), c.out)
        << c.in.left << "," << c.in.top;
  }
  // Without screens there is nothing to keep it on.
  EXPECT_EQ(ClampToScreens({50, 60}, {240, 72}, {}), (Point{0, 0}));
}

TEST(WindowPlacementTest, ReadsAndWritesTopAndLeft) {
  TempFolder dir;
  SettingsFile file(dir / "mirokata.ini");
  Settings s = file.Open();
  EXPECT_EQ(ReadPlacement(s, "Jump", {0, 0}, {200, 100}, {kScreen}),
            (Point{0, 0}));
  RenameWatch watch(dir.path());
  WritePlacement(s, "Jump", {3000, 3000});
  // Top and left belong together: one rewrite of the file.
  EXPECT_EQ(watch.Take("mirokata.ini").renamed_onto, 1);
  EXPECT_EQ(file.ReadInteger("jump", "TOP", 0), 3000);
  EXPECT_EQ(ReadPlacement(file.Open(), "Jump", {0, 0}, {200, 100}, {kScreen}),
            (Point{1080, 700}));
  WritePlacement(s, "Jump", {2100, 1200});
  EXPECT_EQ(ReadPlacement(file.Open(), "Jump", {0, 0}, {200, 100},
                          {kPrimary, kSecond}),
            (Point{2100, 1180}));
}

TEST(WindowModeTest, HeightDecidesTheMode) {
  struct Case {
    int height;
    WindowMode mode;
  } cases[] = {
      {19, WindowMode::kMini},      {72, WindowMode::kToolbar},
      {190, WindowMode::kCalendar}, {0, WindowMode::kMini},
      {-40, WindowMode::kMini},     {44, WindowMode::kMini},
      {46, WindowMode::kToolbar},   {130, WindowMode::kToolbar},
      {132, WindowMode::kCalendar}, {100000, WindowMode::kCalendar},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ModeForHeight(c.height), c.mode) << c.height;
  }
  EXPECT_EQ(LayoutOf(WindowMode::kMini).strip_top, 1);
  EXPECT_FALSE(LayoutOf(WindowMode::kMini).toolbar_visible);
  EXPECT_EQ(LayoutOf(WindowMode::kToolbar).strip_top, 54);
  EXPECT_EQ(LayoutOf(WindowMode::kCalendar).height, 190);
}

class ModeModelTest : public ::testing::Test {
 protected:
  void Set(const char* key, int value) {
    file_.WriteInteger("Form", key, value);
  }
  int Get(const char* key) { return file_.ReadInteger("Form", key, -1); }

  TempFolder dir_;
  SettingsFile file_{dir_ / "mirokata.ini"};
  WindowModeModel model_{file_, {kScreen}};
};

TEST_F(ModeModelTest, StartsInTheStoredModeAtItsPosition) {
  // No settings: toolbar mode at the top-right corner.
  Transition t = model_.Start();
  EXPECT_EQ(model_.mode(), WindowMode::kToolbar);
  EXPECT_EQ(t.layout.height, 72);
  EXPECT_EQ(t.position, (Point{1040, 0}));

  Set("top", 100);
  Set("left", 10);
  Set("top_mini", 30);
  Set("left_mini", 40);
  Set("TOP_CAL", 900);  // off the screen: pulled back
  Set("left_cal", 5);

  struct Case {
    int height;
    WindowMode mode;
    Point position;
  } cases[] = {
      {19, WindowMode::kMini, {40, 30}},
      {190, WindowMode::kCalendar, {5, 610}},
      {72, WindowMode::kToolbar, {10, 100}},
      {25, WindowMode::kMini, {40, 30}},
  };
  for (const Case& c : cases) {
    Set("Height", c.height);
    t = model_.Start();
    EXPECT_EQ(model_.mode(), c.mode) << c.height;
    EXPECT_EQ(t.layout.height, HeightOf(c.mode));
    EXPECT_EQ(t.position, c.position) << c.height;
  }
}

TEST_F(ModeModelTest, StaysOnTheSecondScreen) {
  model_.set_screens({kPrimary, kSecond});
  Set("Height", 190);
  Set("top_cal", 1200);  // the bottom of the second screen
  Set("left_cal", 1900);
  EXPECT_EQ(model_.Start().position, (Point{1900, 1090}));
  // The default place is the primary screen's top-right corner.
  Set("Height", 72);
  EXPECT_EQ(model_.Start().position, (Point{1040, 0}));
  // Growing near the second screen's bottom keeps to that screen too.
  EXPECT_EQ(model_.ToggleMode({2000, 1250}).position, (Point{2000, 1090}));
}

TEST_F(ModeModelTest, DragBarDoubleClickCyclesModes) {
  model_.Start();
  Point here{100, 200};
  Transition t = model_.ToggleMode(here);
  EXPECT_EQ(model_.mode(), WindowMode::kCalendar);
  EXPECT_FALSE(t.hide_first);
  EXPECT_EQ(t.position, here);
  EXPECT_EQ(Get("Height"), 190);

  t = model_.ToggleMode(here);
  EXPECT_EQ(model_.mode(), WindowMode::kToolbar);
  EXPECT_EQ(Get("Height"), 72);

  Set("minitokei", 1);
  model_.ToggleMode(here);
  t = model_.ToggleMode(here);
  EXPECT_EQ(model_.mode(), WindowMode::kMini);
  EXPECT_FALSE(t.layout.toolbar_visible);
  EXPECT_EQ(Get("Height"), 19);

  // Growing near the bottom edge keeps the calendar on the screen.
  t = model_.ToggleMode({100, 790});
  EXPECT_EQ(t.position, (Point{100, 610}));
}

TEST_F(ModeModelTest, ModeSaveMovesToEachModesPosition) {
  Set("ModeSave", 1);
  Set("top_cal", 300);
  Set("left_cal", 400);
  model_.Start();
  Transition t = model_.ToggleMode({1, 2});
  EXPECT_TRUE(t.hide_first);
  EXPECT_EQ(t.position, (Point{400, 300}));
  // No saved toolbar position: it stays where it is.
  t = model_.ToggleMode({7, 8});
  EXPECT_EQ(t.position, (Point{7, 8}));
}

TEST_F(ModeModelTest, DragBarPressRemembersTheCurrentMode) {
  Set("Height", 19);
  model_.Start();
  model_.RememberPosition({11, 22});
  EXPECT_EQ(Get("top_mini"), 22);
  EXPECT_EQ(Get("left_mini"), 11);
  EXPECT_EQ(Get("top"), -1);
}

TEST_F(ModeModelTest, HotKeyExpandsMiniModeUntilDeactivation) {
  Transition t;
  model_.Start();  // toolbar mode: the hot key changes nothing
  EXPECT_FALSE(model_.HotKey({0, 0}, &t));
  EXPECT_FALSE(model_.Deactivate({0, 0}, &t));

  Set("Height", 19);
  model_.Start();
  ASSERT_TRUE(model_.HotKey({50, 60}, &t));
  EXPECT_FALSE(t.collapse_first);
  EXPECT_TRUE(t.layout.toolbar_visible);
  EXPECT_EQ(t.layout.height, 72);
  EXPECT_EQ(t.position, (Point{50, 60}));
  EXPECT_TRUE(model_.temporarily_expanded());
  EXPECT_EQ(Get("Height"), 19);  // not a mode the user chose

  ASSERT_TRUE(model_.Deactivate({50, 60}, &t));
  EXPECT_FALSE(t.hide_first);
  EXPECT_EQ(t.layout.height, 19);
  EXPECT_EQ(t.position, (Point{50, 60}));
  EXPECT_EQ(model_.mode(), WindowMode::kMini);
  EXPECT_FALSE(model_.Deactivate({50, 60}, &t));  // only once
}

TEST_F(ModeModelTest, HotKeyWithModeSaveUsesSavedPositions) {
  Set("Height", 19);
  Set("ModeSave", 1);
  Set("top", 500);
  Set("left", 600);
  Set("top_mini", 5);
  Set("left_mini", 6);
  model_.Start();
  Transition t;
  ASSERT_TRUE(model_.HotKey({6, 5}, &t));
  EXPECT_TRUE(t.collapse_first);
  EXPECT_EQ(t.position, (Point{600, 500}));
  ASSERT_TRUE(model_.Deactivate({600, 500}, &t));
  EXPECT_TRUE(t.hide_first);
  EXPECT_EQ(t.position, (Point{6, 5}));
}

TEST_F(ModeModelTest, ChoosingAModeEndsTheTemporaryExpansion) {
  Set("Height", 19);
  model_.Start();
  Transition t;
  ASSERT_TRUE(model_.HotKey({0, 0}, &t));
  model_.ToggleMode({0, 0});
  EXPECT_EQ(model_.mode(), WindowMode::kCalendar);
  EXPECT_FALSE(model_.Deactivate({0, 0}, &t));
  EXPECT_EQ(model_.mode(), WindowMode::kCalendar);
}

TEST(MonthNavigationTest, LowersTheDayUntilTheDateExists) {
  struct Case {
    CivilDate from;
    int delta;
    CivilDate to;
  } cases[] = {
      {{2027, 1, 31}, 1, {2027, 2, 28}},
      {{2028, 1, 31}, 1, {2028, 2, 29}},
      {{2028, 3, 31}, -1, {2028, 2, 29}},
      {{2026, 12, 15}, 1, {2027, 1, 15}},
      {{2027, 1, 31}, -1, {2026, 12, 31}},
      {{2026, 5, 31}, 1, {2026, 6, 30}},
      {{2100, 1, 29}, 1, {2100, 2, 28}},
      {{1582, 9, 12}, 1, {1582, 10, 4}},  // across the calendar switch
  };
  for (const Case& c : cases) {
    CivilDate got = MoveMonth(c.from, c.delta);
    EXPECT_EQ(got, c.to) << c.from.year << "-" << c.from.month << "-"
                         << c.from.day << " " << c.delta << " -> " << got.year
                         << "-" << got.month << "-" << got.day;
  }
}

}  // namespace
}  // namespace mirokata
