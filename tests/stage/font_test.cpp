// hgeFont: "[HGEFONT]" descriptions with their bitmap, glyph placement, alignment, line breaks,
// and descriptions that are malformed.

#include <QImage>

#include "platform/engine_test_support.h"
#include "stage/hge_font.h"

namespace sonavera::stage {
namespace {

// Glyph cells of the test bitmap: A red, B green, ? blue, the quote white.
const char* const kDescription =
    "[HGEFONT]\r\n\r\n"
    "Bitmap = glyphs.png\r\n"
    "Char=\"A\",0,0,8,10,1,2\r\n"
    "Char=42, 8, 0, 6, 12, 0, 1\r\n"
    "Char=\"?\",16,0,5,10,0,0\r\n"
    "Char=\"\"\",24,0,4,4,0,0\r\n"
    "Char=\" \",28,0,3,3,0,-1\r\n"
    "Char=6c,32,0,4,4\r\n"
    "Comment=lines of other keys are skipped\r\n";

class FontTest : public testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    QImage bitmap(64, 16, QImage::Format_ARGB32);
    bitmap.fill(0);
    auto fill = [&](int x, int y, int w, int h, QRgb colour) {
      for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) bitmap.setPixel(i, j, colour);
      }
    };
    fill(0, 0, 8, 10, 0xFFFF0000);
    fill(8, 0, 6, 12, 0xFF00FF00);
    fill(16, 0, 5, 10, 0xFF0000FF);
    fill(24, 0, 4, 4, 0xFFFFFFFF);
    fill(32, 0, 4, 4, 0xFFFFFF00);
    ASSERT_TRUE(bitmap.save(QString::fromStdString(scratch.File("glyphs.png"))));
    scratch.Write("font.fnt", kDescription);
  }
};

TEST_F(FontTest, ReadsGlyphCellsAndSpacing) {
  hgeFont font(scratch.File("font.fnt").c_str());
  ASSERT_TRUE(font.IsLoaded()) << Log();
  EXPECT_FLOAT_EQ(font.GetHeight(), 12);
  ASSERT_NE(font.GetSprite('A'), nullptr);
  EXPECT_FLOAT_EQ(font.GetPreWidth('A'), 1);
  EXPECT_FLOAT_EQ(font.GetPostWidth('A'), 2);
  ASSERT_NE(font.GetSprite('B'), nullptr) << "hexadecimal code 42";
  ASSERT_NE(font.GetSprite('"'), nullptr) << "a quoted quote";
  ASSERT_NE(font.GetSprite(' '), nullptr) << "a quoted space";
  EXPECT_FLOAT_EQ(font.GetPostWidth(' '), -1);
  ASSERT_NE(font.GetSprite('l'), nullptr) << "lower-case hexadecimal 6c";
  EXPECT_FLOAT_EQ(font.GetPreWidth('l'), 0) << "four numbers: no spacing";
  EXPECT_EQ(font.GetSprite('C'), nullptr);
  EXPECT_FLOAT_EQ(font.GetStringWidth("AB"), 18);
  EXPECT_FLOAT_EQ(font.GetStringWidth("AB\n\rAAAA"), 44);
  EXPECT_FLOAT_EQ(font.GetStringWidth("AB\nAAAA", false), 18);
  EXPECT_FLOAT_EQ(font.GetStringWidth("Z"), 5) << "bytes without a glyph count as '?'";
}

TEST_F(FontTest, DrawsALineLeftAlignedFromTheCellTop) {
  hgeFont font(scratch.File("font.fnt").c_str());
  const QImage& frame = Frame([&] { font.printf(10, 20, HGETEXT_LEFT, "%s%d", "AB", 7); });
  EXPECT_EQ(Pixel(frame, 10, 20), 0xFF000000u) << "the pre-spacing of A";
  EXPECT_EQ(Pixel(frame, 11, 20), 0xFFFF0000u);
  EXPECT_EQ(Pixel(frame, 18, 29), 0xFFFF0000u);
  EXPECT_EQ(Pixel(frame, 19, 20), 0xFF000000u);
  EXPECT_EQ(Pixel(frame, 21, 20), 0xFF00FF00u) << "B after A's width and post-spacing";
  EXPECT_EQ(Pixel(frame, 26, 31), 0xFF00FF00u);
  EXPECT_EQ(Pixel(frame, 28, 20), 0xFF0000FFu) << "'7' has no glyph and is drawn as '?'";
}

TEST_F(FontTest, AlignmentLineBreaksScaleAndColour) {
  hgeFont font(scratch.File("font.fnt").c_str());
  const QImage& centred = Frame([&] { font.Render(100, 50, HGETEXT_CENTER, "AB\nB"); });
  EXPECT_EQ(Pixel(centred, 92, 50), 0xFFFF0000u) << "starts at 100 - 18/2, plus A's pre-spacing";
  EXPECT_EQ(Pixel(centred, 91, 50), 0xFF000000u);
  EXPECT_EQ(Pixel(centred, 97, 62), 0xFF00FF00u) << "second line 12 lower, centred on its own width";
  EXPECT_EQ(Pixel(centred, 96, 62), 0xFF000000u);

  const QImage& right = Frame([&] { font.Render(100, 50, HGETEXT_RIGHT, "AB"); });
  EXPECT_EQ(Pixel(right, 83, 50), 0xFFFF0000u);
  EXPECT_EQ(Pixel(right, 82, 50), 0xFF000000u);

  font.SetScale(2);
  font.SetColor(0xFF808080);
  const QImage& big = Frame([&] { font.Render(0, 0, HGETEXT_LEFT, "A\nA"); });
  EXPECT_EQ(Pixel(big, 2, 0), 0xFF800000u) << "pre-spacing scaled, colour multiplied";
  EXPECT_EQ(Pixel(big, 17, 19), 0xFF800000u);
  EXPECT_EQ(Pixel(big, 18, 0), 0xFF000000u);
  EXPECT_EQ(Pixel(big, 2, 24), 0xFF800000u) << "line step is the height times the scale";
  EXPECT_EQ(Pixel(big, 2, 22), 0xFF000000u);
}

TEST_F(FontTest, PrintfbWrapsWordsInTheBox) {
  hgeFont font(scratch.File("font.fnt").c_str());
  // "AA AA": 22 + 2 + 22 = 46 wide; a box 30 wide wraps it onto two lines of 12.
  const QImage& frame = Frame([&] { font.printfb(0, 100, 30, 40, HGETEXT_LEFT | HGETEXT_BOTTOM, "AA AA"); });
  EXPECT_EQ(Pixel(frame, 1, 116), 0xFFFF0000u) << "first line at 100 + 40 - 24";
  EXPECT_EQ(Pixel(frame, 1, 128), 0xFFFF0000u);
  EXPECT_EQ(Pixel(frame, 30, 116), 0xFF000000u);
}

struct BrokenFont {
  const char* name;
  std::string description;
};

class MalformedFont : public FontTest, public ::testing::WithParamInterface<BrokenFont> {};

TEST_P(MalformedFont, IsRejectedWithALogLineAndDrawsNothing) {
  scratch.Write("broken.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, '\x7f'));
  scratch.Write("bad.fnt", GetParam().description);
  hgeFont font(scratch.File("bad.fnt").c_str());
  EXPECT_FALSE(font.IsLoaded());
  EXPECT_EQ(font.GetSprite('A'), nullptr);
  EXPECT_NE(Log().find("bad.fnt"), std::string::npos) << Log();
  const QImage& frame = Frame([&] { font.printf(10, 10, HGETEXT_LEFT, "AAAA"); });
  EXPECT_EQ(Pixel(frame, 12, 12), 0xFF000000u);
  EXPECT_EQ(font.GetStringWidth("AAAA"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Descriptions, MalformedFont,
    ::testing::Values(BrokenFont{"NoHeader", "Bitmap=glyphs.png\nChar=\"A\",0,0,8,10,1,2\n"},
                      BrokenFont{"HeaderWithMore", "[HGEFONT] v2\nBitmap=glyphs.png\n"},
                      BrokenFont{"LowerCaseHeader", "[hgefont]\nBitmap=glyphs.png\n"},
                      BrokenFont{"Empty", ""},
                      BrokenFont{"Binary", std::string("\0\x01\xff[HGEFONT]\0\n", 14)},
                      BrokenFont{"NoBitmap", "[HGEFONT]\nChar=\"A\",0,0,8,10,1,2\n"},
                      BrokenFont{"BitmapWithoutName", "[HGEFONT]\nBitmap=\n"},
                      BrokenFont{"MissingBitmap", "[HGEFONT]\nBitmap=absent.png\nChar=\"A\",0,0,8,10,1,2\n"},
                      BrokenFont{"BrokenBitmap", "[HGEFONT]\nBitmap=broken.png\nChar=\"A\",0,0,8,10,1,2\n"},
                      BrokenFont{"TooFewNumbers", "[HGEFONT]\nBitmap=glyphs.png\nChar=\"A\",0,0,8\n"},
                      BrokenFont{"NotANumber", "[HGEFONT]\nBitmap=glyphs.png\nChar=\"A\",0,zero,8,10\n"},
                      BrokenFont{"NoCode", "[HGEFONT]\nBitmap=glyphs.png\nChar=,0,0,8,10\n"},
                      BrokenFont{"NoEquals", "[HGEFONT]\nBitmap=glyphs.png\nChar \"A\",0,0,8,10\n"},
                      BrokenFont{"QuoteAtTheEnd", "[HGEFONT]\nBitmap=glyphs.png\nChar=\""},
                      BrokenFont{"NegativeSize", "[HGEFONT]\nBitmap=glyphs.png\nChar=\"A\",0,0,-8,10,0,0\n"},
                      BrokenFont{"HugeNumber", "[HGEFONT]\nBitmap=glyphs.png\nChar=\"A\",0,0,99999999999,10\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FontTest, MissingFileIsAnEmptyFontAndOutOfRangeCodesAreDropped) {
  hgeFont missing(scratch.File("absent.fnt").c_str());
  EXPECT_FALSE(missing.IsLoaded());
  EXPECT_NE(Log().find("absent.fnt"), std::string::npos);

  scratch.Write("wide.fnt", "[HGEFONT]\nBitmap=glyphs.png\nChar=1A0,0,0,8,10,0,0\nChar=\"A\",0,0,8,10,1,2\n");
  hgeFont wide(scratch.File("wide.fnt").c_str());
  EXPECT_TRUE(wide.IsLoaded());
  EXPECT_NE(wide.GetSprite('A'), nullptr);
  EXPECT_NE(Log().find("out of range"), std::string::npos);
}

}  // namespace
}  // namespace sonavera::stage
