// The phone book's page files: the line format both ways, whole pages on
// disk and the search.
#include "contacts/phone_page.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "contacts/phone_page_store.h"
#include "platform/text_codec.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

using Cells = std::vector<std::string>;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(PhoneLineTest, WritesCellsQuotedOnlyWhereNeeded) {
  struct Case {
    Cells cells;
    std::string line;
  } cases[] = {
      {{"Acme Co.", "Sato", "03-1234-5678", "", "", ""},
       "\"Acme Co.\",Sato,03-1234-5678,\" \",\" \",\" \""},
      {{"", "", "", "", "", ""}, "\" \",\" \",\" \",\" \",\" \",\" \""},
      {{"Tokyo Office"}, "\"Tokyo Office\""},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
      {{"a,b", "tab\there"}, "\"a,b\",\"tab\there\""},
      {{std::string("nul\0in", 6)}, std::string("\"nul\0in\"", 8)},
      {{"株式会社", "佐藤"}, "株式会社,佐藤"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WritePhoneFields(c.cells), c.line) << c.line;
  }
}

TEST(PhoneLineTest, ReadsFields) {
  struct Case {
    std::string line;
    Cells fields;
  } cases[] = {
      {"\"Tokyo Office\",x", {"Tokyo Office", "x"}},
      // A bare field runs to the comma: other programs write blanks bare.
      {"Tokyo Office,x", {"Tokyo Office", "x"}},
      {"  a  ,  b  ", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {"", {}},
      {"   ", {}},
      {"\"say \"\"hi\"\"\",2", {"say \"hi\"", "2"}},
      {"\"unclosed, still one", {"unclosed, still one"}},
      {"\"a\"b,c", {"a", "b", "c"}},
      // NUL: a blank outside quotes, kept inside them.
      {std::string("\0a,\"b\0c\"", 8), {"a", std::string("b\0c", 3)}},
      {std::string("\0", 1), {}},
      {std::string("a\0", 2), {"a"}},
      {"\" \",\" \"", {" ", " "}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadPhoneFields(c.line), c.fields) << c.line;
  }
}

TEST(PhoneLineTest, WrittenCellsReadBackUnchanged) {
  const Cells rows[] = {
      {"Tokyo Office", "x", "", "", "", ""},
      {"\"", ",", "\"\"", " lead", "trail ", "a\tb"},
      {"株式会社 ア", "ソ", "表", "a@b.jp", "http://x/?a=1&b", "10.0.0.1"},
      {std::string("\0", 1), "-", "", "", "", ""},
  };
  for (const Cells& row : rows) {
    EXPECT_EQ(ReadPhoneFields(WritePhoneFields(row)), [&] {
      Cells expected = row;
      for (std::string& cell : expected) {
        if (cell.empty()) cell = " ";
      }
      return expected;
    }());
  }
}

TEST(PhoneLineTest, SplitsLinesAtEveryLineEnd) {
  EXPECT_EQ(SplitPhoneLines("a\r\nb\nc\rd"),
            (std::vector<std::string_view>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitPhoneLines("a\r\n\r\n"),
            (std::vector<std::string_view>{"a", ""}));
  EXPECT_TRUE(SplitPhoneLines("").empty());
}

TEST(PhonePageTest, ParsesRowsAndKeepsFieldsPastTheSixth) {
  const PhonePage page = ParsePhonePage(
      Utf8ToCp932("\"株式会社 ア\",佐藤,03,\" \",\" \",\" \",seven,eight\r\n"
                  "only\r\n"));
  ASSERT_TRUE(page.faithful);
  ASSERT_EQ(page.rows.size(), size_t(kPhonePageRows));
  EXPECT_EQ(page.rows[0],
            (Cells{"株式会社 ア", "佐藤", "03", "", "", "", "seven", "eight"}));
  EXPECT_EQ(page.rows[1], (Cells{"only", "", "", "", "", ""}));
  EXPECT_EQ(page.rows[2], Cells(kPhoneColumns));
  EXPECT_EQ(FormatPhonePage({page.rows[0]}),
            Utf8ToCp932("\"株式会社 ア\",佐藤,03,\" \",\" \",\" \",seven,"
                        "eight\r\n"));
}

TEST(PhonePageTest, BytesCp932DoesNotDefineMakeThePageReadOnly) {
  // UTF-8 text ("あ" ends in a lone lead byte) and a stray lead byte.
  for (const std::string& bytes :
       {std::string("あ,03\r\n"), std::string("a,\x81\r\n")}) {
    const PhonePage page = ParsePhonePage(bytes);
    EXPECT_FALSE(page.faithful) << bytes;
    EXPECT_FALSE(page.problem.empty());
  }
  EXPECT_TRUE(ParsePhonePage(Utf8ToCp932("佐藤,03\r\n")).faithful);
}

TEST(PhonePageTest, SearchMatchesDecodedTextAndCopiesRawLines) {
  // "ア" is 0x83 0x41 in CP932: its trail byte is "A".
  const std::string page =
      Utf8ToCp932("ア,x\r\nAlpha,y\r\n\"a \"\"q\"\"\",z\r\n");
  struct Case {
    std::string needle;
    std::vector<std::string> lines;
  } cases[] = {
      {"A", {"Alpha,y"}},
      {"ア", {Utf8ToCp932("ア,x")}},
      {"a", {"Alpha,y", "\"a \"\"q\"\"\",z"}},
      {"\"\"q", {"\"a \"\"q\"\"\",z"}},
      {"", {}},
      {"ｱ", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> found;
    AppendMatchingLines(page, c.needle, found);
    EXPECT_EQ(found, c.lines) << c.needle;
  }
}

class PhonePageStoreTest : public ::testing::Test {
 protected:
  std::string Tel() const { return folder_ / "Tel"; }
  TempFolder folder_;
  PhonePageStore store_{folder_ / "Tel"};
};

TEST_F(PhonePageStoreTest, SavesAllRowsPrivatelyAndCreatesTheFolder) {
  std::vector<PhoneRow> rows = EmptyPhoneRows();
  rows[0] = {"Acme Co.", "Sato", "03-1234-5678", "", "", ""};
  std::string error;
  ASSERT_TRUE(store_.Save(3, rows, &error)) << error;
  const std::string bytes = ReadAll(Tel() + "/3.CSV");
  EXPECT_EQ(SplitPhoneLines(bytes).size(), size_t(kPhonePageRows));
  EXPECT_EQ(bytes.substr(0, bytes.find("\r\n") + 2),
            "\"Acme Co.\",Sato,03-1234-5678,\" \",\" \",\" \"\r\n");
  struct stat info;
  ASSERT_EQ(stat((Tel() + "/3.CSV").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(store_.Load(3).rows, rows);
}

TEST_F(PhonePageStoreTest, KeepsEveryLineOfALongPage) {
  std::filesystem::create_directory(Tel());
  std::string text;
  for (int i = 0; i < 300; ++i) text += "row" + std::to_string(i) + ",x\r\n";
  WriteAll(Tel() + "/0.CSV", text);
  PhonePage page = store_.Load(0);
  ASSERT_EQ(page.rows.size(), 300u);
  std::string error;
  ASSERT_TRUE(store_.Save(0, page.rows, &error)) << error;
  const PhonePage again = store_.Load(0);
  ASSERT_EQ(again.rows.size(), 300u);
  EXPECT_EQ(again.rows[299][0], "row299");
}

TEST_F(PhonePageStoreTest, FindsFilesInAnyLetterCaseAndWritesThemThere) {
  std::filesystem::create_directory(Tel());
  WriteAll(Tel() + "/4.csv", "lower,case\r\n");
  EXPECT_EQ(store_.Load(4).rows[0][0], "lower");
  std::string error;
  ASSERT_TRUE(store_.Save(4, store_.Load(4).rows, &error));
  EXPECT_FALSE(
      std::filesystem::exists(Tel() + "/4.CSV") &&
      !std::filesystem::equivalent(Tel() + "/4.CSV", Tel() + "/4.csv"));
}

TEST_F(PhonePageStoreTest, UnreadablePageIsNeverOverwrittenByLoading) {
  std::filesystem::create_directory(Tel());
  std::filesystem::create_directory(Tel() + "/5.CSV");
  const PhonePage page = store_.Load(5);
  EXPECT_FALSE(page.faithful);
}

TEST_F(PhonePageStoreTest, CommaSearchListsEveryRowOfEveryPage) {
  std::string error;
  for (int page = 0; page < 3; ++page) {
    std::vector<PhoneRow> rows = EmptyPhoneRows();
    rows[0][1] = "name" + std::to_string(page);
    ASSERT_TRUE(store_.Save(page, rows, &error)) << error;
  }
  ASSERT_TRUE(store_.Search(",", &error)) << error;
  const PhonePage result = store_.Load(kSearchPage);
  ASSERT_EQ(result.rows.size(), size_t(3 * kPhonePageRows));
  EXPECT_EQ(result.rows[kPhonePageRows][1], "name1");

  ASSERT_TRUE(store_.Search("name2", &error));
  const PhonePage one = store_.Load(kSearchPage);
  EXPECT_EQ(one.rows[0][1], "name2");
  EXPECT_EQ(one.rows[1], PhoneRow(kPhoneColumns));
}

TEST_F(PhonePageStoreTest, FailedWriteSaysWhyAndLeavesWhatWasThere) {
  // A folder in the page's place: the rename fails, even for root.
  std::filesystem::create_directories(Tel() + "/1.CSV/keep");
  std::vector<PhoneRow> rows = EmptyPhoneRows();
  rows[0][0] = "new";
  std::string error;
  EXPECT_FALSE(store_.Save(1, rows, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(std::filesystem::is_directory(Tel() + "/1.CSV/keep"));
}

}  // namespace
}  // namespace mirokata
