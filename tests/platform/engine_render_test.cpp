// Frames rendered by the real engine backend, headless, checked pixel by pixel.

#include <QBuffer>
#include <QImage>

#include "platform/engine/engine_backend.h"
#include "platform/engine_test_support.h"

namespace sonavera::platform {
namespace {

using testing::EngineTest;

hgeQuad RectQuad(HTEXTURE tex, float x, float y, float w, float h, std::uint32_t col, float z, int blend) {
  hgeQuad q;
  q.tex = tex;
  q.blend = blend;
  const float xs[4] = {x, x + w, x + w, x}, ys[4] = {y, y, y + h, y + h};
  const float us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
  for (int i = 0; i < 4; ++i) q.v[i] = {xs[i], ys[i], z, col, us[i], vs[i]};
  return q;
}

class EngineRender : public EngineTest {};

TEST_F(EngineRender, TextureLockPitchIsTheTextureWidth) {
  const HTEXTURE tex = hge->Texture_Create(37, 5);
  ASSERT_NE(tex, 0u);
  EXPECT_EQ(hge->Texture_GetWidth(tex), 37);
  EXPECT_EQ(hge->Texture_GetHeight(tex), 5);
  std::uint32_t* pixels = hge->Texture_Lock(tex, false);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(pixels[0], 0u) << "a new texture is transparent";
  pixels[2 * hge->Texture_GetWidth(tex) + 3] = 0xFF00FF00;  // row 2, column 3
  hge->Texture_Unlock(tex);

  const hgeQuad q = RectQuad(tex, 100, 50, 37, 5, 0xFFFFFFFF, 0.5f, BLEND_DEFAULT);
  const QImage& frame = Frame([&] { hge->Gfx_RenderQuad(&q); });
  EXPECT_EQ(Pixel(frame, 103, 52), 0xFF00FF00u);
  EXPECT_EQ(Pixel(frame, 104, 52), 0xFF000000u);
  EXPECT_EQ(Pixel(frame, 103, 51), 0xFF000000u);
  EXPECT_EQ(hge->Texture_Lock(9999), nullptr);
  EXPECT_EQ(hge->Texture_Create(0, 10), 0u);
}

struct BlendCase {
  const char* name;
  std::uint32_t texel, vertex, background;
  int blend;
  std::uint32_t expected;
};

class EngineBlend : public EngineTest, public ::testing::WithParamInterface<BlendCase> {};

TEST_P(EngineBlend, CombinesTexelVertexAndFrame) {
  const BlendCase& c = GetParam();
  const HTEXTURE tex = SolidTexture(8, 8, c.texel);
  const hgeQuad q = RectQuad(tex, 10, 10, 8, 8, c.vertex, 0.5f, c.blend);
  const QImage& frame = Frame([&] { hge->Gfx_RenderQuad(&q); }, c.background);
  const std::uint32_t got = Pixel(frame, 13, 13);
  for (int shift : {0, 8, 16}) {
    EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((c.expected >> shift) & 0xFF), 2)
        << std::hex << "got " << got << " expected " << c.expected;
  }
  EXPECT_EQ(Pixel(frame, 9, 9), c.background) << "nothing outside the quad";
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EngineBlend,
    ::testing::Values(
        BlendCase{"Plain", 0xFF336699, 0xFFFFFFFF, 0xFF000000, BLEND_DEFAULT, 0xFF336699},
        BlendCase{"ColourMultiply", 0xFF808080, 0xFF00FF80, 0xFF000000, BLEND_DEFAULT, 0xFF008040},
        BlendCase{"ColourAdd", 0xFF404040, 0xFF100020, 0xFF000000, BLEND_COLORADD | BLEND_ALPHABLEND,
                  0xFF504060},
        BlendCase{"ColourAddSaturates", 0xFFF0F0F0, 0xFF808080, 0xFF000000, BLEND_COLORADD | BLEND_ALPHABLEND,
                  0xFFFFFFFF},
        BlendCase{"VertexAlphaBlends", 0xFFFFFFFF, 0x80FFFFFF, 0xFF000000, BLEND_DEFAULT, 0xFF808080},
        BlendCase{"TexelAlphaBlends", 0x80FF0000, 0xFFFFFFFF, 0xFF0000FF, BLEND_DEFAULT, 0xFF80007F},
        BlendCase{"AdditiveAddsToFrame", 0xFF404040, 0xFFFFFFFF, 0xFF201000, BLEND_COLORMUL | BLEND_ALPHAADD,
                  0xFF605040},
        BlendCase{"AdditiveScaledByAlpha", 0xFFFFFFFF, 0x80FF0000, 0xFF000040, BLEND_COLORMUL | BLEND_ALPHAADD,
                  0xFF800040},
        BlendCase{"AdditiveSaturates", 0xFFC0C0C0, 0xFFFFFFFF, 0xFF808080, BLEND_COLORMUL | BLEND_ALPHAADD,
                  0xFFFFFFFF},
        BlendCase{"TransparentTexelDiscarded", 0x00FFFFFF, 0xFFFFFFFF, 0xFF123456, BLEND_DEFAULT, 0xFF123456}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineRender, SmallerZIsInFrontWhateverTheCallOrder) {
  const HTEXTURE red = SolidTexture(4, 4, 0xFFFF0000);
  const HTEXTURE blue = SolidTexture(4, 4, 0xFF0000FF);
  const hgeQuad nearRed = RectQuad(red, 0, 0, 40, 40, 0xFFFFFFFF, 0.2f, BLEND_DEFAULT);
  const hgeQuad farBlue = RectQuad(blue, 20, 20, 40, 40, 0xFFFFFFFF, 0.8f, BLEND_DEFAULT);
  const QImage& frame = Frame([&] {
    hge->Gfx_RenderQuad(&nearRed);
    hge->Gfx_RenderQuad(&farBlue);
    hge->Gfx_RenderLine(0, 30, 100, 30, 0xFF00FF00, 0.5f);  // between the two
  });
  EXPECT_EQ(Pixel(frame, 25, 25), 0xFFFF0000u) << "near red covers far blue";
  EXPECT_EQ(Pixel(frame, 50, 50), 0xFF0000FFu);
  EXPECT_EQ(Pixel(frame, 30, 30), 0xFFFF0000u) << "the line at 0.5 is behind red";
  EXPECT_EQ(Pixel(frame, 50, 30), 0xFF00FF00u) << "and in front of blue";
  EXPECT_EQ(Pixel(frame, 99, 30), 0xFF00FF00u);
  EXPECT_EQ(Pixel(frame, 100, 30), 0xFF000000u) << "a line stops before its end point";

  // Equal depth: call order. Without the depth buffer: call order too.
  const hgeQuad sameRed = RectQuad(red, 0, 0, 10, 10, 0xFFFFFFFF, 0.5f, BLEND_DEFAULT);
  const hgeQuad sameBlue = RectQuad(blue, 0, 0, 10, 10, 0xFFFFFFFF, 0.5f, BLEND_DEFAULT);
  EXPECT_EQ(Pixel(Frame([&] {
                    hge->Gfx_RenderQuad(&sameRed);
                    hge->Gfx_RenderQuad(&sameBlue);
                  }),
                  5, 5),
            0xFF0000FFu);
  hge->System_SetStateBool(HGE_ZBUFFER, false);
  EXPECT_EQ(Pixel(Frame([&] {
                    hge->Gfx_RenderQuad(&nearRed);
                    hge->Gfx_RenderQuad(&farBlue);
                  }),
                  25, 25),
            0xFF0000FFu);
}

TEST_F(EngineRender, UntexturedQuadShowsTheVertexColour) {
  const hgeQuad q = RectQuad(0, 5, 5, 10, 10, 0xFF20A040, 0.5f, BLEND_DEFAULT);
  const QImage& frame = Frame([&] { hge->Gfx_RenderQuad(&q); });
  EXPECT_EQ(Pixel(frame, 10, 10), 0xFF20A040u);
  EXPECT_EQ(Pixel(frame, 15, 15), 0xFF000000u);
}

TEST_F(EngineRender, QuadsMapTextureCoordinatesAndRotate) {
  // Left half red, right half green; a quad showing only the right half.
  const HTEXTURE tex = SolidTexture(16, 8, 0xFFFF0000);
  std::uint32_t* pixels = hge->Texture_Lock(tex, false);
  for (int y = 0; y < 8; ++y) {
    for (int x = 8; x < 16; ++x) pixels[y * 16 + x] = 0xFF00FF00;
  }
  hge->Texture_Unlock(tex);
  hgeQuad half = RectQuad(tex, 0, 0, 32, 32, 0xFFFFFFFF, 0.5f, BLEND_DEFAULT);
  for (hgeVertex& v : half.v) v.tx = 0.5f + v.tx * 0.5f;
  const QImage& stretched = Frame([&] { hge->Gfx_RenderQuad(&half); });
  EXPECT_EQ(Pixel(stretched, 1, 1), 0xFF00FF00u);
  EXPECT_EQ(Pixel(stretched, 30, 30), 0xFF00FF00u);

  // The whole texture turned a quarter clockwise about (100, 100): red now on top.
  hgeQuad turned = RectQuad(tex, 0, 0, 0, 0, 0xFFFFFFFF, 0.5f, BLEND_DEFAULT);
  const float xs[4] = {100, 100, 84, 84}, ys[4] = {100, 132, 132, 100};
  for (int i = 0; i < 4; ++i) turned.v[i].x = xs[i], turned.v[i].y = ys[i];
  const QImage& rotated = Frame([&] { hge->Gfx_RenderQuad(&turned); });
  EXPECT_EQ(Pixel(rotated, 92, 104), 0xFFFF0000u);
  EXPECT_EQ(Pixel(rotated, 92, 126), 0xFF00FF00u);
  EXPECT_EQ(Pixel(rotated, 104, 110), 0xFF000000u);
}

TEST_F(EngineRender, PngAndJpegTexturesLoadAndBrokenFilesDoNot) {
  QImage picture(6, 4, QImage::Format_ARGB32);
  picture.fill(0x80112233);
  ASSERT_TRUE(picture.save(QString::fromStdString(scratch.File("p.png"))));
  QImage opaque(6, 4, QImage::Format_RGB32);
  opaque.fill(0xFF0000FF);
  ASSERT_TRUE(opaque.save(QString::fromStdString(scratch.File("p.jpg")), "JPEG", 100));

  const HTEXTURE png = hge->Texture_Load(scratch.File("p.png").c_str());
  ASSERT_NE(png, 0u);
  EXPECT_EQ(hge->Texture_GetWidth(png), 6);
  EXPECT_EQ(hge->Texture_Lock(png)[5], 0x80112233u) << "locked pixels are not premultiplied";
  hge->Texture_Unlock(png);
  const HTEXTURE jpg = hge->Texture_Load(scratch.File("p.jpg").c_str());
  ASSERT_NE(jpg, 0u);
  EXPECT_GT(hge->Texture_Lock(jpg)[0] & 0xFF, 0xF0u);
  hge->Texture_Unlock(jpg);

  const std::string png_bytes = scratch.Read("p.png");
  scratch.Write("cut.png", png_bytes.substr(0, png_bytes.size() / 2));
  scratch.Write("junk.png", std::string(300, '\x89'));
  scratch.Write("empty.png", "");
  for (const char* name : {"cut.png", "junk.png", "empty.png", "missing.png"}) {
    EXPECT_EQ(hge->Texture_Load(scratch.File(name).c_str()), 0u) << name;
  }
  EXPECT_NE(Log().find("missing.png"), std::string::npos);
  // Backslashes are folder separators.
  std::string windowsName = scratch.File("p.png");
  windowsName.replace(windowsName.rfind('/'), 1, "\\");
  EXPECT_NE(hge->Texture_Load(windowsName.c_str()), 0u);
}

TEST_F(EngineRender, OneFrameRunsFrameThenRenderAndKeyEdgesLastOneFrame) {
  std::string calls;
  bool downSeen = false, heldSeen = false, upSeen = false;
  hge->System_SetStateFunc(HGE_FRAMEFUNC, [&] {
    calls += 'F';
    downSeen = hge->Input_KeyDown(HGEK_LEFT);
    heldSeen = hge->Input_GetKeyState(HGEK_LEFT);
    upSeen = hge->Input_KeyUp(HGEK_LEFT);
    return false;
  });
  hge->System_SetStateFunc(HGE_RENDERFUNC, [&] {
    calls += 'R';
    return false;
  });
  hge->Input_Feed(HGEK_LEFT, true);
  hge->System_Start();
  EXPECT_EQ(calls, "FR");
  EXPECT_TRUE(downSeen && heldSeen && !upSeen);
  hge->System_Start();
  EXPECT_FALSE(downSeen) << "the press edge lasts one frame";
  EXPECT_TRUE(heldSeen);
  hge->Input_Feed(HGEK_LEFT, false);
  hge->System_Start();
  EXPECT_TRUE(upSeen && !heldSeen);
  EXPECT_EQ(calls, "FRFRFR");

  EXPECT_NEAR(hge->Timer_GetDelta(), 0.016f, 1e-6);
  EXPECT_NEAR(hge->Timer_GetTime(), 0.048f, 1e-5);
  EXPECT_FALSE(hge->Input_KeyDown(0) || hge->Input_KeyDown(300) || hge->Input_GetKeyState(-1));
}

TEST_F(EngineRender, RandomIsRepeatableAndInRange) {
  hge->Random_Seed(7);
  const float first = hge->Random_Float(2, 3);
  const int firstInt = hge->Random_Int(-5, 5);
  hge->Random_Seed(7);
  EXPECT_EQ(hge->Random_Float(2, 3), first);
  EXPECT_EQ(hge->Random_Int(-5, 5), firstInt);
  for (int i = 0; i < 1000; ++i) {
    const float f = hge->Random_Float(-1, 1);
    const int n = hge->Random_Int(1, 6);
    ASSERT_TRUE(f >= -1 && f <= 1);
    ASSERT_TRUE(n >= 1 && n <= 6);
  }
}

TEST_F(EngineRender, ReferencesKeepOneEngineAndSavedFramesAreFiles) {
  HGE* second = hgeCreate(HGE_VERSION);
  EXPECT_EQ(second, hge);
  second->Release();
  EXPECT_TRUE(hge->System_GetStateBool(HGE_ZBUFFER)) << "still the same, live engine";
  EXPECT_NE(hge->System_GetStateHwnd(HGE_HWND), nullptr) << "headless engines still report a window";
  EXPECT_EQ(hgeCreate(0x170), nullptr);

  Frame([] {}, 0xFF336699);
  ASSERT_TRUE(hge->Gfx_SaveFrame(scratch.File("frame.png").c_str()));
  QImage saved(QString::fromStdString(scratch.File("frame.png")));
  EXPECT_EQ(saved.size(), QSize(800, 600));
  EXPECT_EQ(saved.pixel(400, 300), 0xFF336699u);
}

TEST(EngineLifetime, LastReleaseDestroysTheEngine) {
  HGE* first = hgeCreate(HGE_VERSION);
  first->System_SetStateInt(HGE_SCREENWIDTH, 320);
  EXPECT_EQ(first->System_GetStateInt(HGE_SCREENWIDTH), 320);
  first->Release();
  HGE* fresh = hgeCreate(HGE_VERSION);
  EXPECT_EQ(fresh->System_GetStateInt(HGE_SCREENWIDTH), 800) << "a new engine starts from the defaults";
  fresh->Release();
}

}  // namespace
}  // namespace sonavera::platform
