#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace sonavera::platform {

/// A decoded sound: interleaved 16-bit stereo frames at kSoundRate.
struct Sound {
  std::vector<std::int16_t> samples;  // left, right, left, right, ...
  std::int64_t Frames() const { return static_cast<std::int64_t>(samples.size() / 2); }
};

inline constexpr int kSoundRate = 44100;

/// Decodes a whole WAV (RIFF PCM 8/16/24/32-bit or 32-bit float, any rate and channel count) or MP3
/// file image into 16-bit stereo at 44100 Hz. nullptr when the bytes are neither or hold no sound.
std::unique_ptr<Sound> DecodeSound(const unsigned char* data, std::size_t size);

}  // namespace sonavera::platform
