#include "audio/wav_header.h"

#include <cstring>

namespace sonavera::audio {
namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

constexpr std::size_t kFormatEnd = 36;  // the fixed fields end here

}  // namespace

WavHeader ParseWavHeader(const std::uint8_t* bytes, std::size_t size) {
  WavHeader header;
  if (size < kFormatEnd) return header;
  if (std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0 ||
      std::memcmp(bytes + 12, "fmt ", 4) != 0) {
    return header;
  }
  if (Le16(bytes + 20) != 1) {
    header.status = WavHeaderStatus::NotPcm;
    return header;
  }
  header.format.channels = Le16(bytes + 22);
  header.format.sampleRate = Le32(bytes + 24);
  header.format.bytesPerSecond = Le32(bytes + 28);
  header.format.blockAlign = Le16(bytes + 32);
  header.format.bitsPerSample = Le16(bytes + 34);

  // Positions are computed in 64 bits so that no size field can wrap them back into the file.
  std::uint64_t next = Le32(bytes + 16) == 18 ? 38 : 36;
  if (next + 8 > size) return header;
  if (std::memcmp(bytes + next, "fact", 4) == 0) {
    next += 8 + static_cast<std::uint64_t>(Le32(bytes + next + 4));
    if (next + 8 > size) return header;
  }
  if (std::memcmp(bytes + next, "data", 4) != 0) return header;
  header.dataOffset = static_cast<std::uint32_t>(next + 8);
  header.status = WavHeaderStatus::Ok;
  return header;
}

}  // namespace sonavera::audio
