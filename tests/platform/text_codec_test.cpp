#include "platform/text_codec.h"

#include <gtest/gtest.h>

namespace mirokata {
namespace {

TEST(TextCodec, JapaneseRoundTripsThroughCp932) {
  const std::string text = "予定一覧 ｽｹｼﾞｭｰﾙ ①～㈱ ABC";
  std::string bytes = Utf8ToCp932(text);
  EXPECT_EQ(bytes.substr(0, 4), "\x97\x5C\x92\xE8");  // 予定: trail byte 0x5C
  EXPECT_EQ(Cp932ToUtf8(bytes), text);
  EXPECT_TRUE(FitsCp932(text));
}

TEST(TextCodec, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
  EXPECT_EQ(Utf8ToCp932("x\xFFy"), "x?y");  // broken UTF-8
  EXPECT_FALSE(FitsCp932("😀"));
}

TEST(TextCodec, LookAlikesMapToTheirCp932Forms) {
  // U+301C (wave dash) is what other systems' input methods type for ～.
  EXPECT_EQ(Utf8ToCp932("\u301C"), "\x81\x60");
  EXPECT_EQ(Utf8ToCp932("\u2212"), "\x81\x7C");
}

TEST(TextCodec, UndecodableBytesNeverFail) {
  EXPECT_EQ(Cp932ToUtf8("a\x81"), "a\uFFFD");  // truncated lead byte
  EXPECT_EQ(Cp932ToUtf8("\xA0z"), "\uFFFDz");  // undefined byte
  EXPECT_EQ(Cp932ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
}  // namespace mirokata
