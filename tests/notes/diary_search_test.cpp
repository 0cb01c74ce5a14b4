// The month list and the search over real folders.
#include "notes/diary_search.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "notes/diary_page.h"
#include "notes/diary_store.h"
#include "platform/text_codec.h"
#include "richtext/rich_document.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

namespace fs = std::filesystem;

std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

void WritePage(const TempFolder& folder, const CivilDate& date,
               const std::string& title, const std::string& weather,
               const std::string& body_text) {
  DiaryPage page;
  page.header.title = title;
  page.header.weather = weather;
  page.body = WriteRtf(DocumentFromPlainText(body_text));
  ASSERT_TRUE(SaveDiaryPage(folder / DiaryPageName(date), page, nullptr));
}

TEST(DiaryMonthList, LeapFebruaryRowsAndHint) {
  TempFolder folder;
  WritePage(folder, {2024, 2, 1}, "一日", "", "");
  WritePage(folder, {2024, 2, 29}, "閏日", "", "");
  folder.Touch("ni240214.day", Sjis("バレンタイン\r\n本文\r\n"));
  folder.Touch("20240210.JNL", "TITLE:no end\r\n");
  folder.Touch("20240211.JNL", "");
  fs::create_directory(folder / "20240212.jnl");

  const DiaryMonth month = ListDiaryMonth(folder.path(), 2024, 2, 2026);
  ASSERT_EQ(month.rows.size(), 29u);
  EXPECT_EQ(month.written, 3);
  EXPECT_EQ(DiaryMonthHint(month.written, 29),
            "月あたり\r日記の記入状況 3件(10%)");
  const WeekdayNames& ja = JapaneseShortWeekdayNames();
  EXPECT_EQ(DiaryRowText(month.rows[0], ja), "2024/02/01 (木) : 一日");
  EXPECT_EQ(DiaryRowText(month.rows[1], ja), "2024/02/02 (金)");
  EXPECT_EQ(DiaryRowText(month.rows[9], ja),
            "2024/02/10 (土) : ファイル内容不正!!");
  EXPECT_EQ(month.rows[10].kind, DiaryRowKind::kBroken);
  EXPECT_EQ(month.rows[11].kind, DiaryRowKind::kBroken);
  EXPECT_EQ(DiaryRowText(month.rows[13], ja),
            "2024/02/14 (水) : 【バレンタイン】");
  EXPECT_EQ(DiaryRowText(month.rows[28], ja), "2024/02/29 (木) : 閏日");
  for (int i = 0; i < 29; ++i) EXPECT_EQ(month.rows[i].date.day, i + 1);

  EXPECT_EQ(ListDiaryMonth(folder.path(), 2023, 2, 2026).rows.size(), 28u);
  EXPECT_EQ(ListDiaryMonth(folder.path(), 2100, 2, 2026).rows.size(), 28u);
}

TEST(DiaryMonthList, PageWinsOverOldFileAndOldFilesKeepTheirCentury) {
  TempFolder folder;
  WritePage(folder, {1999, 5, 1}, "page", "", "");
  folder.Touch("ni990501.day", "old\r\n");
  folder.Touch("ni990502.day", "old2\r\n");
  const DiaryMonth may1999 = ListDiaryMonth(folder.path(), 1999, 5, 2026);
  EXPECT_EQ(may1999.rows[0].title, "page");
  EXPECT_EQ(may1999.rows[1].kind, DiaryRowKind::kOldDay);
  EXPECT_EQ(may1999.rows[1].title, "old2");
  const DiaryMonth may2099 = ListDiaryMonth(folder.path(), 2099, 5, 2026);
  EXPECT_EQ(may2099.written, 0);
  EXPECT_EQ(may2099.rows[1].kind, DiaryRowKind::kEmpty);
}

class DiarySearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WritePage(folder_, {2024, 3, 5}, "春の旅", "晴",
              "桜を見た。\r\n旅は楽しい");
    WritePage(folder_, {2024, 6, 1}, "雨の日", "雨 のち 晴", "家で読書");
    WritePage(folder_, {2024, 12, 24}, "聖夜", "雪", "ケーキ ～ 旅の話");
    WritePage(folder_, {2023, 1, 1}, "元日", "晴", "旅の計画");
    WritePage(folder_, {1, 1, 1}, "はじめ", "", "travel");
    WritePage(folder_, {9999, 12, 31}, "おわり", "", "travel");
    folder_.Touch("ni240307.day", Sjis("旅\r\n旅\r\n"));  // never searched
    folder_.Touch("20240308.JNL", Sjis("TITLE:旅\r\n"));  // no body
  }
  std::vector<std::string> Rows(std::string_view word, DiaryMonthRange range) {
    std::vector<std::string> rows;
    for (const DiaryHit& hit : SearchDiary(folder_.path(), word, range)) {
      rows.push_back(DiaryHitText(hit, JapaneseShortWeekdayNames()));
    }
    return rows;
  }
  TempFolder folder_;
};

TEST_F(DiarySearchTest, MatchKindsAndRanges) {
  EXPECT_EQ(Rows("旅", {2024, 1, 2024, 12}),
            (std::vector<std::string>{"2024/03/05 (火) : 【題名】春の旅",
                                      "2024/03/08 (金) : 【題名】旅",
                                      "2024/12/24 (火) : 【本文】聖夜"}));
  // Backwards: March to December.
  EXPECT_EQ(Rows("旅", {2024, 12, 2024, 3}), Rows("旅", {2024, 3, 2024, 12}));
  EXPECT_EQ(Rows("旅", {2024, 4, 2024, 11}), std::vector<std::string>{});
  // Title and weather both hit: one row, the weather shown.
  EXPECT_EQ(Rows("雨", {2024, 6, 2024, 6}),
            std::vector<std::string>{"2024/06/01 (土) : 【天気】雨 のち 晴"});
  EXPECT_EQ(Rows("travel", {1, 1, 9999, 12}),
            (std::vector<std::string>{"0001/01/01 (土) : 【本文】はじめ",
                                      "9999/12/31 (水) : 【本文】おわり"}));
  EXPECT_EQ(Rows("", {1, 1, 9999, 12}), std::vector<std::string>{});
  EXPECT_EQ(Rows("Travel", {1, 1, 9999, 12}), std::vector<std::string>{});
}

TEST_F(DiarySearchTest, MatchesCharactersNotBytes) {
  // "ｱ" is 0xB1 in CP932 and "ア" is 0x83 0x41: byte matching of "A" (0x41)
  // would hit inside "ア".
  WritePage(folder_, {2025, 1, 1}, "アイ", "", "カタカナ");
  EXPECT_EQ(Rows("A", {2025, 1, 2025, 1}), std::vector<std::string>{});
  EXPECT_EQ(Rows("タカ", {2025, 1, 2025, 1}).size(), 1u);
  // "～" in a body written by the editor (RTF escapes) is found.
  EXPECT_EQ(Rows("～ 旅", {2024, 12, 2024, 12}).size(), 1u);
}

TEST_F(DiarySearchTest, TitleAndKindAsDataAndSparseProgress) {
  std::vector<CivilDate> reported;
  const std::vector<DiaryHit> hits =
      SearchDiary(folder_.path(), "旅", {2023, 1, 2024, 12},
                  [&reported](const CivilDate& d) { reported.push_back(d); });
  ASSERT_EQ(hits.size(), 4u);
  EXPECT_EQ(hits[0].date, (CivilDate{2023, 1, 1}));
  EXPECT_EQ(hits[0].match, DiaryMatch::kBody);
  EXPECT_EQ(hits[0].title, "元日");
  EXPECT_STREQ(DiaryMatchName(hits[0].match), "body");
  // One call per month that has pages (January, March x2, June, December).
  EXPECT_EQ(reported.size(), 4u);
}

TEST_F(DiarySearchTest, NeverWrites) {
  ASSERT_EQ(::chmod(folder_.path().c_str(), 0500), 0);
  EXPECT_EQ(Rows("旅", {1, 1, 9999, 12}).size(), 4u);
  ::chmod(folder_.path().c_str(), 0700);
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder_.path()))
    names.push_back(e.path().filename().string());
  EXPECT_EQ(names.size(), 8u);
}

TEST(DiaryBodyScan, SameTextAsTheDocumentReader) {
  RichDocument doc = DocumentFromPlainText("一行目\r\n\r\n三 ～ 😀 é\tタブ");
  doc.paragraphs[0].format.list = RichListStyle::kBullet;
  doc.paragraphs[0].runs[0].format.bold = true;
  const std::string samples[] = {
      WriteRtf(doc),
      "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 "
      "\\'82\\'6c\\'82\\'72;}}\\f0 \\'82\\'a0{\\b x}\\line y\\par\\par}",
      "{\\rtf1 a\\u-10179?\\u-8704?b\\par}",
      "{\\rtf1 a\\u55357?}",
      "{\\rtf1 {\\*\\unknown hidden}shown\\par}",
      "plain\r\ntext\rmore\n",
      "{\\rtf1 cut short",
      "",
  };
  for (const std::string& s : samples) {
    SCOPED_TRACE(s);
    EXPECT_EQ(ScanPlainText(s), RichTextToPlainText(s));
  }
}

}  // namespace
}  // namespace mirokata
