#include "audio/test_media.h"

#include <dirent.h>
#include <lame/lame.h>
#include <mpg123.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace sonavera::testing {

TempFolder::TempFolder() {
  char pattern[] = "/tmp/sonavera-audio-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  folder = std::string(pattern) + "/";
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

std::vector<std::string> TempFolder::Files() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::int16_t> Tone(int rate, int channels, double seconds, double hz, double amplitude) {
  const auto frames = static_cast<std::size_t>(seconds * rate);
  std::vector<std::int16_t> samples(frames * channels);
  for (std::size_t f = 0; f < frames; ++f) {
    const auto v = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * M_PI * hz * f / rate)));
    for (int c = 0; c < channels; ++c) samples[f * channels + c] = v;
  }
  return samples;
}

std::vector<std::int16_t> Ramp(std::size_t count, int first) {
  std::vector<std::int16_t> samples(count);
  for (std::size_t i = 0; i < count; ++i) samples[i] = static_cast<std::int16_t>((first + i) & 0xFFFF);
  return samples;
}

std::vector<std::uint8_t> WavBytes(int rate, int channels, int bits, const std::vector<std::int16_t>& samples) {
  const std::uint32_t width = bits / 8;
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size()) * width;
  std::vector<std::uint8_t> out;
  auto put = [&out](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  out.reserve(44 + dataBytes);
  auto tag = [&out](const char* t) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(t[i]));
  };
  tag("RIFF");
  put(36 + dataBytes, 4);
  tag("WAVE");
  tag("fmt ");
  put(16, 4);
  put(1, 2);
  put(channels, 2);
  put(rate, 4);
  put(rate * channels * width, 4);
  put(channels * width, 2);
  put(bits, 2);
  tag("data");
  put(dataBytes, 4);
  for (std::int16_t s : samples) {
    if (bits == 8) {
      out.push_back(static_cast<std::uint8_t>((s >> 8) + 128));
    } else if (bits == 16) {
      put(static_cast<std::uint16_t>(s), 2);
    } else {
      for (std::uint32_t i = 0; i + 2 < width; ++i) out.push_back(0);
      put(static_cast<std::uint16_t>(s), 2);
    }
  }
  return out;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) throw std::runtime_error("cannot write " + path);
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  std::uint8_t block[65536];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.insert(bytes.end(), block, block + got);
  std::fclose(file);
  return bytes;
}

bool FileExists(const std::string& path) {
  struct stat info{};
  return stat(path.c_str(), &info) == 0;
}

std::vector<std::uint8_t> Mp3Bytes(int rate, int channels, const std::vector<std::int16_t>& samples) {
  lame_global_flags* lame = lame_init();
  lame_set_in_samplerate(lame, rate);
  lame_set_out_samplerate(lame, rate);
  lame_set_num_channels(lame, channels);
  lame_set_mode(lame, channels == 1 ? MONO : JOINT_STEREO);
  lame_set_quality(lame, 7);
  lame_set_brate(lame, channels == 1 ? 64 : 128);
  if (lame_init_params(lame) < 0) throw std::runtime_error("lame_init_params failed");
  const int frames = static_cast<int>(samples.size() / channels);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(frames * 1.25 + 7200));
  int bytes;
  if (channels == 2) {
    bytes = lame_encode_buffer_interleaved(lame, const_cast<short*>(samples.data()), frames, out.data(),
                                           static_cast<int>(out.size()));
  } else {
    bytes = lame_encode_buffer(lame, samples.data(), samples.data(), frames, out.data(), static_cast<int>(out.size()));
  }
  if (bytes < 0) throw std::runtime_error("lame encoding failed");
  const int tail = lame_encode_flush(lame, out.data() + bytes, static_cast<int>(out.size()) - bytes);
  out.resize(static_cast<std::size_t>(bytes + std::max(tail, 0)));
  lame_close(lame);
  return out;
}

std::size_t DecodedSampleValues(const std::string& mp3Path, long* rate) {
  mpg123_init();
  int error = 0;
  mpg123_handle* handle = mpg123_new(nullptr, &error);
  mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  const long* rates = nullptr;
  std::size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  mpg123_format_none(handle);
  for (std::size_t i = 0; i < rateCount; ++i) mpg123_format(handle, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);
  std::size_t values = 0;
  if (mpg123_open(handle, mp3Path.c_str()) == MPG123_OK) {
    std::vector<unsigned char> buffer(65536);
    // Errors are read past, as a player would: the reader resynchronises on the next frame.
    for (int errors = 0; errors < 1000;) {
      std::size_t done = 0;
      const int status = mpg123_read(handle, buffer.data(), buffer.size(), &done);
      values += done / 2;
      if (status == MPG123_DONE) break;
      if (status != MPG123_OK && status != MPG123_NEW_FORMAT && done == 0) ++errors;
    }
    long r = 0;
    int c = 0, e = 0;
    mpg123_getformat(handle, &r, &c, &e);
    if (rate != nullptr) *rate = r;
    mpg123_close(handle);
  }
  mpg123_delete(handle);
  return values;
}

std::uint32_t Le32At(const std::vector<std::uint8_t>& b, std::size_t o) {
  return b[o] | (b[o + 1] << 8) | (b[o + 2] << 16) | (static_cast<std::uint32_t>(b[o + 3]) << 24);
}
std::uint16_t Le16At(const std::vector<std::uint8_t>& b, std::size_t o) {
  return static_cast<std::uint16_t>(b[o] | (b[o + 1] << 8));
}
std::int16_t SampleAt(const std::vector<std::uint8_t>& b, std::size_t o) { return static_cast<std::int16_t>(Le16At(b, o)); }

}  // namespace sonavera::testing
