#include "platform/video/video_reader.h"
#include "platform/video/video_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

using namespace sonavera::platform;
namespace fs = std::filesystem;

namespace {

fs::path TempFile(const std::string& name) {
  const fs::path dir = fs::temp_directory_path() / ("sonavera_video_" + std::to_string(getpid()));
  fs::create_directories(dir);
  return dir / name;
}

// Frame k is one flat colour whose channels encode k, so a decoded frame tells which one it is.
std::uint32_t ColourOf(int k) {
  return 0x40000000u | (std::uint32_t(40 + 16 * k) << 16) | (std::uint32_t(200 - 12 * k) << 8) | 0x80u;
}

bool WriteClip(const fs::path& path, VideoWriter::Codec codec, int w, int h, int frames) {
  VideoWriter writer;
  if (!writer.Open(path.string(), w, h, 25, codec)) return false;
  std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * h);
  for (int k = 0; k < frames; ++k) {
    std::fill(pixels.begin(), pixels.end(), ColourOf(k));
    pixels[0] = 0xFF0000FFu;  // a blue top-left pixel shows the row order
    if (!writer.WriteFrame(pixels.data(), w)) return false;
  }
  return writer.Close();
}

std::uint32_t PixelAt(const VideoFrame& f, int x, int y) {
  const std::uint8_t* p = f.rows + static_cast<size_t>(y) * f.stride + x * f.bitsPerPixel / 8;
  switch (f.bitsPerPixel) {
    case 16: return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
    case 24: return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
    default: return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                    (std::uint32_t(p[3]) << 24);
  }
}

struct CodecCase {
  VideoWriter::Codec codec;
  int bits;
  int tolerance;  // per channel; the lossy codec is compared loosely
  const char* name;
};

class VideoRoundTrip : public ::testing::TestWithParam<CodecCase> {};

}  // namespace

TEST_P(VideoRoundTrip, FramesComeBackWithSizeRateAndDepth) {
  const CodecCase c = GetParam();
  const fs::path path = TempFile(std::string(c.name) + ".avi");
  ASSERT_TRUE(WriteClip(path, c.codec, 34, 18, 10));  // odd row length: rows are padded

  VideoReader reader;
  ASSERT_TRUE(reader.Open(path.string()));
  EXPECT_EQ(reader.Width(), 34);
  EXPECT_EQ(reader.Height(), 18);
  EXPECT_EQ(reader.FrameCount(), 10);
  EXPECT_DOUBLE_EQ(double(reader.Scale()) / reader.Rate(), 0.04);

  for (int k : {0, 1, 7, 3, 9}) {  // forward, skipping ahead and seeking back
    const VideoFrame* f = reader.Frame(k);
    ASSERT_NE(f, nullptr) << "frame " << k;
    EXPECT_EQ(f->bitsPerPixel, c.bits);
    EXPECT_EQ(f->stride % 4, 0);
    EXPECT_GE(f->stride, 34 * c.bits / 8);
    const std::uint32_t want = ColourOf(k);
    std::uint32_t got = PixelAt(*f, 20, 10);
    int r, g, b;
    if (c.bits == 16) {
      r = ((got >> 10) & 0x1F) << 3, g = ((got >> 5) & 0x1F) << 3, b = (got & 0x1F) << 3;
    } else {
      r = (got >> 16) & 0xFF, g = (got >> 8) & 0xFF, b = got & 0xFF;
    }
    EXPECT_NEAR(r, int((want >> 16) & 0xFF), c.tolerance) << "frame " << k;
    EXPECT_NEAR(g, int((want >> 8) & 0xFF), c.tolerance) << "frame " << k;
    EXPECT_NEAR(b, int(want & 0xFF), c.tolerance) << "frame " << k;
    if (c.bits == 32) {
      EXPECT_EQ(got >> 24, 0x40u) << "alpha is kept";
    }
    if (c.bits != 16 && c.tolerance == 0) {
      EXPECT_EQ(PixelAt(*f, 0, 0) & 0xFFFFFF, 0x0000FFu) << "top row first";
    }
  }
  EXPECT_EQ(reader.Frame(10), nullptr);
  EXPECT_EQ(reader.Frame(-1), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Codecs, VideoRoundTrip,
    ::testing::Values(CodecCase{VideoWriter::Codec::RawBgr24, 24, 0, "bgr24"},
                      CodecCase{VideoWriter::Codec::RawRgb555, 16, 7, "rgb555"},
                      CodecCase{VideoWriter::Codec::RawBgra, 32, 0, "bgra"},
                      CodecCase{VideoWriter::Codec::Mjpeg, 24, 12, "mjpeg"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VideoReader, MissingTruncatedAndForeignFilesDoNotOpen) {
  VideoReader reader;
  EXPECT_FALSE(reader.Open(TempFile("absent.avi").string()));
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_EQ(reader.Frame(0), nullptr);

  const fs::path text = TempFile("notes.avi");
  std::ofstream(text) << "RIFF but not really a video\n";
  EXPECT_FALSE(reader.Open(text.string()));

  // A clip cut after its header holds no decodable frames.
  const fs::path whole = TempFile("whole.avi");
  ASSERT_TRUE(WriteClip(whole, VideoWriter::Codec::RawBgr24, 16, 16, 5));
  const fs::path cut = TempFile("cut.avi");
  fs::copy_file(whole, cut, fs::copy_options::overwrite_existing);
  fs::resize_file(cut, 200);
  VideoReader cutReader;
  if (cutReader.Open(cut.string())) {
    EXPECT_EQ(cutReader.Frame(0), nullptr);
  }
}

TEST(VideoWriter, RejectsBadSizesAndUnwritablePaths) {
  VideoWriter writer;
  EXPECT_FALSE(writer.Open(TempFile("zero.avi").string(), 0, 10, 25, VideoWriter::Codec::Mjpeg));
  EXPECT_FALSE(writer.Error().empty());
  EXPECT_FALSE(writer.Open("/nonexistent-dir/x.avi", 16, 16, 25, VideoWriter::Codec::RawBgr24));
  const std::uint32_t pixel = 0;
  EXPECT_FALSE(writer.WriteFrame(&pixel, 1));
}
