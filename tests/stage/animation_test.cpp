// hgeAnimation: frame sequences of every mode, the frame layout over texture rows, and frames drawn.

#include <vector>

#include "platform/engine_test_support.h"
#include "stage/hge_animation.h"

namespace sonavera::stage {
namespace {

struct ModeCase {
  int mode;
  std::vector<int> frames;  // frame after Play, then after each period; -1 marks "stopped from here"
};

class AnimationModes : public testing::EngineTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(AnimationModes, StepsThroughTheSequenceOfTheMode) {
  const ModeCase& c = GetParam();
  hgeAnimation anim(SolidTexture(256, 64, 0xFFFFFFFF), 3, 10, 0, 0, 64, 64);
  anim.SetMode(c.mode);
  anim.Play();
  anim.Update(5.0f);  // the first update only starts the clock
  std::vector<int> seen = {anim.GetFrame()};
  for (std::size_t i = 1; i < c.frames.size(); ++i) {
    anim.Update(0.1f + 1e-5f);
    seen.push_back(anim.IsPlaying() ? anim.GetFrame() : -1);
  }
  EXPECT_EQ(seen, c.frames) << "mode " << c.mode;
}

INSTANTIATE_TEST_SUITE_P(
    AllModes, AnimationModes,
    ::testing::Values(ModeCase{HGEANIM_FWD, {0, 1, 2, -1, -1}}, ModeCase{HGEANIM_REV, {2, 1, 0, -1}},
                      ModeCase{HGEANIM_FWD | HGEANIM_PINGPONG, {0, 1, 2, 1, 0, -1}},
                      ModeCase{HGEANIM_REV | HGEANIM_PINGPONG, {2, 1, 0, 1, 2, -1}},
                      ModeCase{HGEANIM_FWD | HGEANIM_LOOP, {0, 1, 2, 0, 1, 2, 0}},
                      ModeCase{HGEANIM_REV | HGEANIM_LOOP, {2, 1, 0, 2, 1, 0}},
                      ModeCase{HGEANIM_FWD | HGEANIM_PINGPONG | HGEANIM_LOOP, {0, 1, 2, 1, 0, 1, 2, 1}},
                      ModeCase{HGEANIM_REV | HGEANIM_PINGPONG | HGEANIM_LOOP, {2, 1, 0, 1, 2, 1, 0}}));

class AnimationTest : public testing::EngineTest {};

TEST_F(AnimationTest, StoppedKeepsItsFrameAndTimeAccumulates) {
  hgeAnimation anim(SolidTexture(256, 64, 0xFFFFFFFF), 4, 10, 0, 0, 64, 64);
  EXPECT_EQ(anim.GetMode(), HGEANIM_FWD | HGEANIM_LOOP);
  anim.Update(1.0f);
  EXPECT_EQ(anim.GetFrame(), 0) << "not playing until Play";
  anim.Play();
  anim.Update(0.016f);
  for (int tick = 0; tick < 7; ++tick) anim.Update(0.016f);  // 0.112 s: one frame
  EXPECT_EQ(anim.GetFrame(), 1);
  anim.Update(0.25f);  // two more periods at once
  EXPECT_EQ(anim.GetFrame(), 3);
  anim.Stop();
  anim.Update(1.0f);
  EXPECT_EQ(anim.GetFrame(), 3);
  anim.Resume();
  anim.Update(0.1f);
  EXPECT_EQ(anim.GetFrame(), 0);
  anim.SetFrame(-1);
  EXPECT_EQ(anim.GetFrame(), 3);
}

TEST_F(AnimationTest, FramesContinueOnTheNextRowFromTheLeftEdge) {
  // A 100-wide texture, frames of 30 x 20 starting at x = 40: 40, 70, then row 2 from x = 0.
  hgeAnimation anim(SolidTexture(100, 100, 0xFFFFFFFF), 6, 1, 40, 10, 30, 20);
  const float expected[][2] = {{40, 10}, {70, 10}, {0, 30}, {30, 30}, {60, 30}, {0, 50}};
  for (int k = 0; k < 6; ++k) {
    anim.SetFrame(k);
    float x, y, w, h;
    anim.GetTextureRect(&x, &y, &w, &h);
    EXPECT_FLOAT_EQ(x, expected[k][0]) << "frame " << k;
    EXPECT_FLOAT_EQ(y, expected[k][1]) << "frame " << k;
    EXPECT_FLOAT_EQ(w, 30);
  }
}

TEST_F(AnimationTest, TheCurrentFrameIsWhatIsDrawn) {
  // Four 8 x 8 frames in a row, each its own colour.
  const std::uint32_t colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};
  const HTEXTURE tex = hge->Texture_Create(32, 8);
  std::uint32_t* pixels = hge->Texture_Lock(tex, false);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 32; ++x) pixels[y * 32 + x] = colours[x / 8];
  }
  hge->Texture_Unlock(tex);
  hgeAnimation anim(tex, 4, 8, 0, 0, 8, 8);
  anim.SetHotSpot(4, 4);
  anim.Play();
  anim.Update(0);
  for (int k = 0; k < 6; ++k) {
    const QImage& frame = Frame([&] { anim.Render(20, 20); });
    EXPECT_EQ(Pixel(frame, 20, 20), colours[k % 4]) << "step " << k;
    anim.Update(0.125f);
  }
}

}  // namespace
}  // namespace sonavera::stage
