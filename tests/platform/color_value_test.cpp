#include "platform/color/color_value.h"

#include <gtest/gtest.h>

#include <QPalette>

namespace mirokata {
namespace {

TEST(ColorValueTest, RgbValuesAreBlueGreenRed) {
  struct Case {
    ColorValue value;
    QColor color;
  } cases[] = {
      {kClBlack, QColor(0, 0, 0)},
      {kClRed, QColor(255, 0, 0)},
      {kClNavy, QColor(0, 0, 128)},
      {kClMaroon, QColor(128, 0, 0)},
      {kClFuchsia, QColor(255, 0, 255)},
      {0x123456, QColor(0x56, 0x34, 0x12)},
      // Markers with other high bytes keep their low bits as RGB.
      {0x1FFFFFFF, QColor(255, 255, 255)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ColorFromValue(c.value, QPalette()), c.color) << c.value;
    if (c.value <= 0xFFFFFF) {
      EXPECT_EQ(ValueFromColor(c.color), c.value);
    }
  }
}

TEST(ColorValueTest, SystemColoursComeFromThePaletteRoles) {
  // A palette whose roles are told apart by their red component.
  QPalette pal;
  int red = 10;
  for (QPalette::ColorGroup g :
       {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    for (int r = 0; r < QPalette::NColorRoles; ++r) {
      pal.setColor(g, static_cast<QPalette::ColorRole>(r), QColor(red, 1, 2));
      ++red;
    }
  }
  struct Case {
    ColorValue value;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
  } cases[] = {
      {kClWindow, QPalette::Active, QPalette::Base},
      {kClWindowText, QPalette::Active, QPalette::Text},
      {kClBtnFace, QPalette::Active, QPalette::Button},
      {kClBtnShadow, QPalette::Active, QPalette::Dark},
      {kClBtnText, QPalette::Active, QPalette::ButtonText},
      {kClHighlight, QPalette::Active, QPalette::Highlight},
      {kClHighlightText, QPalette::Active, QPalette::HighlightedText},
      {kClActiveCaption, QPalette::Active, QPalette::Highlight},
      {kClMenu, QPalette::Active, QPalette::Window},
      {kClInfoBk, QPalette::Active, QPalette::ToolTipBase},
      {SystemColor(kColorGrayText), QPalette::Disabled, QPalette::Text},
      {SystemColor(kColorHotLight), QPalette::Active, QPalette::Link},
      {SystemColor(99), QPalette::Active, QPalette::WindowText},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ColorFromValue(c.value, pal), pal.color(c.group, c.role))
        << std::hex << c.value;
  }
  // Settings hand system colours over as negative numbers.
  EXPECT_EQ(ColorValueFromInt(-2147483646), kClActiveCaption);
  EXPECT_EQ(ColorValueToInt(kClBtnShadow), -2147483632);
  EXPECT_TRUE(IsSystemColor(kClMenu));
  EXPECT_FALSE(IsSystemColor(kClWhite));
}

}  // namespace
}  // namespace mirokata
