// The ruler's indents and markers, and the colour history in the settings
// file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/settings_file.h"
#include "richtext/color_history.h"
#include "richtext/rich_document.h"
#include "richtext/ruler_geometry.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

struct IndentCase {
  const char* name;
  int li, fi, ri;  // twips
  RulerIndents ruler;
};

TEST(RulerIndents, FirstIndentIsAbsoluteLeftIndentRelative) {
  const std::vector<IndentCase> cases = {
      {"plain", 0, 0, 0, {0, 0, 0}},
      {"first line in", 0, 240, 0, {12, -12, 0}},
      {"hanging", 720, -360, 0, {18, 18, 0}},
      {"all lines in", 400, 0, 200, {20, 0, 10}},
      {"first line out of the margin", 200, -400, 0, {-10, 20, 0}},
  };
  for (const IndentCase& c : cases) {
    RichParagraphFormat f;
    f.left_indent = c.li;
    f.first_indent = c.fi;
    f.right_indent = c.ri;
    EXPECT_EQ(RulerIndentsOf(f), c.ruler) << c.name;
    RichParagraphFormat back;
    back.list = RichListStyle::kDecimal;
    SetRulerIndents(c.ruler, &back);
    EXPECT_EQ(back.left_indent, c.li) << c.name;
    EXPECT_EQ(back.first_indent, c.fi) << c.name;
    EXPECT_EQ(back.right_indent, c.ri) << c.name;
    EXPECT_EQ(back.list, RichListStyle::kDecimal) << c.name;
  }
}

struct MarkerCase {
  RulerIndents indents;
  RulerMarkers markers;  // in a ruler 400 pixels wide
};

TEST(RulerMarkers, PlacesAndDropsMarkers) {
  const std::vector<MarkerCase> cases = {
      {{0, 0, 0}, {2, 2, 386}},    {{12, -12, 0}, {18, 2, 386}},
      {{10, 5, 3}, {15, 22, 382}}, {{18, 18, 12}, {26, 50, 370}},
      {{1, 1, 1}, {3, 4, 385}},
  };
  for (const MarkerCase& c : cases) {
    EXPECT_EQ(RulerMarkersOf(c.indents, 400), c.markers)
        << c.indents.first_indent << " " << c.indents.left_indent;
    // A marker dropped where it stands keeps its indent.
    EXPECT_EQ(RulerIndentsAt(c.markers, 400), c.indents)
        << c.markers.first << " " << c.markers.left;
  }
  // Every indent a marker can show survives being dropped in place.
  for (int first = -20; first <= 200; ++first) {
    for (int left : {-first, -7, 0, 5, 36}) {
      for (int right : {0, 1, 2, 50}) {
        RulerIndents indents{first, left, right};
        ASSERT_EQ(RulerIndentsAt(RulerMarkersOf(indents, 500), 500), indents)
            << first << " " << left << " " << right;
      }
    }
  }
  // Moving only the first-line marker keeps the other lines in place.
  RulerMarkers moved = RulerMarkersOf({10, 5, 0}, 400);
  moved.first += 20;  // 15 points
  RulerIndents after = RulerIndentsAt(moved, 400);
  EXPECT_EQ(after.first_indent, 25);
  EXPECT_EQ(after.first_indent + after.left_indent, 15);
}

class ColorHistoryTest : public ::testing::Test {
 protected:
  void WriteIni(const std::string& text) {
    std::ofstream(path_, std::ios::binary) << text;
  }
  std::string ReadIni() {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::vector<ColorValue> History() {
    return ReadColorHistory(settings_.Open());
  }

  TempFolder folder_;
  std::string path_ = folder_ / "mirokata.ini";
  SettingsFile settings_{path_};
};

TEST_F(ColorHistoryTest, ReadsNewestFirstSkippingWhatIsNoColour) {
  struct Case {
    const char* name;
    const char* ini;
    std::vector<ColorValue> history;
  };
  const std::vector<Case> cases = {
      {"no keys: red", "", {255}},
      {"five colours",
       "[Nikki]\r\nColor1=1\r\nColor2=2\r\nColor3=3\r\nColor4=4\r\nColor5="
       "5\r\n",
       {1, 2, 3, 4, 5}},
      {"missing keys are red",
       "[Nikki]\r\nColor1=16711680\r\nColor3=65280\r\n",
       {0xFF0000, 255, 0xFF00}},
      {"duplicates once",
       "[nikki]\r\ncolor1=7\r\nCOLOR2=7\r\nColor3=8\r\nColor4=7\r\nColor5="
       "8\r\n",
       {7, 8}},
      {"garbage skipped",
       "[Nikki]\r\nColor1=abc\r\nColor2=12x\r\nColor3=\r\nColor4= 42 \r\n"
       "Color5=99999999999999999999\r\n",
       {42}},
      {"out of range skipped",
       "[Nikki]\r\nColor1=-2147483643\r\nColor2=16777216\r\nColor3=-1\r\n"
       "Color4=16777215\r\nColor5=0\r\n",
       {0xFFFFFF, 0}},
  };
  for (const Case& c : cases) {
    WriteIni(c.ini);
    EXPECT_EQ(History(), c.history) << c.name;
  }
}

TEST_F(ColorHistoryTest, NewColourGoesFirstWithoutDuplicates) {
  EXPECT_EQ(WithNewestColor({1, 2, 3, 4, 5}, 9),
            (std::vector<ColorValue>{9, 1, 2, 3, 4}));
  EXPECT_EQ(WithNewestColor({1, 2, 3, 4, 5}, 4),
            (std::vector<ColorValue>{4, 1, 2, 3, 5}));
  EXPECT_EQ(WithNewestColor({1, 2}, 1), (std::vector<ColorValue>{1, 2}));
  EXPECT_EQ(WithNewestColor({}, 3), (std::vector<ColorValue>{3}));
}

TEST_F(ColorHistoryTest, RememberWritesAllKeysInOneRewrite) {
  WriteIni("[Nikki]\r\nFontName=x\r\nColor1=garbage\r\n[Other]\r\nA=1\r\n");
  ASSERT_TRUE(RememberColor(settings_, 0x00FF00));
  EXPECT_EQ(History(), (std::vector<ColorValue>{0x00FF00, 255}));
  ASSERT_TRUE(RememberColor(settings_, 255));
  EXPECT_EQ(History(), (std::vector<ColorValue>{255, 0x00FF00}));
  for (ColorValue c : {1, 2, 3, 4}) ASSERT_TRUE(RememberColor(settings_, c));
  EXPECT_EQ(History(), (std::vector<ColorValue>{4, 3, 2, 1, 255}));
  const std::string ini = ReadIni();
  EXPECT_NE(ini.find("Color1=4\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Color5=255\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("FontName=x"), std::string::npos) << ini;
  EXPECT_NE(ini.find("[Other]\r\nA=1"), std::string::npos) << ini;

  // Fewer colours than keys: the last one fills the rest and reads once.
  WriteIni(
      "[Nikki]\r\nColor1=5\r\nColor2=5\r\nColor3=5\r\nColor4=5\r\n"
      "Color5=5\r\n");
  ASSERT_TRUE(RememberColor(settings_, 6));
  EXPECT_EQ(History(), (std::vector<ColorValue>{6, 5}));
  EXPECT_NE(ReadIni().find("Color5=5"), std::string::npos);
}

}  // namespace
}  // namespace mirokata
