#include "platform/wav_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>

#include "platform/audio/wav_header_bytes.h"

namespace sonavera::platform {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr int kMaxChannels = 64;

uint16_t Read16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Read32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

bool Fail(std::string& error, const std::string& message) {
  error = message;
  return false;
}

std::string TagText(const uint8_t* p) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>(p[i]);
    text += (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  return text;
}

bool ParseFormat(const uint8_t* p, uint32_t size, const WavReadRules& rules, WavFormat& format,
                 std::string& error) {
  if (size < 16) return Fail(error, "WAV format chunk is too short (" + std::to_string(size) + " bytes)");
  uint16_t tag = Read16(p);
  const int channels = Read16(p + 2);
  const uint32_t rate = Read32(p + 4);
  const int blockAlign = Read16(p + 12);
  const int bits = Read16(p + 14);
  if (tag == kFormatExtensible) {
    // WAVE_FORMAT_EXTENSIBLE: the real format is the first two bytes of the sub-format GUID.
    if (size < 40) return Fail(error, "WAV extensible format chunk is too short");
    tag = Read16(p + 24);
  }
  const bool isFloat = tag == kFormatFloat && rules.acceptFloat;
  if (tag != kFormatPcm && !isFloat)
    return Fail(error, "WAV data is not PCM (format code " + std::to_string(tag) + ")");
  if (channels < 1 || channels > kMaxChannels)
    return Fail(error, "WAV file has an impossible channel count (" + std::to_string(channels) + ")");
  if (rate == 0 || rate > 1000000)
    return Fail(error, "WAV file has an impossible sample rate (" + std::to_string(rate) + ")");
  if ((isFloat && bits != 32) || (bits != 8 && bits != 16 && bits != 24 && bits != 32))
    return Fail(error, std::string("WAV ") + (isFloat ? "float " : "") + "sample size of " +
                           std::to_string(bits) + " bits is not supported");
  if (!rules.forgiving && blockAlign != channels * bits / 8)
    return Fail(error, "WAV block alignment " + std::to_string(blockAlign) + " does not match the format");
  format.channels = channels;
  format.sampleRate = static_cast<int>(rate);
  format.bitsPerSample = bits;
  format.floatSamples = isFloat;
  return true;
}

int16_t ConvertFloat(const uint8_t* p) {
  const uint32_t raw = Read32(p);
  float value;
  std::memcpy(&value, &raw, sizeof value);
  if (!std::isfinite(value)) return 0;
  return static_cast<int16_t>(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

int16_t ConvertSample(const uint8_t* p, const WavFormat& format) {
  if (format.floatSamples) return ConvertFloat(p);
  switch (format.bitsPerSample) {
    case 8:
      return static_cast<int16_t>((p[0] - 128) * 256);  // 8-bit WAV is unsigned
    case 16:
      return static_cast<int16_t>(Read16(p));
    case 24:
      return static_cast<int16_t>(Read16(p + 1));
    default:
      return static_cast<int16_t>(Read16(p + 2));
  }
}

}  // namespace

bool ParseWav(const uint8_t* bytes, size_t size, WavAudio& audio, std::string& error,
              const WavReadRules& rules) {
  audio = WavAudio{};
  if (size < 12) return Fail(error, "file is too short for a WAV header");
  if (std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
    return Fail(error, "not a RIFF/WAVE file");
  uint64_t riffEnd = 8 + static_cast<uint64_t>(Read32(bytes + 4));
  if (rules.forgiving) {
    riffEnd = size;  // streamed and cut-off files carry sizes that do not match what is there
  } else {
    if (riffEnd > size) return Fail(error, "WAV file is truncated (RIFF size points past the end)");
    if (riffEnd < 12) return Fail(error, "WAV RIFF size is too small");
  }

  const uint8_t* formatChunk = nullptr;
  uint32_t formatSize = 0;
  const uint8_t* dataChunk = nullptr;
  uint32_t dataSize = 0;
  uint64_t offset = 12;
  while (offset < riffEnd) {
    if (riffEnd - offset < 8) {
      if (rules.forgiving) break;
      return Fail(error, "WAV chunk header is truncated");
    }
    const uint8_t* header = bytes + offset;
    const uint32_t chunkSize = Read32(header + 4);
    const uint64_t payload = offset + 8;
    const bool cut = chunkSize > riffEnd - payload;
    if (cut && !rules.forgiving)
      return Fail(error, "WAV chunk '" + TagText(header) + "' reaches past the end of the file");
    const uint32_t present = cut ? static_cast<uint32_t>(riffEnd - payload) : chunkSize;
    if (std::memcmp(header, "fmt ", 4) == 0) {
      if (formatChunk == nullptr) {
        formatChunk = bytes + payload;
        formatSize = present;
      } else if (!rules.forgiving) {
        return Fail(error, "WAV file has more than one format chunk");
      }
    } else if (std::memcmp(header, "data", 4) == 0) {
      if (dataChunk == nullptr) {
        dataChunk = bytes + payload;
        dataSize = present;
      } else if (!rules.forgiving) {
        return Fail(error, "WAV file has more than one data chunk");
      }
    }
    if (cut) break;  // nothing follows a chunk that runs off the end
    // Chunks are padded to an even size; a missing pad byte after the last chunk is tolerated.
    offset = payload + chunkSize + (chunkSize & 1);
  }
  if (formatChunk == nullptr) return Fail(error, "WAV file has no format chunk");
  if (dataChunk == nullptr) return Fail(error, "WAV file has no data chunk");

  WavFormat format;
  if (!ParseFormat(formatChunk, formatSize, rules, format, error)) return false;
  const uint32_t frameBytes = static_cast<uint32_t>(format.channels) * (format.bitsPerSample / 8);
  if (dataSize % frameBytes != 0) {
    if (!rules.forgiving) return Fail(error, "WAV data chunk ends inside a sample frame");
    dataSize -= dataSize % frameBytes;
  }

  const int sampleBytes = format.bitsPerSample / 8;
  const size_t count = dataSize / sampleBytes;
  audio.samples.resize(count);
  for (size_t i = 0; i < count; ++i) audio.samples[i] = ConvertSample(dataChunk + i * sampleBytes, format);
  audio.format = format;
  return true;
}

bool ReadWavFile(const std::string& path, WavAudio& audio, std::string& error) {
  audio = WavAudio{};
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return Fail(error, "cannot open " + path);
  const std::streamoff size = in.tellg();
  if (size < 0) return Fail(error, "cannot read " + path);
  if (static_cast<uint64_t>(size) > std::numeric_limits<uint32_t>::max() + uint64_t{8})
    return Fail(error, path + " is too large for a WAV file");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.seekg(0);
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
    return Fail(error, "cannot read " + path);
  if (!ParseWav(bytes.data(), bytes.size(), audio, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

bool EncodeWav(const int16_t* samples, size_t count, int channels, int sampleRate,
               std::vector<uint8_t>& bytes, std::string& error) {
  bytes.clear();
  if (channels < 1 || channels > kMaxChannels || sampleRate <= 0)
    return Fail(error, "cannot write a WAV file with " + std::to_string(channels) + " channels at " +
                           std::to_string(sampleRate) + " Hz");
  if (count % static_cast<size_t>(channels) != 0)
    return Fail(error, "sample count is not a whole number of frames");
  const uint64_t dataBytes = static_cast<uint64_t>(count) * 2;
  // The canonical header writes sizes it cannot hold as 0xFFFFFF00: refuse those rather than lose data.
  if (dataBytes + 36 >= 0xFFFFFF00u) return Fail(error, "audio is too long for a WAV file");
  const auto header = CanonicalWavHeader(channels, static_cast<uint32_t>(sampleRate), 16, dataBytes);
  bytes.reserve(header.size() + dataBytes);
  bytes.assign(header.begin(), header.end());
  for (size_t i = 0; i < count; ++i) Put16(bytes, static_cast<uint16_t>(samples[i]));
  return true;
}

bool WriteWavFile(const std::string& path, const int16_t* samples, size_t count, int channels, int sampleRate,
                  std::string& error) {
  std::vector<uint8_t> bytes;
  if (!EncodeWav(samples, count, channels, sampleRate, bytes, error)) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return Fail(error, "cannot create " + path);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    std::remove(path.c_str());
    return Fail(error, "cannot write " + path);
  }
  return true;
}

}  // namespace sonavera::platform
