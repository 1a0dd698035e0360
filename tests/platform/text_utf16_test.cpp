#include "platform/text_utf16.h"

#include <gtest/gtest.h>

using namespace sonavera::platform;

TEST(TextUtf16, GbkLyricsBecomeUtf16Units) {
  // "歌曲 A1" in GBK.
  EXPECT_EQ(GbkToUtf16(std::string("\xB8\xE8\xC7\xFA A1")), u"歌曲 A1");
  EXPECT_EQ(GbkToUtf16(""), u"");
}

TEST(TextUtf16, RoundTripIncludingSurrogatePairs) {
  const std::string utf8 = "a\xC3\xA9\xE6\xAD\x8C\xF0\x9F\x8E\xA4";  // a é 歌 🎤
  const std::u16string units = Utf8ToUtf16(utf8);
  ASSERT_EQ(units.size(), 5u);
  EXPECT_EQ(units[3], 0xD83C);
  EXPECT_EQ(units[4], 0xDFA4);
  EXPECT_EQ(Utf16ToUtf8(units), utf8);
}

TEST(TextUtf16, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");               // truncated
  EXPECT_EQ(Utf8ToUtf16("\xC0\x80x"), u"\uFFFDx");         // overlong
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");       // encoded surrogate
  EXPECT_EQ(Utf8ToUtf16("\xE6\xADz"), u"\uFFFDz");         // cut sequence keeps the next byte
  EXPECT_EQ(Utf8ToUtf16("\xFF\xFE"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}
