#include "stage/type_font.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <filesystem>
#include <fstream>

#include "headless_engine.h"
#include "platform/text_utf16.h"

using namespace sonavera;
using namespace sonavera::stage;
using sonavera::testing::HeadlessEngine;
using sonavera::testing::LitBox;

namespace {

// Left bearing + bitmap width of one character, straight from FreeType.
float BitmapExtent(const char* path, char32_t ch, int size) {
  FT_Library lib;
  FT_Face face;
  if (FT_Init_FreeType(&lib)) return -1;
  float extent = -1;
  if (!FT_New_Face(lib, path, 0, &face)) {
    FT_Set_Pixel_Sizes(face, 0, size);
    if (!FT_Load_Char(face, ch, FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING | FT_LOAD_RENDER))
      extent = float(face->glyph->bitmap_left + int(face->glyph->bitmap.width));
    FT_Done_Face(face);
  }
  FT_Done_FreeType(lib);
  return extent;
}

class TypeFontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(engine.initiated);
    ASSERT_STRNE(StageFontPath(), "") << "no CJK font installed (scripts/setup)";
    font = static_cast<TypeFont*>(createTypeFont(StageFontPath(), 32));
    ASSERT_NE(font, nullptr);
  }
  void TearDown() override {
    if (font) font->Release();
  }
  QImage Draw(std::function<void()> what) {
    engine.render = std::move(what);
    return engine.Frame();
  }

  HeadlessEngine engine;
  TypeFont* font = nullptr;
};

}  // namespace

TEST_F(TypeFontTest, AdvancesFollowBitmapExtentsAndFallbacks) {
  EXPECT_FLOAT_EQ(font->GetFontSize(), 32);
  EXPECT_FLOAT_EQ(font->Advance(u'A'), BitmapExtent(StageFontPath(), U'A', 32));
  EXPECT_FLOAT_EQ(font->Advance(u'1'), BitmapExtent(StageFontPath(), U'1', 32));
  EXPECT_FLOAT_EQ(font->Advance(u' '), 16) << "a blank glyph advances by half the size";
  EXPECT_FLOAT_EQ(font->Advance(u'\uFFFE'), 32) << "a wide unit without glyph advances by the size";
  EXPECT_FLOAT_EQ(font->Advance(u'\u0378'), 16) << "a narrow unit without glyph: half the size";
  EXPECT_GT(font->Advance(u'歌'), 20);
}

TEST_F(TypeFontTest, TextA1IsDrawnGlyphAfterGlyph) {
  const QImage both = Draw([&] { font->Render(100, 100, u"A1"); });
  const QImage one = Draw([&] { font->Render(100 + font->Advance(u'A'), 100, u"1"); });
  const QImage a = Draw([&] { font->Render(100, 100, u"A"); });
  const QRect boxA = LitBox(a);
  const QRect box1 = LitBox(one);
  ASSERT_FALSE(boxA.isNull());
  ASSERT_FALSE(box1.isNull());
  EXPECT_EQ(LitBox(both), boxA.united(box1));
  // y is the top of the line box: the glyphs stand on the baseline inside 100..132.
  EXPECT_GE(boxA.top(), 100);
  EXPECT_LE(boxA.bottom(), 132);
  EXPECT_GE(boxA.left(), 100);
}

TEST_F(TypeFontTest, ChineseGlyphIsRenderedInTheFontColour) {
  font->SetColor(0xFF37BAFB);
  EXPECT_EQ(font->GetColor(), 0xFF37BAFBu);
  const QImage image = Draw([&] { font->Render(200, 300, platform::GbkToUtf16("\xB8\xE8").c_str()); });
  const QRect box = LitBox(image, 30);
  ASSERT_FALSE(box.isNull()) << "歌 drew nothing";
  EXPECT_GT(box.width(), 20);
  EXPECT_GT(box.height(), 20);
  // Inside the pen's cell; CJK glyphs may reach a few pixels below the baseline at y + 32.
  EXPECT_TRUE(QRect(200, 300, 33, 40).contains(box)) << box.x() << "," << box.y() << " "
                                                      << box.width() << "x" << box.height();
  // The brightest pixel carries the multiplied blue, not white.
  QRgb brightest = 0;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x)
      if (qBlue(image.pixel(x, y)) > qBlue(brightest)) brightest = image.pixel(x, y);
  EXPECT_NEAR(qRed(brightest), 0x37, 6);
  EXPECT_NEAR(qGreen(brightest), 0xBA, 6);
  EXPECT_NEAR(qBlue(brightest), 0xFB, 6);
}

TEST_F(TypeFontTest, GlyphsAreRasterisedOnce) {
  EXPECT_EQ(font->RasterisedGlyphCount(), 0);
  const QImage first = Draw([&] { font->Render(10, 10, u"AA1 歌A"); });
  EXPECT_EQ(font->RasterisedGlyphCount(), 4) << "A, 1, space and 歌";
  const QImage second = Draw([&] { font->Render(10, 10, u"AA1 歌A"); });
  EXPECT_EQ(font->RasterisedGlyphCount(), 4);
  EXPECT_EQ(first, second);
  int w = 0, h = 0;
  font->GetTextSize(u"1A歌", &w, &h);
  EXPECT_EQ(font->RasterisedGlyphCount(), 4);
}

TEST_F(TypeFontTest, LineFeedRestartsOneLineLower) {
  font->SetLineSpacing(8);
  const QImage single = Draw([&] { font->Render(50, 40, u"A"); });
  const QImage twoLines = Draw([&] { font->Render(50, 40, u"A\nA"); });
  const QRect first = LitBox(single);
  ASSERT_FALSE(first.isNull());
  EXPECT_EQ(LitBox(twoLines), first.united(first.translated(0, 32 + 8)));
  // RenderScaled steps by round((size + spacing) * scale).
  const QImage scaled = Draw([&] { font->RenderScaled(50, 40, u"A\nA", 0.5f); });
  const QRect top = LitBox(scaled, 60, QRect(0, 0, 800, 60));
  const QRect bottom = LitBox(scaled, 60, QRect(0, 60, 800, 540));
  ASSERT_FALSE(top.isNull());
  ASSERT_FALSE(bottom.isNull());
  EXPECT_EQ(bottom.top() - top.top(), 20);
  EXPECT_NEAR(top.height(), first.height() / 2.0, 2);
}

TEST_F(TypeFontTest, TextSizeAndCharacterLookup) {
  const float a = font->Advance(u'A');
  const float one = font->Advance(u'1');
  const float ge = font->Advance(u'歌');
  int w = 0, h = 0;
  font->GetTextSize(u"A1", &w, &h);
  EXPECT_EQ(w, int(a + one));
  EXPECT_EQ(h, 32);
  font->SetLetterSpacing(2);
  font->SetLineSpacing(4);
  font->GetTextSize(u"A1\n歌", &w, &h);
  EXPECT_EQ(w, int(std::max(a + one + 4, ge + 2)));
  EXPECT_EQ(h, 32 + 36);
  font->GetTextSize(u"", &w, &h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 32);

  EXPECT_EQ(font->GetCharacterAt(u"A1\n歌", 1, 5), u'A');
  EXPECT_EQ(font->GetCharacterAt(u"A1\n歌", a + 2 + 1, 5), u'1');
  EXPECT_EQ(font->GetCharacterAt(u"A1\n歌", 3, 36 + 10), u'歌');
  EXPECT_EQ(font->GetCharacterAt(u"A1\n歌", a + one + 10, 5), 0) << "past the end of the line";
  EXPECT_EQ(font->GetCharacterAt(u"A1\n歌", 3, 36 + 40), 0) << "below the last line";
  EXPECT_EQ(font->GetCharacterAt(u"A1", -3, 5), 0);
}

TEST_F(TypeFontTest, PrintFormatsBeforeDrawing) {
  const QImage printed = Draw([&] { font->Print(20, 20, u"%d:%02d", 3, 7); });
  const QImage rendered = Draw([&] { font->Render(20, 20, u"3:07"); });
  ASSERT_FALSE(LitBox(printed).isNull());
  EXPECT_EQ(printed, rendered);
}

TEST(CreateTypeFont, MissingOrBrokenFontGivesNull) {
  HeadlessEngine engine;
  EXPECT_EQ(createTypeFont("/nonexistent/SIMHEI.TTF", 32), nullptr);
  EXPECT_EQ(createTypeFont("", 32), nullptr);
  EXPECT_EQ(createTypeFont(nullptr, 32), nullptr);
  const auto junk = std::filesystem::temp_directory_path() / "sonavera_not_a_font.ttf";
  std::ofstream(junk) << "this is not a TrueType file";
  EXPECT_EQ(createTypeFont(junk.c_str(), 32), nullptr);
  std::filesystem::remove(junk);
}
