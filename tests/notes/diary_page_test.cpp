// The page codec on bytes: header reading, refusals, the two saves.
#include "notes/diary_page.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text_codec.h"
#include "richtext/rtf_reader.h"

namespace mirokata {
namespace {

std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

TEST(DiaryPageRead, HeaderLinesByTable) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string title, weather, picture;
    bool read_only;
  };
  const std::string long_title(300, 'a');
  std::string kanji300;
  for (int i = 0; i < 300; ++i) kanji300 += "漢";
  std::string kanji256;
  for (int i = 0; i < 256; ++i) kanji256 += "漢";
  const Case cases[] = {
      {"lower-case keys", Sjis("title:Tokyo\r\nweather:晴\r\n:end\r\nx"),
       "Tokyo", "晴", "", false},
      {"mixed case, LF only", "Title:a\nWeather:b\n:End\nbody", "a", "b", "",
       false},
      {"CR only", "TITLE:a\rWEATHER:b\r:END\rbody", "a", "b", "", false},
      {"read-only in lower case", "TITLE:x\r\nyov_readonly:true\r\n:END\r\n",
       "x", "", "", true},
      {"four characters after the colon", "YOV_READONLY:TrUeish\r\n:END\r\n",
       "", "", "", true},
      {"read-only false", "YOV_READONLY:FALSE\r\n:END\r\n", "", "", "", false},
      {"ASCII value cut at 256", "TITLE:" + long_title + "\r\n:END\r\n",
       std::string(256, 'a'), "", "", false},
      {"kanji value cut at 256 characters",
       "TITLE:" + Sjis(kanji300) + "\r\n:END\r\n", kanji256, "", "", false},
      {"JPG picture", "JPG:/p/a.jpg\r\n:END\r\n", "", "", "/p/a.jpg", false},
      {"BMP picture", "bmp:/p/a.JPG\r\n:END\r\n", "", "", "/p/a.JPG", false},
      {"Japanese weather", Sjis("WEATHER:晴 のち 雨\r\n:END\r\n"), "",
       "晴 のち 雨", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PageParse parse = ParseDiaryPage(c.bytes);
    ASSERT_EQ(parse.state, PageParseState::kRead);
    EXPECT_EQ(parse.page.header.title, c.title);
    EXPECT_EQ(parse.page.header.weather, c.weather);
    EXPECT_EQ(parse.page.header.picture, c.picture);
    EXPECT_EQ(parse.page.header.read_only, c.read_only);
  }
}

TEST(DiaryPageRead, NumbersAndBody) {
  PageParse parse = ParseDiaryPage(
      "TITLE:t\r\nCODE:RTF\r\nYOV_FONTCOLOR:255\r\nYOV_BACKCOLOR:-"
      "2147483643\r\n"
      "YOV_TOP:-10\r\nYOV_LEFT:20\r\nYOV_WIDTH:2147483647\r\nYOV_HEIGHT:300\r\n"
      ":END\r\n{\\rtf1 hello}\r\n");
  ASSERT_EQ(parse.state, PageParseState::kRead);
  const DiaryHeader& h = parse.page.header;
  EXPECT_EQ(h.font_color, 255);
  EXPECT_EQ(h.back_color, -2147483643);
  EXPECT_EQ(h.top, -10);
  EXPECT_EQ(h.left, 20);
  EXPECT_EQ(h.width, 2147483647);
  EXPECT_EQ(h.height, 300);
  EXPECT_TRUE(h.other_lines.empty());
  EXPECT_EQ(parse.page.body, "{\\rtf1 hello}\r\n");
}

TEST(DiaryPageRead, UnknownLinesKeptInOrderEmptyOnesDroppedOnSave) {
  PageParse parse =
      ParseDiaryPage("TITLE:t\r\nMOOD:good\r\n\r\nX-NOTE:" + Sjis("ゆっくり") +
                     "\r\n:END\r\nbody\r\n");
  ASSERT_EQ(parse.state, PageParseState::kRead);
  ASSERT_EQ(parse.page.header.other_lines.size(), 3u);
  EXPECT_EQ(parse.page.header.other_lines[0], "MOOD:good");
  EXPECT_EQ(parse.page.header.other_lines[1], "");
  const std::string saved = DiaryPageBytes(parse.page);
  EXPECT_NE(
      saved.find("MOOD:good\r\nX-NOTE:" + Sjis("ゆっくり") + "\r\n:END\r\n"),
      std::string::npos)
      << saved;
  EXPECT_EQ(saved.find("\r\n\r\n"), std::string::npos) << saved;
  EXPECT_EQ(ParseDiaryPage(saved).page.header.other_lines.size(), 2u);
}

TEST(DiaryPageRead, RefusedAndBrokenPages) {
  struct Case {
    const char* name;
    std::string bytes;
    PageParseState state;
    std::string message;
  };
  const Case cases[] = {
      {"empty", "", PageParseState::kBroken, ""},
      {"no :END", "TITLE:a\r\nWEATHER:b\r\n", PageParseState::kBroken, ""},
      {"binary junk", std::string("\0\xff\xfe\x81\r\x00junk", 10),
       PageParseState::kBroken, ""},
      {"cipher", "TITLE:a\r\ncipher:Blowfish\r\n:END\r\nx",
       PageParseState::kRefused,
       "｢Blowfish｣で暗号化されているので中断します。\r"
       "暗号を解いてから読み込んでください。"},
      {"html", "CODE:HTML\r\n:END\r\n<p>", PageParseState::kRefused,
       "｢HTML｣は未サポートなので中断します。\r"
       "標準テキストに変換してから読み込んでください。"},
      {"geometry not a number", "TITLE:a\r\nYOV_TOP:abc\r\n:END\r\n",
       PageParseState::kRefused,
       "｢YOV_TOP:abc｣は正しい数値ではないので中断します。"},
      {"colour not a number", "YOV_FONTCOLOR:\r\n:END\r\n",
       PageParseState::kRefused,
       "｢YOV_FONTCOLOR:｣は正しい数値ではないので中断します。"},
      {"number beyond 32 bits", "YOV_WIDTH:2147483648\r\n:END\r\n",
       PageParseState::kRefused,
       "｢YOV_WIDTH:2147483648｣は正しい数値ではないので中断します。"},
      {"number with junk", "YOV_HEIGHT:12px\r\n:END\r\n",
       PageParseState::kRefused,
       "｢YOV_HEIGHT:12px｣は正しい数値ではないので中断します。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PageParse parse = ParseDiaryPage(c.bytes);
    EXPECT_EQ(parse.state, c.state);
    EXPECT_EQ(parse.message, c.message);
  }
}

TEST(DiaryPageRead, HugeLinesAndBodies) {
  const std::string mb_line(1 << 20, 'x');
  PageParse parse = ParseDiaryPage("TITLE:" + mb_line + "\r\nMOOD:" + mb_line +
                                   "\r\n:END\r\n");
  ASSERT_EQ(parse.state, PageParseState::kRead);
  EXPECT_EQ(parse.page.header.title.size(), kDiaryValueLimit);
  EXPECT_EQ(parse.page.header.other_lines[0].size(), mb_line.size() + 5);

  std::string big = "TITLE:t\r\n:END\r\n{\\rtf1 ";
  big.append(50 << 20, 'a');
  big += "}";
  parse = ParseDiaryPage(big);
  ASSERT_EQ(parse.state, PageParseState::kRead);
  EXPECT_EQ(parse.page.body.size(), big.size() - 15);
}

TEST(DiaryPageWrite, NormalSaveLinesInOrder) {
  DiaryPage page;
  page.header.title = "旅行";
  page.header.weather = "晴 のち 雨";
  page.header.picture = "/home/u/p/photo.jpg";
  page.header.font_color = 255;
  page.header.back_color = -2147483643;
  page.header.top = 1;
  page.header.left = 2;
  page.header.width = 3;
  page.header.height = 4;
  page.header.read_only = true;
  page.body = "{\\rtf1 x}";
  EXPECT_EQ(DiaryPageBytes(page),
            Sjis("TITLE:旅行\r\nWEATHER:晴 のち 雨\r\nCODE:RTF\r\n"
                 "JPG:/home/u/p/photo.jpg\r\nYOV_FONTCOLOR:255\r\n"
                 "YOV_BACKCOLOR:-2147483643\r\nYOV_TOP:1\r\nYOV_LEFT:2\r\n"
                 "YOV_HEIGHT:4\r\nYOV_WIDTH:3\r\nYOV_READONLY:TRUE\r\n:END\r\n"
                 "{\\rtf1 x}\r\n"));
}

TEST(DiaryPageWrite, PictureLineByExtension) {
  struct Case {
    const char* picture;
    const char* normal;    // the normal save's line, "" for none
    const char* exported;  // the export's line
  };
  const Case cases[] = {
      {"/p/a.bmp", "BMP:/p/a.bmp\r\n", "BMP:/p/a.bmp\r\n"},
      {"/p/a.JPG", "JPG:/p/a.JPG\r\n", "BMP:/p/a.JPG\r\n"},
      {"/p/a.gif", "", "BMP:/p/a.gif\r\n"},
      {"/p/a.jpeg", "", "BMP:/p/a.jpeg\r\n"},
      {"/p.jpg/a", "", "BMP:/p.jpg/a\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picture);
    DiaryPage page;
    page.header.picture = c.picture;
    const std::string normal = DiaryPageBytes(page);
    const std::string exported = ExportedPageBytes(page.header, "x");
    EXPECT_EQ(normal.find("BMP:") == std::string::npos &&
                  normal.find("JPG:") == std::string::npos,
              std::string(c.normal).empty());
    if (*c.normal) {
      EXPECT_NE(normal.find(c.normal), std::string::npos);
    }
    EXPECT_NE(exported.find(c.exported), std::string::npos);
    // An exported picture line reads back as the same picture.
    EXPECT_EQ(ParseDiaryPage(exported).page.header.picture, c.picture);
  }
}

TEST(DiaryPageWrite, ExportHasNoCodeLineAndAPlainBody) {
  DiaryHeader header;
  header.title = "t";
  const std::string bytes = ExportedPageBytes(header, "一行目\r\n二行目\n三");
  EXPECT_EQ(bytes.find("CODE:"), std::string::npos);
  const size_t end = bytes.find(":END\r\n");
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(bytes.substr(end + 6), Sjis("一行目\r\n二行目\r\n三\r\n"));
  PageParse parse = ParseDiaryPage(bytes);
  ASSERT_EQ(parse.state, PageParseState::kRead);
  EXPECT_EQ(RichTextToPlainText(parse.page.body), "一行目\r\n二行目\r\n三\r\n");
}

TEST(DiaryPageWrite, LineBreaksInTitleAndWeatherBecomeSpaces) {
  DiaryPage page;
  page.header.title = "a\r\n:END\r\nCIPHER:x";
  page.header.weather = "b\nYOV_TOP:zz\rc";
  page.body = "{\\rtf1 body}";
  const std::string bytes = DiaryPageBytes(page);
  PageParse parse = ParseDiaryPage(bytes);
  ASSERT_EQ(parse.state, PageParseState::kRead);
  EXPECT_EQ(parse.page.header.title, "a  :END  CIPHER:x");
  EXPECT_EQ(parse.page.header.weather, "b YOV_TOP:zz c");
  EXPECT_EQ(parse.page.body, "{\\rtf1 body}\r\n");
}

TEST(DiaryPageWrite, TextOutsideCp932SurvivesAndPlainTextStaysPlain) {
  const char* titles[] = {"plain title", "日記 ～ 旅", "café 😀", "{u}abc",
                          "  blanks  "};
  for (const char* title : titles) {
    SCOPED_TRACE(title);
    DiaryPage page;
    page.header.title = title;
    const std::string bytes = DiaryPageBytes(page);
    EXPECT_EQ(ParseDiaryPage(bytes).page.header.title, title);
  }
  DiaryPage page;
  page.header.title = "日記";
  EXPECT_EQ(DiaryPageBytes(page).substr(0, 12),
            "TITLE:" + Sjis("日記") + "\r\n");
}

TEST(DiaryPageNames, NamesAndCaption) {
  EXPECT_EQ(DiaryPageName({2024, 5, 1}), "20240501.JNL");
  EXPECT_EQ(DiaryPageName({987, 12, 31}), "09871231.JNL");
  EXPECT_EQ(OldDayFileName({2024, 5, 1}), "ni240501.day");
  EXPECT_EQ(OldDayFileName({1999, 5, 1}), "ni990501.day");
  EXPECT_EQ(DiaryCaption({2024, 5, 1}, JapaneseShortWeekdayNames()),
            "2024/05/01 (水)の日記");
}

}  // namespace
}  // namespace mirokata
