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

// The decoder's table of characters against the converter it was taken
// from: every byte and pair alone, and mixtures with invalid bytes.
TEST(TextCodec, DecodesEveryByteAndPairAsTheConverterDoes) {
  std::string all;
  for (int a = 0; a < 256; ++a) {
    const std::string one(1, char(a));
    ASSERT_EQ(Cp932ToUtf8(one), DecodeToUtf8(one, "CP932")) << a;
    for (int b = 0; b < 256; ++b) {
      const std::string two = {char(a), char(b)};
      ASSERT_EQ(Cp932ToUtf8(two), DecodeToUtf8(two, "CP932")) << a << " " << b;
      all += two;
    }
  }
  EXPECT_EQ(Cp932ToUtf8(all), DecodeToUtf8(all, "CP932"));
  uint32_t seed = 1;
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    for (int i = 0; i < 40; ++i) {
      seed = seed * 1103515245 + 12345;
      text += char(seed >> 16);
    }
    ASSERT_EQ(Cp932ToUtf8(text), DecodeToUtf8(text, "CP932")) << round;
  }
  EXPECT_EQ(Cp932ToUtf8("\x8d\xa1\x93\xfa\x82\xcd"), "今日は");
}

}  // namespace
}  // namespace mirokata
