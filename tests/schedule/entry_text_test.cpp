#include "schedule/entry_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/text_codec.h"
#include "richtext/rtf_reader.h"
#include "schedule/entry_files.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

// A text cut anywhere shows whole lines of the full text (only a lone
// first line in part), whole characters, and the note last.
void ExpectAPrefixOfLines(const std::string& shown, const std::string& full,
                          size_t cut_at) {
  SCOPED_TRACE("cut at byte " + std::to_string(cut_at));
  EXPECT_EQ(shown.find("\xEF\xBF\xBD"), std::string::npos) << shown;
  std::vector<std::string> lines = Lines(shown);
  ASSERT_EQ(lines.back(), kEntryCutNote);
  lines.pop_back();
  const std::vector<std::string> whole = Lines(full);
  ASSERT_LE(lines.size(), whole.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i + 1 == lines.size() && lines.size() == 1) {
      EXPECT_EQ(whole[i].compare(0, lines[i].size(), lines[i]), 0) << shown;
    } else {
      EXPECT_EQ(lines[i], whole[i]);
    }
  }
}

TEST(EntryTextTest, ACutAnywhereKeepsWholeLinesAndCharacters) {
  // Double-byte characters as escapes and as raw bytes, half-width
  // katakana, nested groups and a paragraph with no break at its end.
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fcharset128 "
      "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}"
      "{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\fs20 "
      "\\'89\\'ef\\'8b\\'63 {\\b\\cf1 \\'b6\\'b2\\'b7\\'de}\\par\n"
      "second " +
      Utf8ToCp932("二行目の会議") + "\\par\n{\\i third}\\'82\\'a0}";
  const std::string plain =
      Utf8ToCp932("会議は十時から\r\nｶｲｷﾞ half\r\n三行目\r\n最後の行");
  for (const std::string& data : {rtf, plain}) {
    const std::string full = RichTextToPlainText(data);
    ASSERT_EQ(Lines(full).size(), 3u + (data == plain ? 1 : 0)) << full;
    EXPECT_EQ(EntryTextForDisplay(data, false), full);
    for (size_t cut = 0; cut < data.size(); ++cut) {
      ExpectAPrefixOfLines(EntryTextForDisplay(data.substr(0, cut), true), full,
                           cut);
    }
  }
}

TEST(EntryTextTest, OnlyTheStartOfAHugeEntryIsReadAndTheFileStays) {
  TempFolder home;
  std::filesystem::create_directory(home / "data");
  EntryFolder folder(home / "data");
  std::string line = Utf8ToCp932("予定の行です。") + "\r\n";
  std::string huge;
  while (huge.size() < 5 * 1024 * 1024) huge += line;
  ASSERT_TRUE(folder.WriteContent("1200____.__", huge));
  // Exactly the limit is shown whole; a byte more is cut.
  const std::string at_limit(kEntryDisplayBytes - 2, 'a');
  ASSERT_TRUE(folder.WriteContent("1300____.__", at_limit + "\r\n"));
  ASSERT_TRUE(folder.WriteContent("1400____.__", at_limit + "\r\nb"));

  std::string text;
  ASSERT_EQ(ReadEntryTextForDisplay(folder, "1200____.__", &text),
            ReadResult::kOk);
  EXPECT_LT(text.size(), kEntryDisplayBytes * 2);
  const std::vector<std::string> lines = Lines(text);
  EXPECT_EQ(lines.back(), kEntryCutNote);
  EXPECT_EQ(lines.front(), "予定の行です。");
  EXPECT_EQ(lines[lines.size() - 2], "予定の行です。");
  std::string kept;
  ASSERT_EQ(ReadWholeFile(folder.FullPath("1200____.__"), &kept),
            ReadResult::kOk);
  EXPECT_EQ(kept, huge);

  ASSERT_EQ(ReadEntryTextForDisplay(folder, "1300____.__", &text),
            ReadResult::kOk);
  EXPECT_EQ(text, at_limit + "\r\n");
  ASSERT_EQ(ReadEntryTextForDisplay(folder, "1400____.__", &text),
            ReadResult::kOk);
  EXPECT_EQ(text, at_limit + "\r\n" + kEntryCutNote);

  EXPECT_EQ(ReadEntryTextForDisplay(folder, "1500____.__", &text),
            ReadResult::kMissing);
  EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace mirokata
