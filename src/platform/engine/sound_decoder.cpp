#include "platform/engine/sound_decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sonavera::platform {

namespace {

std::uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

struct WavFormat {
  int encoding = 0;  // 1 integer PCM, 3 float
  int channels = 0;
  int rate = 0;
  int bits = 0;
};

// One sample of the WAV as a value in -1..1.
float ReadSample(const unsigned char* p, const WavFormat& f) {
  switch (f.bits) {
    case 8:
      return (p[0] - 128) / 128.0f;
    case 16:
      return static_cast<std::int16_t>(Le16(p)) / 32768.0f;
    case 24: {
      const std::int32_t v = static_cast<std::int32_t>((p[0] << 8) | (p[1] << 16) | (std::uint32_t(p[2]) << 24)) >> 8;
      return v / 8388608.0f;
    }
    default: {
      const std::uint32_t raw = Le32(p);
      if (f.encoding == 3) {
        float v;
        std::memcpy(&v, &raw, sizeof v);
        return std::isfinite(v) ? v : 0.0f;
      }
      return static_cast<std::int32_t>(raw) / 2147483648.0f;
    }
  }
}

std::int16_t ToPcm16(float v) {
  return static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
}

std::unique_ptr<Sound> DecodeWav(const unsigned char* data, std::size_t size) {
  WavFormat format;
  const unsigned char* pcm = nullptr;
  std::size_t pcmSize = 0;
  std::size_t at = 12;
  while (at + 8 <= size) {
    const std::uint32_t chunkSize = Le32(data + at + 4);
    const unsigned char* body = data + at + 8;
    const std::size_t available = size - at - 8;
    if (std::memcmp(data + at, "fmt ", 4) == 0 && chunkSize >= 16 && available >= 16) {
      format.encoding = Le16(body);
      format.channels = Le16(body + 2);
      format.rate = static_cast<int>(std::min<std::uint32_t>(Le32(body + 4), 1000000));
      format.bits = Le16(body + 14);
      if (format.encoding == 0xFFFE && chunkSize >= 26 && available >= 26) format.encoding = Le16(body + 24);
    } else if (std::memcmp(data + at, "data", 4) == 0) {
      pcm = body;
      pcmSize = std::min<std::size_t>(chunkSize, available);  // a cut-off file keeps what it has
      break;
    }
    if (chunkSize > available) break;
    at += 8 + chunkSize + (chunkSize & 1);
  }
  const bool known = (format.encoding == 1 && (format.bits == 8 || format.bits == 16 || format.bits == 24 ||
                                               format.bits == 32)) ||
                     (format.encoding == 3 && format.bits == 32);
  if (!known || pcm == nullptr || format.channels < 1 || format.rate < 1000) return nullptr;

  const std::size_t frameBytes = static_cast<std::size_t>(format.channels) * (format.bits / 8);
  const std::size_t inFrames = pcmSize / frameBytes;
  if (inFrames == 0) return nullptr;
  auto frameAt = [&](std::size_t i, int channel) {
    return ReadSample(pcm + i * frameBytes + static_cast<std::size_t>(channel) * (format.bits / 8), format);
  };
  const int right = format.channels > 1 ? 1 : 0;

  auto sound = std::make_unique<Sound>();
  if (format.rate == kSoundRate) {
    sound->samples.resize(inFrames * 2);
    for (std::size_t i = 0; i < inFrames; ++i) {
      sound->samples[2 * i] = ToPcm16(frameAt(i, 0));
      sound->samples[2 * i + 1] = ToPcm16(frameAt(i, right));
    }
    return sound;
  }
  // Other rates: linear interpolation onto 44100 Hz.
  const double step = static_cast<double>(format.rate) / kSoundRate;
  const auto outFrames = static_cast<std::size_t>(std::floor((inFrames - 1) / step)) + 1;
  sound->samples.resize(outFrames * 2);
  for (std::size_t o = 0; o < outFrames; ++o) {
    const double pos = o * step;
    const std::size_t i = std::min(static_cast<std::size_t>(pos), inFrames - 1);
    const std::size_t j = std::min(i + 1, inFrames - 1);
    const float w = static_cast<float>(pos - static_cast<double>(i));
    for (int ch = 0; ch < 2; ++ch) {
      const int source = ch == 0 ? 0 : right;
      sound->samples[2 * o + ch] = ToPcm16(frameAt(i, source) * (1 - w) + frameAt(j, source) * w);
    }
  }
  return sound;
}

std::unique_ptr<Sound> DecodeMp3(const unsigned char* data, std::size_t size) {
  static const bool initialised = [] { return mpg123_init() == MPG123_OK; }();
  if (!initialised) return nullptr;
  int error = 0;
  mpg123_handle* handle = mpg123_new(nullptr, &error);
  if (handle == nullptr) return nullptr;
  // Ask for 16-bit stereo at 44100 Hz; the decoder converts channels and rate.
  mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  mpg123_format_none(handle);
  mpg123_format(handle, kSoundRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
  auto sound = std::make_unique<Sound>();
  if (mpg123_open_feed(handle) == MPG123_OK && mpg123_feed(handle, data, size) == MPG123_OK) {
    sound->samples.reserve(size * 6);  // about 11 bytes of PCM per byte at 128 kbit/s
    unsigned char buffer[32768];
    for (;;) {
      std::size_t done = 0;
      const int result = mpg123_read(handle, buffer, sizeof buffer, &done);
      const auto* pcm = reinterpret_cast<const std::int16_t*>(buffer);
      sound->samples.insert(sound->samples.end(), pcm, pcm + done / 2);
      if (result == MPG123_NEW_FORMAT || (result == MPG123_OK && done > 0)) continue;
      break;  // need more (all of it was fed), done or an error: keep what was decoded
    }
  }
  mpg123_delete(handle);
  sound->samples.resize(sound->samples.size() & ~std::size_t(1));
  if (sound->samples.empty()) return nullptr;
  sound->samples.shrink_to_fit();
  return sound;
}

}  // namespace

std::unique_ptr<Sound> DecodeSound(const unsigned char* data, std::size_t size) {
  if (data == nullptr || size < 12) return nullptr;
  if (std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0) return DecodeWav(data, size);
  return DecodeMp3(data, size);
}

}  // namespace sonavera::platform
