#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace sonavera::platform {

/// Writes an AVI file frame by frame from 0xAARRGGBB pixels. Used by the artwork generator for the
/// demo clip and by tests that need clips of a known content and pixel depth.
class VideoWriter {
 public:
  enum class Codec {
    Mjpeg,     ///< compressed, 24-bit colour after decoding
    RawBgr24,  ///< uncompressed 24-bit rows
    RawRgb555, ///< uncompressed 16-bit 5-5-5 rows
    RawBgra,   ///< uncompressed 32-bit rows that keep the alpha byte
  };

  VideoWriter();
  ~VideoWriter();
  VideoWriter(const VideoWriter&) = delete;
  VideoWriter& operator=(const VideoWriter&) = delete;

  /// Creates the file; false (with Error()) when the container or codec cannot be set up.
  bool Open(const std::string& path, int width, int height, int framesPerSecond, Codec codec);
  /// Appends one frame; `pixels` holds height rows of `pitch` pixels, top row first.
  bool WriteFrame(const std::uint32_t* pixels, int pitch);
  /// Flushes the encoder and writes the index; also done by the destructor.
  bool Close();

  const std::string& Error() const { return error; }

 private:
  struct State;
  std::unique_ptr<State> state;
  std::string error;
};

}  // namespace sonavera::platform
