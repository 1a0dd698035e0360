#pragma once

#include <cstdint>
#include <vector>

namespace sonavera::platform {

/// Decoded sound in memory: signed 16-bit samples interleaved by channel.
struct PcmAudio {
  int sampleRate = 0;
  int channels = 0;
  std::vector<std::int16_t> samples;

  std::size_t frameCount() const { return channels > 0 ? samples.size() / channels : 0; }
};

}  // namespace sonavera::platform
