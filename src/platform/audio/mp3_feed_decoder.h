#pragma once

#include <cstddef>
#include <cstdint>

struct mpg123_handle_struct;

namespace sonavera::platform {

/// An MPEG audio decoder fed with compressed bytes as they are read. Output is always signed 16-bit
/// stereo (a mono stream comes out with both channels equal) at the stream's own sample rate.
/// One decoder is used by one thread at a time.
class Mp3FeedDecoder {
 public:
  enum class Result { Frame, NeedMore, Error };

  Mp3FeedDecoder();
  ~Mp3FeedDecoder();
  Mp3FeedDecoder(const Mp3FeedDecoder&) = delete;
  Mp3FeedDecoder& operator=(const Mp3FeedDecoder&) = delete;

  bool ok() const { return handle != nullptr; }
  /// Feeds `size` bytes (none when `input` is nullptr) and asks for the next decoded frame, written to
  /// `out` (room for at least 8192 bytes) with its size in `bytes`. Frame with 0 bytes means the
  /// stream's format became known and decoding should simply be asked again.
  Result Decode(const std::uint8_t* input, std::size_t size, std::uint8_t* out, std::size_t outSize,
                std::size_t* bytes);
  /// The stream's sample rate in Hz, 0 until the first frame header has been read.
  long sampleRate() const;

  static constexpr int kChannels = 2;
  static constexpr std::size_t kOutputBytes = 8192;  // more than one decoded frame (4608 bytes)

 private:
  mpg123_handle_struct* handle = nullptr;
};

}  // namespace sonavera::platform
