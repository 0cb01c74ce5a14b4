#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text_codec.h"
#include "richtext/rich_document.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

namespace mirokata {
namespace {

// A minimal document around body, with a Japanese face as font 0 and a
// Latin one as font 1.
std::string Rtf(std::string_view body) {
  return std::string(
             "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{"
             "\\f0\\fnil\\fcharset128 "
             "MS Gothic;}{\\f1\\fswiss\\fcharset0 Arial;}}"
             "{\\colortbl ;\\red255\\green0\\blue0;}\\f0 ") +
         std::string(body) + "}";
}

std::string TextOf(std::string_view rtf) {
  std::optional<RichDocument> doc = ParseRtf(rtf);
  EXPECT_TRUE(doc.has_value()) << rtf;
  return doc ? PlainText(*doc) : std::string("<not rtf>");
}

RichCharFormat Format(std::string font, int half_points) {
  RichCharFormat f;
  f.font = std::move(font);
  f.half_points = half_points;
  return f;
}

// A document using everything the model holds: faces, sizes, styles,
// colours, alignment, indents, bullets, numbered lists of two styles,
// paragraph spacing of each kind, tabs, line breaks, an empty
// paragraph, characters whose Shift-JIS trail byte is \ { or }, RTF's own
// special characters and characters outside code page 932.
RichDocument StyledJapaneseDocument() {
  RichDocument doc;
  doc.paragraphs.clear();

  RichCharFormat gothic = Format("ＭＳ ゴシック", 18);
  RichCharFormat bold_red = gothic;
  bold_red.bold = true;
  bold_red.color = RichColor{255, 0, 0};
  RichCharFormat mincho = Format("ＭＳ 明朝", 28);
  mincho.italic = true;
  mincho.underline = true;
  RichCharFormat arial = Format("Arial", 20);
  arial.strike = true;
  arial.color = RichColor{0, 0, 128};

  RichParagraph title;
  title.format.alignment = RichAlignment::kCenter;
  AppendRunText(title, bold_red, "会議の予定");
  AppendRunText(title, mincho, "（表示・ソフト）");
  title.mark_format = mincho;
  doc.paragraphs.push_back(title);

  RichParagraph body;
  body.format.first_indent = 240;
  body.format.left_indent = 480;
  body.format.right_indent = 120;
  body.format.tab_stops = {720, 1440};
  AppendRunText(body, gothic, "時間:\t10時\tボーマ{}\\");
  AppendRunText(body, arial, "Caf\xC3\xA9 \xF0\x9F\x98\x80 \xE2\x82\xAC");
  AppendRunText(body, gothic, "一行目\n二行目");
  body.mark_format = gothic;
  doc.paragraphs.push_back(body);

  RichParagraph empty;
  empty.format.alignment = RichAlignment::kRight;
  empty.mark_format = mincho;
  doc.paragraphs.push_back(empty);

  for (const char* item : {"牛乳", "卵"}) {
    RichParagraph bullet;
    bullet.format.list = RichListStyle::kBullet;
    bullet.format.first_indent = -360;
    bullet.format.left_indent = 360;
    AppendRunText(bullet, gothic, item);
    bullet.mark_format = gothic;
    doc.paragraphs.push_back(bullet);
  }

  for (const char* item : {"一つ目", "二つ目", "三つ目"}) {
    RichParagraph numbered;
    numbered.format.list = RichListStyle::kDecimal;
    numbered.format.first_indent = -360;
    numbered.format.left_indent = 360;
    numbered.format.space_after = 120;
    numbered.format.line_spacing = 276;
    numbered.format.line_multiple = true;
    AppendRunText(numbered, gothic, item);
    numbered.mark_format = gothic;
    doc.paragraphs.push_back(numbered);
  }
  for (const char* item : {"甲", "乙"}) {
    RichParagraph roman;
    roman.format.list = RichListStyle::kUpperRoman;
    roman.format.list_start = 3;
    roman.format.space_before = 240;
    roman.format.line_spacing = -300;  // exactly 15 pt
    AppendRunText(roman, gothic, item);
    roman.mark_format = gothic;
    doc.paragraphs.push_back(roman);
  }

  RichParagraph justified;
  justified.format.alignment = RichAlignment::kJustify;
  justified.format.line_spacing = 360;  // at least 18 pt
  AppendRunText(justified, gothic, "終わり");
  justified.mark_format = gothic;
  doc.paragraphs.push_back(justified);
  return doc;
}

TEST(RtfWriter, StyledJapaneseDocumentRoundTrips) {
  RichDocument doc = StyledJapaneseDocument();
  std::string rtf = WriteRtf(doc);

  EXPECT_TRUE(IsAscii(rtf));
  EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg932")) << rtf;
  for (const char* word :
       {"\\fcharset128",
        "\\colortbl",
        "\\red255\\green0\\blue0",
        "\\qc",
        "\\qr",
        "\\qj",
        "\\fi240",
        "\\li480",
        "\\ri120",
        "\\tx720",
        "\\tab",
        "\\line",
        "\\b",
        "\\i",
        "\\ul",
        "\\strike",
        "\\pnlvlblt",
        "{\\pntxtb\\u8226\\'b7}",
        "{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360\\pnstart1\\pndec{\\pntxta .}}",
        "{\\pntext 1.\\tab}",
        "{\\pntext 2.\\tab}",
        "{\\pntext 3.\\tab}",
        "\\pnstart3\\pnucrm",
        "{\\pntext III.\\tab}",
        "{\\pntext IV.\\tab}",
        "\\sa120\\sl276\\slmult1",
        "\\sb240\\sl-300\\slmult0",
        "\\sl360\\slmult0",
        "{\\listoverride\\listid2\\listoverridecount0\\ls2}",
        "\\levelnfc1\\levelnfcn1\\leveljc0\\levelfollow0\\levelstartat3",
        "\\pndec{\\pntxta .}}\\ls1",
        "\\pnucrm{\\pntxta .}}\\ls2",
        "\\pard",
        "\\par",
        "\\u-10179?\\u-8704?",
        "\\u233?"}) {
    EXPECT_NE(rtf.find(word), std::string::npos) << word << " in " << rtf;
  }
  // ソ is 83 5C, ボ 83 7B, マ 83 7D: the trail bytes are escaped as hex.
  EXPECT_NE(rtf.find("\\'83\\'5c"), std::string::npos);
  EXPECT_NE(rtf.find("\\'83\\'7b"), std::string::npos);
  EXPECT_NE(rtf.find("\\'83\\'7d"), std::string::npos);
  // The euro sign is not in code page 932 either.
  EXPECT_NE(rtf.find("\\u8364?"), std::string::npos);

  std::optional<RichDocument> back = ParseRtf(rtf);
  ASSERT_TRUE(back.has_value());
  ASSERT_EQ(back->paragraphs.size(), doc.paragraphs.size());
  for (size_t i = 0; i < doc.paragraphs.size(); ++i) {
    EXPECT_EQ(back->paragraphs[i], doc.paragraphs[i]) << "paragraph " << i;
  }
  // Writing what was read gives the same bytes.
  EXPECT_EQ(WriteRtf(*back), rtf);
}

TEST(RtfWriter, WritesTheRichEditForm) {
  RichDocument doc;
  RichCharFormat bold = Format("ＭＳ ゴシック", 18);
  bold.bold = true;
  AppendRunText(doc.paragraphs[0], bold, "予定");
  doc.paragraphs[0].mark_format = bold;
  EXPECT_EQ(
      WriteRtf(doc),
      "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041"
      "{\\fonttbl{\\f0\\fnil\\fcharset128 "
      "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n"
      "{\\colortbl ;}\r\n"
      "\\viewkind4\\uc1\\pard\\lang1041\\b\\f0\\fs18 "
      "\\'97\\'5c\\'92\\'e8\\par\r\n}\r\n");
}

TEST(RtfWriter, FontsGetTheJapaneseCharsetWhenTheyCarryJapanese) {
  RichDocument doc;
  AppendRunText(doc.paragraphs[0], Format("Arial", 20), "abc");
  AppendRunText(doc.paragraphs[0], Format("Times New Roman", 20), "日本");
  AppendRunText(doc.paragraphs[0], Format("Noto Sans CJK JP", 20), "x");
  std::string rtf = WriteRtf(doc);
  EXPECT_NE(rtf.find("\\fcharset0 Arial;"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\fcharset128 Times New Roman;"), std::string::npos)
      << rtf;
  EXPECT_NE(rtf.find("\\fcharset128 Noto Sans CJK JP;"), std::string::npos)
      << rtf;
}

// Characters code page 932 maps one way only (U+00A3 is written as 81 92,
// which reads back as U+FFE1) go out as \u, so they come back unchanged.
TEST(RtfWriter, KeepsCharactersWithoutAnExactCp932Form) {
  const std::string text = "\xC2\xA3 \xE3\x80\x9C \xE2\x88\x92 \xEF\xBF\xA1";
  std::string rtf = PlainTextToRtf(text);
  EXPECT_NE(rtf.find("\\u163?"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\'81\\'92"), std::string::npos) << rtf;  // U+FFE1 itself
  EXPECT_EQ(RichTextToPlainText(rtf), text);
}

TEST(RtfWriter, PlainTextAndUnsetFormatsUseTheDefaults) {
  std::string rtf = PlainTextToRtf("一行目\r\n二行目\n");
  RichDocument back = *ParseRtf(rtf);
  ASSERT_EQ(back.paragraphs.size(), 3u);
  EXPECT_EQ(back.paragraphs[0].runs[0].format.font, kDefaultRichFont);
  EXPECT_EQ(back.paragraphs[0].runs[0].format.half_points,
            kDefaultRichHalfPoints);
  EXPECT_EQ(PlainText(back), "一行目\r\n二行目\r\n");
  // Control characters and invalid UTF-8 never reach the file as raw bytes.
  std::string odd =
      PlainTextToRtf(std::string("a\x01\x7f\xff"
                                 "b",
                                 5));
  EXPECT_TRUE(IsAscii(odd));
  EXPECT_EQ(RichTextToPlainText(odd),
            "a\xEF\xBF\xBD"
            "b");
}

struct TextCase {
  const char* name;
  std::string body;
  std::string text;
};

// Byte escapes are collected before decoding, so a Shift-JIS trail byte
// may come as \'5c, \\, \{ or \} or as a raw byte; \u takes \uc fallbacks.
TEST(RtfReader, DecodesBytesAndUnicodeEscapes) {
  const std::vector<TextCase> cases = {
      {"hex trail 5c", "\\'83\\'5c", "ソ"},
      {"escaped backslash trail", "\\'83\\\\\\'95\\\\", "ソ表"},
      {"hex trail 7b 7d", "\\'83\\'7b\\'83\\'7d", "ボマ"},
      {"escaped brace trails", "\\'83\\{\\'83\\}", "ボマ"},
      {"raw lead byte", "\x97\\\\\x92\xe8", "予定"},
      {"uppercase hex", "\\'97\\'5C\\'92\\'E8", "予定"},
      {"unicode with one fallback", "\\u12354?\\u12356?", "あい"},
      {"unicode with two byte fallback", "\\uc2\\u12354\\'82\\'a0x", "あx"},
      {"unicode without fallback", "\\uc0\\u12354 \\u12356 x", "あいx"},
      {"fallback counts a control word", "\\uc1\\u12354\\'82x", "あx"},
      {"negative unicode", "\\u-257?", "\xEF\xBB\xBF"},
      {"surrogate pair", "\\u-10179?\\u-8704?", "\xF0\x9F\x98\x80"},
      {"lone high surrogate", "\\u-10179?x", "\xEF\xBF\xBDx"},
      {"lone low surrogate", "\\u-8704?x", "\xEF\xBF\xBDx"},
      {"fallback ends with the group", "{\\uc3\\u12354}xy", "あxy"},
      {"latin face under ansicpg932", "\\f1 \\'82\\'a0", "あ"},
      {"symbols", "a\\~b\\_c\\-d\\emdash\\endash\\bullet\\lquote\\rquote",
       "a\xC2\xA0"
       "b\xE2\x80\x91"
       "cd—–•‘’"},
      {"tabs and line breaks", "a\\tab b\\line c\td", "a\tb\r\nc\td"},
      {"raw line ends ignored", "ab\r\ncd\n", "abcd"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(TextOf(Rtf(c.body)), c.text) << c.name;
  }
}

TEST(RtfReader, HonoursCodePagesOfOtherSystems) {
  EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80}"), "café €");
  EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset128 M;}}"
                   "\\f0 \\'82\\'a0}"),
            "あ");
  EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg1251 \\'c0}"), "А");
  EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg65001 \\'e3\\'81\\'82}"), "あ");
}

// Content that is not text of the document is left out; the text around
// it stays.
TEST(RtfReader, SkipsDestinationsAndUnknownWords) {
  const std::vector<TextCase> cases = {
      {"unknown ignorable", "{\\*\\somethingnew secret {nested}}", ""},
      {"ignorable without word", "{\\* secret}", ""},
      {"info", "{\\info{\\title secret}{\\author me}}", ""},
      {"picture", "{\\pict\\wmetafile8\\picw10 7b7d5c7b}", ""},
      {"binary with braces", "{\\pict\\bin6 }}{\\{{}", ""},
      {"binary in the body", "\\bin2 }{", ""},
      {"object", "{\\object\\objemb{\\*\\objdata 0102}{\\result secret}}", ""},
      {"field keeps its result",
       "{\\field{\\*\\fldinst HYPERLINK \"http://x/\"}{\\fldrslt link}}",
       "link"},
      {"stylesheet", "{\\stylesheet{\\s0 Normal;}{\\s1 Heading;}}", ""},
      {"bullet text", "{\\pntext\\f1\\'b7\\tab}item", "item"},
      {"list text", "{\\listtext 1.\\tab}item", "item"},
      {"unknown words", "\\foo123 \\bar \\baz-7 x", "x"},
      {"upr keeps the unicode part", "{\\upr{ansi secret}{\\*\\ud{\\u12354?}}}",
       "あ"},
      {"header and footer", "{\\header secret}{\\footerl secret}", ""},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(TextOf(Rtf("A" + c.body + "B")), "A" + c.text + "B") << c.name;
  }
}

TEST(RtfReader, SplitsParagraphsAsTheRichEditDoes) {
  const std::vector<TextCase> cases = {
      {"no break", "a", "a"},
      {"final break belongs to the last paragraph", "a\\par", "a"},
      {"empty last paragraph", "a\\par\\par", "a\r\n"},
      {"two paragraphs", "a\\par b", "a\r\nb"},
      {"backslash newline", "a\\\nb", "a\r\nb"},
      {"section and page", "a\\sect b\\page c", "a\r\nb\r\nc"},
      {"table cells", "\\trowd a\\cell b\\cell\\row c", "a\tb\t\r\nc"},
      {"empty document", "", ""},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(TextOf(Rtf(c.body)), c.text) << c.name;
  }
}

TEST(RtfReader, ReadsFormattingOfOtherWriters) {
  std::string rtf =
      Rtf("\\pard\\qc\\fi-200\\li400\\ri100\\tx500\\tb900 "
          "{\\b bold}{\\i\\cf1 red}{\\uldb under}\\ulnone\\strike s\\strike0 "
          "\\cf9 auto\\f1\\fs30 arial\\plain plain\\par "
          "\\pard\\ls1\\ilvl0\\lin720 item\\par"
          "\\pard{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}old\\par"
          "\\pard\\qj\\fs-4 x\\fs99999999999 y\\par");
  RichDocument doc = *ParseRtf(rtf);
  ASSERT_EQ(doc.paragraphs.size(), 4u);
  const RichParagraph& p = doc.paragraphs[0];
  EXPECT_EQ(p.format.alignment, RichAlignment::kCenter);
  EXPECT_EQ(p.format.first_indent, -200);
  EXPECT_EQ(p.format.left_indent, 400);
  EXPECT_EQ(p.format.right_indent, 100);
  EXPECT_EQ(p.format.tab_stops, (std::vector<int>{500, 900}));
  ASSERT_EQ(p.runs.size(), 7u);
  EXPECT_EQ(p.runs[0].text, "bold");
  EXPECT_TRUE(p.runs[0].format.bold);
  EXPECT_EQ(p.runs[0].format.font, "MS Gothic");
  EXPECT_EQ(p.runs[0].format.half_points, 24);  // RTF's default size
  EXPECT_TRUE(p.runs[1].format.italic);
  EXPECT_EQ(p.runs[1].format.color, (RichColor{255, 0, 0}));
  EXPECT_TRUE(p.runs[2].format.underline);
  EXPECT_FALSE(p.runs[2].format.bold);  // the group ended
  EXPECT_TRUE(p.runs[3].format.strike);
  EXPECT_EQ(p.runs[4].text, "auto");
  EXPECT_EQ(p.runs[4].format.color, std::nullopt);  // no such colour
  EXPECT_EQ(p.runs[5].format.font, "Arial");
  EXPECT_EQ(p.runs[5].format.half_points, 30);
  EXPECT_EQ(p.runs[6].format, Format("MS Gothic", 24));

  EXPECT_TRUE(doc.paragraphs[1].format.bullet());
  EXPECT_EQ(doc.paragraphs[1].format.left_indent, 720);
  EXPECT_TRUE(doc.paragraphs[2].format.bullet());
  EXPECT_EQ(PlainText(doc).substr(PlainText(doc).rfind("old")), "old\r\nxy");
  EXPECT_EQ(doc.paragraphs[3].format.alignment, RichAlignment::kJustify);
  EXPECT_EQ(doc.paragraphs[3].runs[0].format.half_points, 24);
  EXPECT_EQ(doc.paragraphs[3].runs[1].format.half_points, 3276);
}

// Word's list tables: two lists, one override each, and an override that
// names no list.
constexpr char kListTables[] =
    "{\\*\\listtable"
    "{\\list\\listtemplateid7"
    "{\\listlevel\\levelnfc0\\levelnfcn0\\levelstartat5{\\leveltext\\'02\\'00.;"
    "}"
    "{\\levelnumbers\\'01;}\\fi-360\\li720}"
    "{\\listlevel\\levelnfc4\\levelnfcn4\\levelstartat1{\\leveltext\\'02\\'01.;"
    "}"
    "{\\levelnumbers\\'01;}}"
    "{\\listlevel\\levelnfc10\\levelstartat1{\\leveltext\\'02\\'02.;}}"
    "{\\listname ;}\\listid100}"
    "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}"
    "{\\listlevel\\levelnfc255{\\leveltext\\'00;}}\\listid200}}"
    "{\\*\\listoverridetable{"
    "\\listoverride\\listid100\\listoverridecount0\\ls1}"
    "{\\listoverride\\listid200\\ls2}{\\listoverride\\listid999\\ls3}}";

struct ListCase {
  const char* name;
  const char* body;  // one paragraph
  RichListStyle list;
  int start;
};

TEST(RtfReader, ReadsNumberedListsOfEveryForm) {
  const std::vector<ListCase> cases = {
      {"rich edit numbers",
       "{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pndec{\\pntxta.}}",
       RichListStyle::kDecimal, 1},
      {"type before level", "{\\*\\pn\\pnlcltr\\pnlvlbody\\pnstart4}",
       RichListStyle::kLowerAlpha, 4},
      {"upper letters", "{\\*\\pn\\pnlvlbody\\pnucltr}",
       RichListStyle::kUpperAlpha, 1},
      {"lower roman", "{\\*\\pn\\pnlvlbody\\pnlcrm}",
       RichListStyle::kLowerRoman, 1},
      {"upper roman", "{\\pn\\pnlvlbody\\pnucrm\\pnstart2}",
       RichListStyle::kUpperRoman, 2},
      {"outline level", "{\\*\\pn\\pnlvl3\\pndec}", RichListStyle::kDecimal, 1},
      {"body level alone", "{\\*\\pn\\pnlvlbody}", RichListStyle::kDecimal, 1},
      {"kanji numbers count in digits", "{\\*\\pn\\pnlvlbody\\pndbnum}",
       RichListStyle::kDecimal, 1},
      {"bullet level wins over a type", "{\\*\\pn\\pnlvlblt\\pndec}",
       RichListStyle::kBullet, 1},
      {"number text is no text",
       "{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec}", RichListStyle::kDecimal,
       1},
      {"list table level 0", "\\ls1\\ilvl0", RichListStyle::kDecimal, 5},
      {"list table level 1", "\\ls1\\ilvl1", RichListStyle::kLowerAlpha, 1},
      {"list table kanji level", "\\ls1\\ilvl2", RichListStyle::kDecimal, 1},
      {"level past the list's last", "\\ls1\\ilvl8", RichListStyle::kDecimal,
       1},
      {"bullet list", "\\ls2", RichListStyle::kBullet, 1},
      {"list without numbers", "\\ls2\\ilvl1", RichListStyle::kNone, 1},
      {"override of a missing list", "\\ls3", RichListStyle::kBullet, 1},
      {"unknown override", "\\ls9", RichListStyle::kBullet, 1},
      {"list text skipped", "{\\listtext\\pard\\plain 5.\\tab}\\ls1",
       RichListStyle::kDecimal, 5},
      {"no list", "\\ls0", RichListStyle::kNone, 1},
  };
  for (const ListCase& c : cases) {
    std::string body = std::string(kListTables) + "\\pard " + c.body +
                       "{}item\\par\\pard after\\par";
    std::optional<RichDocument> doc = ParseRtf(Rtf(body));
    ASSERT_TRUE(doc.has_value()) << c.name;
    ASSERT_EQ(doc->paragraphs.size(), 2u) << c.name;
    const RichParagraphFormat& f = doc->paragraphs[0].format;
    EXPECT_EQ(f.list, c.list) << c.name;
    EXPECT_EQ(f.list_start, c.start) << c.name;
    EXPECT_EQ(PlainText(*doc), "item\r\nafter") << c.name;
    // \pard ends the list.
    EXPECT_EQ(doc->paragraphs[1].format.list, RichListStyle::kNone) << c.name;
  }
}

TEST(RtfReader, NumberingCarriesToFollowingParagraphs) {
  RichDocument doc = *ParseRtf(
      Rtf("\\pard{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart2}\\fi-360\\li360 a\\par "
          "{\\pntext II.\\tab}b\\par\\pard c\\par"));
  ASSERT_EQ(doc.paragraphs.size(), 3u);
  EXPECT_EQ(doc.paragraphs[1].format.list, RichListStyle::kUpperRoman);
  EXPECT_EQ(ListItemNumbers(doc), (std::vector<int>{2, 3, 0}));
  EXPECT_EQ(PlainText(doc), "a\r\nb\r\nc");
}

struct SpacingCase {
  const char* name;
  const char* words;
  int before, after, line;
  bool multiple;
};

TEST(RtfReader, ReadsParagraphSpacing) {
  const std::vector<SpacingCase> cases = {
      {"none", "", 0, 0, 0, false},
      {"before and after", "\\sb120\\sa240", 120, 240, 0, false},
      {"multiple", "\\sl276\\slmult1", 0, 0, 276, true},
      {"at least", "\\sl300\\slmult0", 0, 0, 300, false},
      {"exactly", "\\sl-300", 0, 0, -300, false},
      {"single", "\\sl0\\slmult1", 0, 0, 0, false},
      {"negative space is none", "\\sb-50\\sa-1", 0, 0, 0, false},
      {"huge values are cut", "\\sb99999999\\sl-99999999", 31680, 0, -31680,
       false},
  };
  for (const SpacingCase& c : cases) {
    RichDocument doc =
        *ParseRtf(Rtf(std::string("\\pard") + c.words + " a\\par\\pard b"));
    const RichParagraphFormat& f = doc.paragraphs[0].format;
    EXPECT_EQ(f.space_before, c.before) << c.name;
    EXPECT_EQ(f.space_after, c.after) << c.name;
    EXPECT_EQ(f.line_spacing, c.line) << c.name;
    EXPECT_EQ(f.line_multiple, c.multiple) << c.name;
    EXPECT_EQ(doc.paragraphs[1].format, RichParagraphFormat{}) << c.name;
  }
}

struct LabelCase {
  RichListStyle style;
  int number;
  const char* label;
};

TEST(RichDocument, ListItemLabels) {
  const std::vector<LabelCase> cases = {
      {RichListStyle::kDecimal, 1, "1."},
      {RichListStyle::kDecimal, 0, "0."},
      {RichListStyle::kLowerAlpha, 1, "a."},
      {RichListStyle::kLowerAlpha, 26, "z."},
      {RichListStyle::kLowerAlpha, 27, "aa."},
      {RichListStyle::kLowerAlpha, 53, "ba."},
      {RichListStyle::kUpperAlpha, 28, "AB."},
      {RichListStyle::kLowerRoman, 4, "iv."},
      {RichListStyle::kLowerRoman, 1994, "mcmxciv."},
      {RichListStyle::kUpperRoman, 9, "IX."},
      {RichListStyle::kUpperRoman, 0, "0."},
      {RichListStyle::kUpperRoman, 4000, "4000."},
      {RichListStyle::kBullet, 1, ""},
      {RichListStyle::kNone, 1, ""},
  };
  for (const LabelCase& c : cases) {
    EXPECT_EQ(ListItemLabel(c.style, c.number), c.label) << c.number;
  }
}

TEST(RichDocument, ListItemNumbersRestartWithStyleOrStart) {
  RichDocument doc;
  doc.paragraphs.clear();
  auto add = [&doc](RichListStyle style, int start) {
    RichParagraph p;
    p.format.list = style;
    p.format.list_start = start;
    doc.paragraphs.push_back(p);
  };
  add(RichListStyle::kDecimal, 1);
  add(RichListStyle::kDecimal, 1);
  add(RichListStyle::kLowerAlpha, 1);  // another style: a new list
  add(RichListStyle::kLowerAlpha, 1);
  add(RichListStyle::kNone, 1);
  add(RichListStyle::kLowerAlpha, 1);  // after plain text: a new list
  add(RichListStyle::kLowerAlpha, 7);  // another start: a new list
  add(RichListStyle::kBullet, 1);
  EXPECT_EQ(ListItemNumbers(doc), (std::vector<int>{1, 2, 1, 2, 0, 1, 7, 0}));
}

TEST(RtfReader, ReadsFontTablesOfOtherWriters) {
  // Apple style entries without groups, Word's alternative names and
  // panose groups, and a Japanese face name in code page 932.
  RichDocument doc = *ParseRtf(
      "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;"
      "\\f1\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}"
      "{\\fonttbl{\\f2\\froman\\fcharset0\\fprq2{\\*\\panose "
      "02020603050405020304}"
      "Times New Roman{\\*\\falt Times};}}"
      "{\\fonttbl{\\f3 \\u-10179?\\u-8704?\\u-10179?;}}"
      "\\f0 a\\f1 b\\f2 c\\f7 d\\f3 e}");
  ASSERT_EQ(doc.paragraphs[0].runs.size(), 5u);
  EXPECT_EQ(doc.paragraphs[0].runs[0].format.font, "Helvetica");
  EXPECT_EQ(doc.paragraphs[0].runs[1].format.font, "ＭＳ 明朝");
  EXPECT_EQ(doc.paragraphs[0].runs[2].format.font, "Times New Roman");
  EXPECT_EQ(doc.paragraphs[0].runs[3].format.font, "");
  // A surrogate pair in a name, and a half without its partner.
  EXPECT_EQ(doc.paragraphs[0].runs[4].format.font,
            "\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

// Whatever the bytes, reading ends, returns at least one paragraph, and
// broken RTF either yields what could be read or falls back to plain text.
TEST(RtfReader, SurvivesMalformedInput) {
  const std::vector<TextCase> cases = {
      {"unclosed", "{\\rtf1 abc", "abc"},
      {"extra closing braces", "{\\rtf1 abc}}}} more", "abc"},
      {"truncated hex", "{\\rtf1 a\\'8", "a"},
      {"bad hex", "{\\rtf1 a\\'zzb}", "azzb"},
      {"trailing backslash", "{\\rtf1 a\\", "a"},
      {"truncated word", "{\\rtf1 a\\par", "a"},
      {"huge binary", "{\\rtf1 a\\bin999999999999 xyz}", "a"},
      {"negative binary", "{\\rtf1 a\\bin-5 b}", "ab"},
      {"huge unicode", "{\\rtf1 \\u99999999999?\\u-99999999999?}",
       "\xEF\xBF\xBF"},
      {"root is a destination", "{\\rtf1 a\\pict 0102}b", "a"},
      {"skipped root left open", "{\\rtf1 a{\\*\\x{", "a"},
      {"unclosed font table", "{\\rtf1{\\fonttbl{\\f0 x", ""},
      {"lone lead byte", "{\\rtf1 \\'82}", "\xEF\xBF\xBD"},
      {"nul bytes", std::string("{\\rtf1 a\0b}", 10), "ab"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(TextOf(c.body), c.text) << c.name;
  }

  // Nesting far beyond any real document is skipped without recursion.
  std::string deep = "{\\rtf1 a" + std::string(200000, '{') + "x" +
                     std::string(200000, '}') + "b}";
  EXPECT_EQ(TextOf(deep), "ab");
  std::string deep_open = "{\\rtf1 a" + std::string(200000, '{');
  EXPECT_EQ(TextOf(deep_open), "a");

  // A control word longer than RTF allows is not RTF: plain text.
  std::string long_word = "{\\rtf1 \\" + std::string(40, 'a') + " x}";
  EXPECT_FALSE(ParseRtf(long_word).has_value());
  EXPECT_EQ(RichTextToPlainText(long_word), long_word);
}

TEST(RichText, NonRtfIsReadAsPlainCp932) {
  const std::vector<TextCase> cases = {
      {"empty", "", ""},
      {"shift-jis lines", Utf8ToCp932("予定\r\n表示\r\n"), "予定\r\n表示\r\n"},
      {"mixed line ends", "a\rb\nc\r\n\r\nd", "a\r\nb\r\nc\r\n\r\nd"},
      {"almost rtf", "{rtf1 abc}", "{rtf1 abc}"},
      {"rtf later", "text {\\rtf1 x}", "text {\\rtf1 x}"},
  };
  for (const TextCase& c : cases) {
    EXPECT_FALSE(ParseRtf(c.body).has_value()) << c.name;
    EXPECT_EQ(RichTextToPlainText(c.body), c.text) << c.name;
  }
  RichDocument doc = ReadRichText(Utf8ToCp932("一\r\n二"));
  ASSERT_EQ(doc.paragraphs.size(), 2u);
  EXPECT_EQ(doc.paragraphs[1].runs[0].format, RichCharFormat{});
  // Leading blank lines before the header still make it RTF.
  EXPECT_EQ(RichTextToPlainText("\r\n {\\rtf1 x}"), "x");
}

TEST(RichDocument, PlainTextJoinsParagraphsWithCrLf) {
  RichDocument doc = DocumentFromPlainText("a\tb\nc\n\nd");
  EXPECT_EQ(doc.paragraphs.size(), 4u);
  EXPECT_EQ(PlainText(doc), "a\tb\r\nc\r\n\r\nd");
  EXPECT_EQ(PlainText(RichDocument{}), "");
  RichParagraph p;
  p.runs = {{Format("x", 1), ""},
            {Format("x", 1), "a"},
            {Format("x", 1), "b"},
            {Format("y", 1), "c"}};
  NormalizeRuns(p);
  ASSERT_EQ(p.runs.size(), 2u);
  EXPECT_EQ(p.runs[0].text, "ab");
}

}  // namespace
}  // namespace mirokata
