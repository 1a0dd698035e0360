// The small text formats under the song package: numbers, scrambled lines, text lines.
#include <gtest/gtest.h>

#include "content/number_reader.h"
#include "content/scrambled_line.h"
#include "content/song_package.h"
#include "content/text_file.h"

namespace sonavera::content {
namespace {

TEST(NumberReader, ReadsLikeFormattedInput) {
  // Any white space separates; "%d" stops at the first character that cannot continue the number.
  NumberReader reader(" 12\r\n\t-7 +3 4.75 1e2 600.5 x");
  int i = 0;
  float f = 0.0f;
  ASSERT_TRUE(reader.ReadInt(i));
  EXPECT_EQ(i, 12);
  ASSERT_TRUE(reader.ReadInt(i));
  EXPECT_EQ(i, -7);
  ASSERT_TRUE(reader.ReadInt(i));
  EXPECT_EQ(i, 3);
  ASSERT_TRUE(reader.ReadFloat(f));
  EXPECT_EQ(f, 4.75f);
  ASSERT_TRUE(reader.ReadFloat(f));
  EXPECT_EQ(f, 100.0f);
  ASSERT_TRUE(reader.ReadInt(i));
  EXPECT_EQ(i, 600);
  // ".5" is left over: neither a "%d" nor, after it, the letter.
  EXPECT_FALSE(reader.ReadInt(i));
  ASSERT_TRUE(reader.ReadFloat(f));
  EXPECT_EQ(f, 0.5f);
  EXPECT_FALSE(reader.ReadFloat(f));
  EXPECT_FALSE(reader.ReadInt(i));
}

TEST(NumberReader, RefusesWhatIsNoNumber) {
  for (const char* text : {"", "   \n", "-", "+", "--5", "x1", "99999999999", "-2147483649"}) {
    NumberReader reader(text);
    int i = 0;
    EXPECT_FALSE(reader.ReadInt(i)) << text;
  }
  for (const char* text : {"", "nan", "inf", "-infinity", "1e999", "+-1", "."}) {
    NumberReader reader(text);
    float f = 0.0f;
    EXPECT_FALSE(reader.ReadFloat(f)) << text;
  }
  NumberReader edge("2147483647 -2147483648");
  int i = 0;
  ASSERT_TRUE(edge.ReadInt(i));
  EXPECT_EQ(i, 2147483647);
  ASSERT_TRUE(edge.ReadInt(i));
  EXPECT_EQ(i, -2147483647 - 1);
}

TEST(NumberReader, LeadingNumbersAreLenient) {
  EXPECT_EQ(LeadingInt(" 02"), 2);
  EXPECT_EQ(LeadingInt("ti"), 0);
  EXPECT_EQ(LeadingInt("99999999999"), 2147483647);
  EXPECT_DOUBLE_EQ(LeadingFloat("02.50]"), 2.5);
  EXPECT_DOUBLE_EQ(LeadingFloat("abc"), 0.0);
  EXPECT_DOUBLE_EQ(LeadingFloat("inf"), 0.0);
}

TEST(NumberReader, FormattedFloatsReadBackExactly) {
  for (float value : {0.0f, 1.5f, 0.1f, 123.456f, -7.25f, 1e-7f, 3.4e38f}) {
    const std::string text = FormatFloat(value);
    NumberReader reader(text);
    float back = 0.0f;
    ASSERT_TRUE(reader.ReadFloat(back)) << text;
    EXPECT_EQ(back, value);
  }
  EXPECT_EQ(FormatFloat(62.5f), "62.5");
}

TEST(ScrambledLine, ExchangesTheFirstTwoCharactersOfBase64) {
  // "60" is "NjA=" in Base64; scrambled, its first two characters are exchanged.
  EXPECT_EQ(Base64Encode("60"), "NjA=");
  EXPECT_EQ(EncodeScrambledLine("60"), "jNA=");
  EXPECT_EQ(DecodeScrambledLine("jNA="), "60");
  EXPECT_EQ(DecodeScrambledLine("jNA=\r"), "60");
  EXPECT_EQ(DecodeScrambledLine(""), "");
  // The standard alphabet, both paddings and no padding.
  EXPECT_EQ(Base64Encode("\xFB\xFF"), "+/8=");
  std::string bytes;
  ASSERT_TRUE(Base64Decode("+/8", bytes));
  EXPECT_EQ(bytes, "\xFB\xFF");
  ASSERT_TRUE(Base64Decode("YQ==", bytes));
  EXPECT_EQ(bytes, "a");
}

TEST(ScrambledLine, RoundTripsAnyBytes) {
  std::string all;
  for (int c = 0; c < 256; ++c) {
    all += static_cast<char>(c);
    EXPECT_EQ(DecodeScrambledLine(EncodeScrambledLine(all)), all) << c;
  }
}

TEST(ScrambledLine, TextThatIsNotBase64IsRefused) {
  std::string text = "kept?";
  for (const char* line : {"NjA*", "Nj A=", "Nj=A", "600"}) {
    // "600" swapped is "060": valid Base64 characters; only the others fail.
    const bool valid = std::string(line) == "600";
    EXPECT_EQ(TryDecodeScrambledLine(line, text), valid) << line;
  }
  EXPECT_EQ(DecodeScrambledLine("NjA*"), "");
}

TEST(TextLines, SplitLikeALineReader) {
  EXPECT_TRUE(SplitTextLines("").empty());
  EXPECT_EQ(SplitTextLines("a\r\nb\n"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitTextLines("a\n\nlast"), (std::vector<std::string>{"a", "", "last"}));
  EXPECT_EQ(SplitTextLines("\n"), (std::vector<std::string>{""}));
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
}

}  // namespace
}  // namespace sonavera::content
