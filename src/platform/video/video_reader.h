#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sonavera::platform {

/// One decoded picture in the packed layout a video frame decompressor hands out: rows top first,
/// `stride` bytes apart (padded to 4 bytes), `bitsPerPixel` 16 (5-5-5, blue in the low bits),
/// 24 (blue, green, red bytes) or 32 (blue, green, red, alpha bytes).
struct VideoFrame {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  int stride = 0;
  const std::uint8_t* rows = nullptr;
};

/// Reads the first video stream of a file (AVI or anything FFmpeg opens) frame by frame.
/// Not thread-safe; one reader per video.
class VideoReader {
 public:
  VideoReader();
  ~VideoReader();
  VideoReader(const VideoReader&) = delete;
  VideoReader& operator=(const VideoReader&) = delete;

  /// Opens the file and its first video stream; false when either is missing or undecodable.
  bool Open(const std::string& path);
  bool IsOpen() const;

  int Width() const { return width; }
  int Height() const { return height; }
  /// Frame duration as a fraction of seconds (scale / rate).
  int Scale() const { return scale; }
  int Rate() const { return rate; }
  /// Number of frames of the stream (its length in frames).
  int FrameCount() const { return frameCount; }

  /// Decodes frame `index` (0-based). Later frames are reached by decoding forward, earlier ones by
  /// seeking. Returns null when the frame cannot be decoded; the view stays valid until the next call.
  const VideoFrame* Frame(int index);

 private:
  struct State;
  std::unique_ptr<State> state;
  int width = 0;
  int height = 0;
  int scale = 1;
  int rate = 25;
  int frameCount = 0;
};

}  // namespace sonavera::platform
