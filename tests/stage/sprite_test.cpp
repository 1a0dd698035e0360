// hgeSprite drawn by the real engine: hot spot, rotation, scale, stretch, texture cells and flips.

#include <numbers>

#include "platform/engine_test_support.h"
#include "stage/hge_sprite.h"

namespace sonavera::stage {
namespace {

class SpriteTest : public testing::EngineTest {
 protected:
  bool Lit(const QImage& frame, int x, int y) { return (Pixel(frame, x, y) & 0xFFFFFF) != 0; }
};

TEST_F(SpriteTest, RenderPlacesTheHotSpotAtThePoint) {
  hgeSprite sprite(SolidTexture(8, 8, 0xFFFF0000), 0, 0, 8, 8);
  sprite.SetHotSpot(4, 4);
  const QImage& frame = Frame([&] { sprite.Render(100, 100); });
  EXPECT_TRUE(Lit(frame, 96, 96));
  EXPECT_TRUE(Lit(frame, 103, 103));
  EXPECT_FALSE(Lit(frame, 95, 96));
  EXPECT_FALSE(Lit(frame, 104, 103));
  hgeRect box;
  sprite.GetBoundingBox(100, 100, &box);
  EXPECT_FLOAT_EQ(box.x1, 96);
  EXPECT_FLOAT_EQ(box.y2, 104);
}

TEST_F(SpriteTest, RenderExTurnsAndScalesAboutTheHotSpot) {
  // A 20 x 4 bar anchored at its left end, turned a quarter clockwise: it now points down.
  hgeSprite bar(SolidTexture(20, 4, 0xFF00FF00), 0, 0, 20, 4);
  bar.SetHotSpot(0, 2);
  const QImage& turned = Frame([&] { bar.RenderEx(200, 200, std::numbers::pi_v<float> / 2); });
  EXPECT_TRUE(Lit(turned, 200, 210));
  EXPECT_TRUE(Lit(turned, 199, 218));
  EXPECT_FALSE(Lit(turned, 210, 200)) << "nothing left along the old direction";
  EXPECT_FALSE(Lit(turned, 200, 196)) << "nothing above the hot spot";

  // Scale 2 horizontally, vertical scale 0 means the same: 40 x 8 centred on the hot spot's row.
  const QImage& scaled = Frame([&] { bar.RenderEx(200, 200, 0, 2); });
  EXPECT_TRUE(Lit(scaled, 239, 197));
  EXPECT_TRUE(Lit(scaled, 239, 203));
  EXPECT_FALSE(Lit(scaled, 241, 200));
  EXPECT_FALSE(Lit(scaled, 220, 205));
  // Separate vertical scale.
  const QImage& flat = Frame([&] { bar.RenderEx(200, 200, 0, 1, 0.5f); });
  EXPECT_TRUE(Lit(flat, 210, 199));
  EXPECT_FALSE(Lit(flat, 210, 198));
}

TEST_F(SpriteTest, RenderStretchFillsTheRectangleIgnoringTheHotSpot) {
  hgeSprite sprite(SolidTexture(4, 4, 0xFF0000FF), 0, 0, 4, 4);
  sprite.SetHotSpot(2, 2);
  const QImage& frame = Frame([&] { sprite.RenderStretch(10, 20, 60, 30); });
  EXPECT_TRUE(Lit(frame, 10, 20));
  EXPECT_TRUE(Lit(frame, 59, 29));
  EXPECT_FALSE(Lit(frame, 60, 25));
  EXPECT_FALSE(Lit(frame, 30, 30));
  EXPECT_FALSE(Lit(frame, 9, 25));
}

TEST_F(SpriteTest, TextureRectPicksACellAndFlipMirrorsIt) {
  // Two cells of 8 x 8: red left, blue right; the blue cell has a white left column.
  const HTEXTURE tex = SolidTexture(16, 8, 0xFFFF0000);
  std::uint32_t* pixels = hge->Texture_Lock(tex, false);
  for (int y = 0; y < 8; ++y) {
    for (int x = 8; x < 16; ++x) pixels[y * 16 + x] = x == 8 ? 0xFFFFFFFF : 0xFF0000FF;
  }
  hge->Texture_Unlock(tex);
  hgeSprite sprite(tex, 0, 0, 8, 8);
  sprite.SetTextureRect(8, 0, 8, 8);
  const QImage& cell = Frame([&] { sprite.Render(50, 50); });
  EXPECT_EQ(Pixel(cell, 50, 52), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(cell, 53, 52), 0xFF0000FFu);
  sprite.SetFlip(true, false);
  const QImage& flipped = Frame([&] { sprite.Render(50, 50); });
  EXPECT_EQ(Pixel(flipped, 57, 52), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(flipped, 50, 52), 0xFF0000FFu);

  // A cut narrower than the drawn size when the size is not adjusted: the cut is stretched.
  hgeSprite bar(tex, 0, 0, 16, 8);
  bar.SetTextureRect(0, 0, 8, 8, false);
  EXPECT_FLOAT_EQ(bar.GetWidth(), 16);
  const QImage& stretched = Frame([&] { bar.Render(0, 0); });
  EXPECT_EQ(Pixel(stretched, 15, 4), 0xFFFF0000u);
}

TEST_F(SpriteTest, ColourMultipliesAndFlipWithHotSpotMirrorsTheAnchor) {
  hgeSprite sprite(SolidTexture(10, 10, 0xFFFFFFFF), 0, 0, 10, 10);
  sprite.SetColor(0xFF4F481E);
  EXPECT_EQ(sprite.GetColor(), 0xFF4F481Eu);
  EXPECT_EQ(Pixel(Frame([&] { sprite.Render(5, 5); }), 9, 9), 0xFF4F481Eu);
  sprite.SetHotSpot(2, 3);
  sprite.SetFlip(true, true, true);
  float hx = 0, hy = 0;
  sprite.GetHotSpot(&hx, &hy);
  EXPECT_FLOAT_EQ(hx, 8);
  EXPECT_FLOAT_EQ(hy, 7);
  sprite.SetFlip(false, false, true);
  sprite.GetHotSpot(&hx, &hy);
  EXPECT_FLOAT_EQ(hx, 2);
}

TEST_F(SpriteTest, DepthPerSpriteDecidesWhatIsInFront) {
  hgeSprite panel(SolidTexture(4, 4, 0xFF101010), 0, 0, 4, 4);
  hgeSprite marker(SolidTexture(4, 4, 0xFFFFFF00), 0, 0, 4, 4);
  panel.SetZ(0.9f);
  marker.SetZ(0.1f);
  const QImage& frame = Frame([&] {
    marker.Render(10, 10);
    panel.RenderStretch(0, 0, 100, 100);  // drawn later, but farther away
  });
  EXPECT_EQ(Pixel(frame, 11, 11), 0xFFFFFF00u);
  EXPECT_EQ(Pixel(frame, 50, 50), 0xFF101010u);
}

TEST_F(SpriteTest, NullTextureDrawsTheVertexColourAndCopiesKeepTheirOwnReference) {
  hgeSprite box(0, 0, 0, 6, 6);
  box.SetColor(0xFF00FFFF);
  auto* copy = new hgeSprite(box);
  copy->SetColor(0xFFFF00FF);
  const QImage& frame = Frame([&] {
    box.Render(0, 0);
    copy->Render(20, 0);
  });
  EXPECT_EQ(Pixel(frame, 3, 3), 0xFF00FFFFu);
  EXPECT_EQ(Pixel(frame, 23, 3), 0xFFFF00FFu);
  delete copy;  // gives back only its own reference
  EXPECT_EQ(Pixel(Frame([&] { box.Render(0, 0); }), 3, 3), 0xFF00FFFFu);
  hgeSprite assigned(SolidTexture(2, 2, 0xFFFFFFFF), 0, 0, 2, 2);
  assigned = box;
  EXPECT_EQ(assigned.GetColor(), 0xFF00FFFFu);
}

}  // namespace
}  // namespace sonavera::stage
