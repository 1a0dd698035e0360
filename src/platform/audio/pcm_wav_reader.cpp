#include "platform/audio/pcm_wav_reader.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace sonavera::platform {
namespace {

std::uint32_t Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::optional<PcmAudio> Reject(std::string* error, const char* reason) {
  if (error != nullptr) *error = reason;
  return std::nullopt;
}

}  // namespace

std::optional<PcmAudio> ParsePcmWav(const unsigned char* bytes, std::size_t size, std::string* error) {
  if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
    return Reject(error, "not a RIFF/WAVE file");
  }
  bool haveFormat = false;
  unsigned channels = 0, rate = 0, bits = 0, blockAlign = 0;
  std::size_t pos = 12;
  while (pos + 8 <= size) {
    const unsigned char* chunk = bytes + pos;
    const std::uint32_t chunkSize = Le32(chunk + 4);
    const std::size_t body = pos + 8;
    const std::size_t available = size - body;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (chunkSize < 16 || chunkSize > available) return Reject(error, "format chunk cut short");
      const unsigned char* f = bytes + body;
      unsigned tag = Le16(f);
      channels = Le16(f + 2);
      rate = Le32(f + 4);
      blockAlign = Le16(f + 12);
      bits = Le16(f + 14);
      if (tag == 0xFFFE && chunkSize >= 40) tag = Le16(f + 24);  // extensible: the sub-format's tag
      if (tag != 1) return Reject(error, "not PCM");
      if (channels < 1 || channels > 8) return Reject(error, "unsupported channel count");
      if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return Reject(error, "unsupported sample size");
      if (blockAlign != channels * bits / 8) return Reject(error, "inconsistent block alignment");
      if (rate < 1000 || rate > 384000) return Reject(error, "unsupported sample rate");
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) return Reject(error, "data before format");
      const std::size_t dataBytes = chunkSize < available ? chunkSize : available;
      const std::size_t frames = dataBytes / blockAlign;
      PcmAudio audio;
      audio.sampleRate = static_cast<int>(rate);
      audio.channels = static_cast<int>(channels);
      audio.samples.resize(frames * channels);
      const unsigned char* in = bytes + body;
      const unsigned width = bits / 8;
      for (std::size_t i = 0; i < audio.samples.size(); ++i, in += width) {
        switch (width) {
          case 1: audio.samples[i] = static_cast<std::int16_t>((in[0] - 128) * 256); break;
          case 2: audio.samples[i] = static_cast<std::int16_t>(Le16(in)); break;
          default: audio.samples[i] = static_cast<std::int16_t>(Le16(in + width - 2)); break;  // top 16 bits
        }
      }
      return audio;
    } else if (chunkSize > available) {
      return Reject(error, "chunk runs past the end of the file");
    }
    pos = body + chunkSize + (chunkSize & 1);  // chunks are padded to even sizes
  }
  return Reject(error, haveFormat ? "no data chunk" : "no format chunk");
}

std::optional<PcmAudio> ReadPcmWav(const std::string& path, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return Reject(error, "cannot open the file");
  std::vector<unsigned char> bytes;
  unsigned char block[65536];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.insert(bytes.end(), block, block + got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return Reject(error, "cannot read the file");
  return ParsePcmWav(bytes.data(), bytes.size(), error);
}

}  // namespace sonavera::platform
