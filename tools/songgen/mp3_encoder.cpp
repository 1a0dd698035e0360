#include "songgen/mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace sonavera::songgen {

bool EncodeMp3(const StereoBuffer& audio, const std::string& path, std::string& error) {
  std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> lame(lame_init(), lame_close);
  if (!lame) {
    error = "the MP3 encoder cannot start";
    return false;
  }
  lame_set_in_samplerate(lame.get(), kSampleRate);
  lame_set_out_samplerate(lame.get(), kSampleRate);
  lame_set_num_channels(lame.get(), 2);
  lame_set_mode(lame.get(), JOINT_STEREO);
  lame_set_brate(lame.get(), 128);
  lame_set_quality(lame.get(), 7);  // fast; the demo songs are synthesised anyway
  if (lame_init_params(lame.get()) < 0) {
    error = "the MP3 encoder rejects its settings";
    return false;
  }
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) {
    error = "cannot write " + path;
    return false;
  }
  constexpr size_t kChunk = 8192;
  std::vector<short> left(kChunk), right(kChunk);
  std::vector<unsigned char> mp3(kChunk * 5 / 4 + 7200);
  auto toPcm = [](float v) { return static_cast<short>(std::clamp(v, -1.0f, 1.0f) * 32767.0f); };
  for (size_t pos = 0; pos < audio.Frames(); pos += kChunk) {
    const size_t n = std::min(kChunk, audio.Frames() - pos);
    for (size_t i = 0; i < n; ++i) {
      left[i] = toPcm(audio.left[pos + i]);
      right[i] = toPcm(audio.right[pos + i]);
    }
    const int bytes = lame_encode_buffer(lame.get(), left.data(), right.data(), static_cast<int>(n), mp3.data(),
                                         static_cast<int>(mp3.size()));
    if (bytes < 0 || std::fwrite(mp3.data(), 1, static_cast<size_t>(bytes), file.get()) != static_cast<size_t>(bytes)) {
      error = "MP3 encoding of " + path + " failed";
      return false;
    }
  }
  const int bytes = lame_encode_flush(lame.get(), mp3.data(), static_cast<int>(mp3.size()));
  if (bytes < 0 || std::fwrite(mp3.data(), 1, static_cast<size_t>(bytes), file.get()) != static_cast<size_t>(bytes)) {
    error = "MP3 encoding of " + path + " failed";
    return false;
  }
  if (std::fflush(file.get()) != 0) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace sonavera::songgen
