#include "platform/text_encoding.h"

#include <gtest/gtest.h>

using namespace sonavera::platform;

TEST(TextEncoding, GbkRoundTripsChineseText) {
  const std::string utf8 = "歌曲 love 你";
  const auto gbk = Utf8ToGbk(utf8);
  ASSERT_TRUE(gbk.has_value());
  EXPECT_EQ(*gbk, std::string("\xB8\xE8\xC7\xFA love \xC4\xE3"));
  EXPECT_EQ(GbkToUtf8(*gbk), utf8);
}

TEST(TextEncoding, CharactersOutsideGbkAreReportedNotDropped) {
  EXPECT_FALSE(Utf8ToGbk("ok \xF0\x9F\x8E\xA4").has_value());  // a microphone emoji
  EXPECT_FALSE(Utf8ToGbk("\xC3").has_value());                  // truncated UTF-8
}

TEST(TextEncoding, InvalidGbkBecomesReplacementCharacters) {
  // A lead byte with no trail byte at the end, and a lone 0xFF (never valid).
  EXPECT_EQ(GbkToUtf8(std::string("a\xFF" "b\xB8")), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

TEST(TextEncoding, Utf8Validation) {
  EXPECT_TRUE(IsValidUtf8("plain ascii"));
  EXPECT_TRUE(IsValidUtf8("\xE6\xAD\x8C"));
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));          // overlong NUL
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE6\xAD"));          // truncated
}
