#pragma once

#include <array>
#include <cstdint>

namespace sonavera::platform {

/// The canonical 44-byte header of a PCM WAV file. Sizes that do not fit below 4294967040 are
/// written as 0xFFFFFF00, the largest even 32-bit size.
std::array<std::uint8_t, 44> CanonicalWavHeader(int channels, std::uint32_t sampleRate, int bitsPerSample,
                                                std::uint64_t dataBytes);

}  // namespace sonavera::platform
