#include "stage/avi.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "headless_engine.h"
#include "platform/video/video_writer.h"

using namespace sonavera;
using namespace sonavera::stage;
using platform::VideoWriter;
using sonavera::testing::HeadlessEngine;
namespace fs = std::filesystem;

namespace {

fs::path TempClip(const std::string& name) {
  const fs::path dir = fs::temp_directory_path() / ("sonavera_avi_" + std::to_string(getpid()));
  fs::create_directories(dir);
  return dir / name;
}

// Frame k is filled with Colour(k); the red channel counts frames.
std::uint32_t Colour(int k, std::uint32_t alpha = 0xFF) {
  return (alpha << 24) | (std::uint32_t(8 * k) << 16) | 0x00A000u | 0x30u;
}

fs::path MakeClip(const std::string& name, VideoWriter::Codec codec, int w, int h, int frames,
                  std::uint32_t alpha = 0xFF) {
  const fs::path path = TempClip(name);
  VideoWriter writer;
  EXPECT_TRUE(writer.Open(path.string(), w, h, 25, codec)) << writer.Error();
  std::vector<std::uint32_t> pixels(size_t(w) * h);
  for (int k = 0; k < frames; ++k) {
    std::fill(pixels.begin(), pixels.end(), Colour(k, alpha));
    EXPECT_TRUE(writer.WriteFrame(pixels.data(), w));
  }
  EXPECT_TRUE(writer.Close());
  return path;
}

std::uint32_t TexturePixel(HGE* hge, HTEXTURE tex, int x, int y) {
  std::uint32_t* p = hge->Texture_Lock(tex, true);
  const std::uint32_t v = p ? p[y * hge->Texture_GetWidth(tex) + x] : 0;
  hge->Texture_Unlock(tex);
  return v;
}

}  // namespace

TEST(Avi, FramesAdvanceAt25FpsOnA16msTick) {
  HeadlessEngine engine;
  ASSERT_TRUE(engine.initiated);
  const fs::path clip = MakeClip("steady.avi", VideoWriter::Codec::RawBgr24, 40, 24, 30);
  AVI video(clip.string(), 0, engine.hge);
  ASSERT_TRUE(video.IsOpen());
  EXPECT_EQ(video.Width(), 40);
  EXPECT_EQ(video.Height(), 24);
  EXPECT_EQ(video.FrameCount(), 30);
  EXPECT_DOUBLE_EQ(video.SecondsPerFrame(), 0.04);
  EXPECT_DOUBLE_EQ(video.Duration(), 1.2);
  EXPECT_EQ(video.GetState(), AVI::Playing);

  engine.frame = [&] { video.Update(); };
  std::vector<int> seen;
  int previous = video.CurrentFrame();
  for (int tick = 0; tick < 70; ++tick) {  // 1.12 s of frames
    engine.Frame();
    const int step = video.CurrentFrame() - previous;
    ASSERT_TRUE(step == 0 || step == 1) << "tick " << tick << " stepped " << step;
    previous = video.CurrentFrame();
    // The texture always holds the frame the counter names.
    ASSERT_EQ(TexturePixel(engine.hge, video.Texture(), 5, 5),
              previous == 0 ? 0xFFFFFFFFu : Colour(previous))
        << "tick " << tick;
  }
  // 69 ticks after the first update: 69 * 16 ms / 40 ms = 27.6 frames, the remainder kept.
  EXPECT_EQ(video.CurrentFrame(), 27);
  for (int tick = 0; tick < 10; ++tick) engine.Frame();
  EXPECT_EQ(video.GetState(), AVI::Stopped) << "loop mode 0 stops at the end";
  EXPECT_EQ(video.CurrentFrame(), 0);
}

TEST(Avi, LoopModeStartsAgainAndPauseHolds) {
  HeadlessEngine engine;
  const fs::path clip = MakeClip("loop.avi", VideoWriter::Codec::RawBgr24, 16, 16, 4);
  AVI video(clip.string(), 1, engine.hge);
  engine.frame = [&] { video.Update(); };
  int wraps = 0;
  int previous = 0;
  for (int tick = 0; tick < 40; ++tick) {
    engine.Frame();
    if (video.CurrentFrame() < previous) ++wraps;
    previous = video.CurrentFrame();
  }
  EXPECT_EQ(video.GetState(), AVI::Playing);
  EXPECT_GE(wraps, 3);
  video.Pause();
  const int held = video.CurrentFrame();
  for (int tick = 0; tick < 10; ++tick) engine.Frame();
  EXPECT_EQ(video.CurrentFrame(), held);
  EXPECT_EQ(video.GetState(), AVI::Paused);
  video.Play();
  for (int tick = 0; tick < 3; ++tick) engine.Frame();
  EXPECT_NE(video.CurrentFrame(), held) << "playing again resumes from the current time";
}

TEST(Avi, ThirtyTwoBitFramesAreAtLeastHalfOpaque) {
  HeadlessEngine engine;
  const fs::path clip = MakeClip("alpha.avi", VideoWriter::Codec::RawBgra, 32, 32, 3, 0x00);
  AVI video(clip.string(), 1, engine.hge);
  ASSERT_TRUE(video.IsOpen());
  engine.frame = [&] { video.Update(); };
  video.SetDisplayRect(100, 100, 32, 32);
  engine.render = [&] { video.Draw(); };
  QImage frame;
  for (int tick = 0; tick < 4 && video.CurrentFrame() == 0; ++tick) frame = engine.Frame();
  ASSERT_EQ(video.CurrentFrame(), 1);
  EXPECT_EQ(TexturePixel(engine.hge, video.Texture(), 3, 3), (Colour(1) & 0x00FFFFFF) | 0x80000000u);
  // Drawn over black at half opacity.
  const QRgb p = frame.pixel(110, 110);
  EXPECT_NEAR(qGreen(p), 0xA0 / 2, 3);
  EXPECT_NEAR(qBlue(p), 0x30 / 2, 3);
}

TEST(Avi, SixteenBitFramesWidenEachChannel) {
  HeadlessEngine engine;
  const fs::path clip = MakeClip("rgb555.avi", VideoWriter::Codec::RawRgb555, 20, 10, 3);
  AVI video(clip.string(), 1, engine.hge);
  engine.frame = [&] { video.Update(); };
  for (int tick = 0; tick < 4 && video.CurrentFrame() == 0; ++tick) engine.Frame();
  ASSERT_EQ(video.CurrentFrame(), 1);
  // 5-bit channels shifted left by 3: the low three bits are clear, alpha is opaque.
  EXPECT_EQ(TexturePixel(engine.hge, video.Texture(), 7, 4), Colour(1) & 0xFFF8F8F8u);
}

TEST(Avi, VideoThatCannotBeOpenedKeepsTheWhiteTexture) {
  HeadlessEngine engine;
  AVI video(TempClip("absent.avi").string(), 1, engine.hge);
  EXPECT_FALSE(video.IsOpen());
  ASSERT_NE(video.Texture(), 0u);
  video.SetDisplayRect(0, 162, 793, 432);
  engine.frame = [&] { video.Update(); };
  engine.render = [&] { video.Draw(); };
  QImage frame;
  for (int tick = 0; tick < 5; ++tick) frame = engine.Frame();
  EXPECT_EQ(TexturePixel(engine.hge, video.Texture(), 1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(frame.pixel(400, 300), qRgb(255, 255, 255));
  EXPECT_EQ(frame.pixel(792, 593), qRgb(255, 255, 255));
  EXPECT_EQ(frame.pixel(400, 150), qRgb(0, 0, 0)) << "nothing above the rectangle";
  EXPECT_EQ(frame.pixel(795, 300), qRgb(0, 0, 0)) << "nothing right of the rectangle";
}

TEST(Avi, DrawnUnstretchedAtItsOwnSizeAndStretchedOtherwise) {
  HeadlessEngine engine;
  const fs::path clip = MakeClip("size.avi", VideoWriter::Codec::RawBgr24, 80, 40, 2);
  AVI video(clip.string(), 1, engine.hge);
  engine.render = [&] { video.Draw(); };  // the white first texture is enough to see the area
  video.SetDisplayRect(10, 200, 80, 40);
  QImage frame = engine.Frame();
  EXPECT_EQ(frame.pixel(89, 239), qRgb(255, 255, 255));
  EXPECT_EQ(frame.pixel(90, 239), qRgb(0, 0, 0));
  video.SetDisplayRect(0, 162, 793, 432);
  frame = engine.Frame();
  EXPECT_EQ(frame.pixel(792, 593), qRgb(255, 255, 255));
  EXPECT_EQ(frame.pixel(0, 162), qRgb(255, 255, 255));
  EXPECT_EQ(frame.pixel(794, 300), qRgb(0, 0, 0));
}
