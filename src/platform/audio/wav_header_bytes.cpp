#include "platform/audio/wav_header_bytes.h"

#include <cstring>

namespace sonavera::platform {
namespace {

constexpr std::uint64_t kSizeLimit = 4294967040u;

void Put32(std::uint8_t* p, std::uint64_t value) {
  const std::uint32_t v = value < kSizeLimit ? static_cast<std::uint32_t>(value) : 0xFFFFFF00u;
  p[0] = v & 0xFF;
  p[1] = (v >> 8) & 0xFF;
  p[2] = (v >> 16) & 0xFF;
  p[3] = (v >> 24) & 0xFF;
}

void Put16(std::uint8_t* p, unsigned value) {
  p[0] = value & 0xFF;
  p[1] = (value >> 8) & 0xFF;
}

}  // namespace

std::array<std::uint8_t, 44> CanonicalWavHeader(int channels, std::uint32_t sampleRate, int bitsPerSample,
                                                std::uint64_t dataBytes) {
  std::array<std::uint8_t, 44> h{};
  const unsigned blockAlign = static_cast<unsigned>(channels * (bitsPerSample / 8));
  std::memcpy(&h[0], "RIFF", 4);
  Put32(&h[4], dataBytes + 36);
  std::memcpy(&h[8], "WAVE", 4);
  std::memcpy(&h[12], "fmt ", 4);
  Put32(&h[16], 16);
  Put16(&h[20], 1);
  Put16(&h[22], static_cast<unsigned>(channels));
  Put32(&h[24], sampleRate);
  Put32(&h[28], static_cast<std::uint64_t>(sampleRate) * blockAlign);
  Put16(&h[32], blockAlign);
  Put16(&h[34], static_cast<unsigned>(bitsPerSample));
  std::memcpy(&h[36], "data", 4);
  Put32(&h[40], dataBytes);
  return h;
}

}  // namespace sonavera::platform
