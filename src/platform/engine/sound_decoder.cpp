#include "platform/engine/sound_decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/wav_file.h"

namespace sonavera::platform {

namespace {

std::unique_ptr<Sound> DecodeWav(const unsigned char* data, std::size_t size) {
  // Effects are read as a player would: float samples play, and a cut-off file keeps what it holds.
  WavReadRules rules;
  rules.acceptFloat = true;
  rules.forgiving = true;
  WavAudio wav;
  std::string error;
  if (!ParseWav(data, size, wav, error, rules)) return nullptr;
  const auto channels = static_cast<std::size_t>(wav.format.channels);
  const std::size_t inFrames = wav.samples.size() / channels;
  // Below 1000 Hz a file is broken rather than a sound: it would stretch to a huge effect.
  if (wav.format.sampleRate < 1000 || inFrames == 0) return nullptr;
  const std::int16_t* in = wav.samples.data();
  const std::size_t right = channels > 1 ? 1 : 0;
  auto at = [&](std::size_t frame, std::size_t channel) { return in[frame * channels + channel]; };

  auto sound = std::make_unique<Sound>();
  if (wav.format.sampleRate == kSoundRate) {
    sound->samples.resize(inFrames * 2);
    for (std::size_t i = 0; i < inFrames; ++i) {
      sound->samples[2 * i] = at(i, 0);
      sound->samples[2 * i + 1] = at(i, right);
    }
    return sound;
  }
  // Other rates: linear interpolation onto 44100 Hz.
  const double step = static_cast<double>(wav.format.sampleRate) / kSoundRate;
  const auto outFrames = static_cast<std::size_t>(std::floor((inFrames - 1) / step)) + 1;
  sound->samples.resize(outFrames * 2);
  for (std::size_t o = 0; o < outFrames; ++o) {
    const double pos = o * step;
    const std::size_t i = std::min(static_cast<std::size_t>(pos), inFrames - 1);
    const std::size_t j = std::min(i + 1, inFrames - 1);
    const double w = pos - static_cast<double>(i);
    for (std::size_t ch = 0; ch < 2; ++ch) {
      const std::size_t source = ch == 0 ? 0 : right;
      const double value = at(i, source) * (1 - w) + at(j, source) * w;
      sound->samples[2 * o + ch] = static_cast<std::int16_t>(std::lround(value));
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
  if (std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0)
    return DecodeWav(data, size);
  return DecodeMp3(data, size);
}

}  // namespace sonavera::platform
