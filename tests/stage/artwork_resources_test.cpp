// The program folder's generated resources: every picture with the size and cell layout the stage
// cuts it into, loaded through the engine, and the font, particle and video files.
#include <gtest/gtest.h>

#include <QRect>

#include <filesystem>
#include <string>
#include <vector>

#include "headless_engine.h"
#include "stage/avi.h"
#include "stage/hge_font.h"
#include "stage/hge_particle.h"
#include "stage/hge_sprite.h"

using namespace sonavera;
using namespace sonavera::stage;
using sonavera::testing::HeadlessEngine;

namespace {

const std::string kProgramFolder = std::string(SONAVERA_PROGRAM_DIR) + "/";

struct Picture {
  const char* name;
  int width, height;
  std::vector<QRect> cells;  // every cell the stage draws must show something
};

std::vector<QRect> Row(int x, int y, int w, int h, int count) {
  std::vector<QRect> cells;
  for (int i = 0; i < count; ++i) cells.emplace_back(x + i * w, y, w, h);
  return cells;
}

std::vector<QRect> Column(int w, int h, int count) {
  std::vector<QRect> cells;
  for (int i = 0; i < count; ++i) cells.emplace_back(0, i * h, w, h);
  return cells;
}

// Cells of an animation strip laid out row after row in a sheet `sheetWidth` wide.
std::vector<QRect> Frames(int sheetWidth, int w, int h, int count) {
  std::vector<QRect> cells;
  const int columns = sheetWidth / w;
  for (int k = 0; k < count; ++k) cells.emplace_back((k % columns) * w, (k / columns) * h, w, h);
  return cells;
}

// Digits d <= 4 at (62 d, 0), d >= 5 at (62 d - 310, 54), the point at (62, 108).
std::vector<QRect> DigitCells(int w, int h) {
  std::vector<QRect> cells;
  for (int d = 0; d < 10; ++d)
    cells.emplace_back(d <= 4 ? w * d : w * d - 5 * w, d <= 4 ? 0 : h, w, h);
  return cells;
}

std::vector<Picture> Pictures() {
  std::vector<QRect> digitsAndPoint = DigitCells(62, 54);
  digitsAndPoint.emplace_back(62, 108, 62, 54);
  return {
      {"particles.png", 128, 128, {{64, 64, 32, 32}, {64, 96, 32, 32}, {32, 32, 32, 32}}},
      {"arrow.png", 32, 32, {{0, 0, 32, 32}}},
      {"process.png", 264, 17, {{0, 0, 264, 17}}},
      {"stop.png", 800, 162, {{3, 3, 45, 45}, {776, 0, 24, 25}, {776, 25, 24, 25}, {0, 56, 800, 106}}},
      {"stop1.png", 800, 162, {{3, 3, 45, 45}, {776, 0, 24, 25}, {776, 25, 24, 25}, {0, 56, 800, 106}}},
      {"finalscore.png", 140, 32, {{0, 0, 140, 32}}},
      {"note.png", 64, 64, {{0, 0, 64, 64}}},
      {"hudarrow.png", 256, 64, Row(0, 0, 64, 64, 4)},
      {"judgement.png", 145, 185, Column(145, 37, 5)},
      {"arrowglow.png", 64, 64, {{0, 0, 64, 64}}},
      {"arrowY.png", 256, 256, Frames(256, 64, 64, 16)},
      {"leftnote.png", 256, 64, Row(0, 0, 64, 64, 4)},
      {"downnote.png", 256, 64, Row(0, 0, 64, 64, 4)},
      {"upnote.png", 256, 64, Row(0, 0, 64, 64, 4)},
      {"rightnote.png", 256, 64, Row(0, 0, 64, 64, 4)},
      {"bgpic.png", 800, 438, {{0, 0, 800, 438}}},
      {"LeftToRight.png", 128, 32, {{0, 0, 128, 32}}},
      {"RightToLeft.png", 128, 32, {{0, 0, 128, 32}}},
      {"ready.png", 391, 71, {{0, 0, 391, 71}}},
      {"go.png", 461, 70, {{0, 0, 461, 70}}},
      {"continue.png", 96, 32, {{0, 0, 96, 32}}},
      {"continum.png", 220, 132, DigitCells(44, 66)},
      {"bang.png", 64, 64, {{0, 0, 64, 64}}},
      {"singjudge.png", 170, 230, Column(170, 46, 5)},
      {"playback.png", 50, 65, {{0, 0, 50, 65}}},
      {"backstop.png", 50, 65, {{0, 0, 50, 65}}},
      {"overbg.png", 800, 600, {{0, 0, 800, 600}}},
      {"overbg2.png", 800, 600, {{20, 530, 55, 55}, {128, 475, 47, 45}, {180, 475, 45, 45}}},
      {"leibie.png", 749, 589, {{0, 0, 749, 589}}},
      {"bignum.png", 310, 162, digitsAndPoint},
      {"smallscore.png", 310, 162, digitsAndPoint},
      {"song_on_disk.png", 32, 32, {{0, 0, 32, 32}}},
      {"song_not_on_disk.png", 32, 32, {{0, 0, 32, 32}}},
  };
}

class ArtworkPicture : public ::testing::TestWithParam<Picture> {};

int OpaquePixels(const std::uint32_t* pixels, int pitch, const QRect& cell) {
  int count = 0;
  for (int y = cell.top(); y <= cell.bottom(); ++y)
    for (int x = cell.left(); x <= cell.right(); ++x)
      if ((pixels[y * pitch + x] >> 24) >= 128) ++count;
  return count;
}

}  // namespace

TEST_P(ArtworkPicture, LoadsWithItsSizeAndEveryCellDrawn) {
  const Picture& pic = GetParam();
  HeadlessEngine engine;
  const std::string path = kProgramFolder + "Images/" + pic.name;
  ASSERT_TRUE(std::filesystem::exists(path)) << path;
  const HTEXTURE tex = engine.hge->Texture_Load(path.c_str());
  ASSERT_NE(tex, 0u);
  EXPECT_EQ(engine.hge->Texture_GetWidth(tex, true), pic.width);
  EXPECT_EQ(engine.hge->Texture_GetHeight(tex, true), pic.height);
  const std::uint32_t* pixels = engine.hge->Texture_Lock(tex, true);
  ASSERT_NE(pixels, nullptr);
  const int pitch = engine.hge->Texture_GetWidth(tex);
  for (const QRect& cell : pic.cells) {
    ASSERT_TRUE(QRect(0, 0, pic.width, pic.height).contains(cell));
    // A cell counts as drawn when a visible share of it is opaque (at least 2 %).
    EXPECT_GE(OpaquePixels(pixels, pitch, cell), cell.width() * cell.height() / 50)
        << pic.name << " cell " << cell.x() << "," << cell.y();
  }
  engine.hge->Texture_Unlock(tex);
  engine.hge->Texture_Free(tex);
}

INSTANTIATE_TEST_SUITE_P(Images, ArtworkPicture, ::testing::ValuesIn(Pictures()),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(ArtworkWipeStrips, CoverFacesTheWayTheStripMoves) {
  // LeftToRight leads a cover that lies to its right; RightToLeft has the cover on its left.
  HeadlessEngine engine;
  for (const auto& [name, coverOnRight] : {std::pair{"LeftToRight.png", true}, {"RightToLeft.png", false}}) {
    const HTEXTURE tex = engine.hge->Texture_Load((kProgramFolder + "Images/" + name).c_str());
    ASSERT_NE(tex, 0u) << name;
    const std::uint32_t* p = engine.hge->Texture_Lock(tex, true);
    const int pitch = engine.hge->Texture_GetWidth(tex);
    const std::uint32_t left = p[16 * pitch + 0];
    const std::uint32_t right = p[16 * pitch + 127];
    const std::uint32_t cover = coverOnRight ? right : left;
    const std::uint32_t clear = coverOnRight ? left : right;
    EXPECT_EQ(cover, 0xFF181700u) << name << ": the cover end matches the wipe line colour";
    EXPECT_LT(clear >> 24, 16u) << name;
    engine.hge->Texture_Unlock(tex);
    engine.hge->Texture_Free(tex);
  }
}

TEST(ArtworkVideo, DefaultClipPlaysAt25Fps) {
  HeadlessEngine engine;
  AVI video(kProgramFolder + "avi/2.avi", 1, engine.hge);
  ASSERT_TRUE(video.IsOpen());
  EXPECT_DOUBLE_EQ(video.SecondsPerFrame(), 0.04);
  EXPECT_EQ(video.FrameCount(), 100);
  EXPECT_GT(video.Width(), 0);
  engine.frame = [&] { video.Update(); };
  for (int tick = 0; tick < 6; ++tick) engine.Frame();
  EXPECT_EQ(video.CurrentFrame(), 2);
  // A decoded frame replaced the white texture.
  std::uint32_t* p = engine.hge->Texture_Lock(video.Texture(), true);
  ASSERT_NE(p, nullptr);
  EXPECT_NE(p[0], 0xFFFFFFFFu);
  EXPECT_EQ(p[0] >> 24, 0xFFu);
  engine.hge->Texture_Unlock(video.Texture());
}

TEST(ArtworkBitmapFont, ElapsedTimeTextDrawsFromFont1) {
  HeadlessEngine engine;
  hgeFont font((kProgramFolder + "font1.fnt").c_str());
  ASSERT_TRUE(font.IsLoaded());
  EXPECT_GE(font.GetHeight(), 18);
  for (unsigned char c = 32; c < 127; ++c) EXPECT_NE(font.GetSprite(c), nullptr) << "char " << c;
  // Digits share one width, so the clock text does not jitter.
  for (unsigned char d = '1'; d <= '9'; ++d)
    EXPECT_FLOAT_EQ(font.GetStringWidth(std::string(1, char(d)).c_str()), font.GetStringWidth("0"));
  font.SetColor(0xFFFFFFFF);
  font.SetScale(1.3f);
  engine.render = [&] { font.printf(8, 167, 0, "%d:0%d", 3, 7); };
  const QImage frame = engine.Frame();
  const QRect box = sonavera::testing::LitBox(frame, 100);
  ASSERT_FALSE(box.isNull());
  EXPECT_GE(box.left(), 8);
  EXPECT_GE(box.top(), 167);
  EXPECT_LE(box.bottom(), 167 + font.GetHeight() * 1.3f);
  EXPECT_NEAR(box.width(), font.GetStringWidth("3:07"), 6) << "the width is already scaled";
}

TEST(ArtworkParticles, SparkleAndTrailDescriptionsEmitAndFade) {
  HeadlessEngine engine;
  const HTEXTURE tex = engine.hge->Texture_Load((kProgramFolder + "Images/particles.png").c_str());
  ASSERT_NE(tex, 0u);
  hgeSprite sprite(tex, 32, 32, 32, 32);
  sprite.SetHotSpot(16, 16);
  sprite.SetBlendMode(BLEND_COLORMUL | BLEND_ALPHAADD | BLEND_NOZWRITE);
  for (const char* name : {"particle1.psi", "trail.psi"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(std::filesystem::file_size(kProgramFolder + name), 128u);
    hgeParticleSystem system((kProgramFolder + name).c_str(), &sprite);
    ASSERT_TRUE(system.IsLoaded());
    EXPECT_EQ(system.info.lifetime, -1.0f) << "an endless emitter, fired once per song";
    EXPECT_GT(system.info.emission, 0);
    EXPECT_GT(system.info.lifeMin, 0.0f);
    EXPECT_LE(system.info.lifeMin, system.info.lifeMax);
    EXPECT_LE(system.info.speedMin, system.info.speedMax);
    EXPECT_GT(system.info.colourStart.a, 0.5f);
    EXPECT_EQ(system.info.colourEnd.a, 0.0f) << "sparks fade out";
    EXPECT_LT(system.info.sizeEnd, system.info.sizeStart);
    system.FireAt(400, 300);
    for (int tick = 0; tick < 30; ++tick) system.Update(0.016f);
    EXPECT_GT(system.GetParticlesAlive(), 10);
    EXPECT_LT(system.GetParticlesAlive(), 500);
    engine.render = [&] { system.Render(); };
    const QRect box = sonavera::testing::LitBox(engine.Frame(), 40);
    ASSERT_FALSE(box.isNull()) << "particles drew nothing";
    EXPECT_TRUE(box.intersects(QRect(300, 200, 200, 200)));
  }
  engine.hge->Texture_Free(tex);
}
