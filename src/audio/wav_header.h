#pragma once

#include <cstddef>
#include <cstdint>

namespace sonavera::audio {

/// The five format values that must agree for two WAV files to be mixed.
struct WavFormat {
  std::uint16_t channels = 0;
  std::uint32_t sampleRate = 0;
  std::uint32_t bytesPerSecond = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;

  bool operator==(const WavFormat&) const = default;
};

enum class WavHeaderStatus {
  Ok,
  NotWav,  ///< cut short, wrong tags, a chunk pointing outside the file, or no "data" where expected
  NotPcm,  ///< the format tag is not 1
};

struct WavHeader {
  WavHeaderStatus status = WavHeaderStatus::NotWav;
  WavFormat format;
  std::uint32_t dataOffset = 0;  ///< first sample byte; the samples run from here to the end of the file
};

/// Parses the header of a WAV file image: "RIFF", "WAVE" and "fmt " at 0, 8 and 12; PCM; the format
/// at 22..35; the next chunk at 38 when the fmt chunk size is 18, else at 36; an optional "fact"
/// chunk skipped whole; then "data". Never reads outside `bytes[0, size)`.
WavHeader ParseWavHeader(const std::uint8_t* bytes, std::size_t size);

}  // namespace sonavera::audio
