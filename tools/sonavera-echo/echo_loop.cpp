#include "echo_loop.h"

#include <algorithm>
#include <cstring>

namespace sonavera::echo {

void EchoRing::Write(const std::int16_t* data, std::size_t count) {
  std::size_t w = written.load(std::memory_order_relaxed);
  for (std::size_t i = 0; i < count; ++i, ++w) samples[w % samples.size()] = data[i];
  written.store(w, std::memory_order_release);
}

void EchoRing::Read(std::int16_t* out, std::size_t count, std::size_t keep) {
  const std::size_t w = written.load(std::memory_order_acquire);
  std::size_t r = read.load(std::memory_order_relaxed);
  // Also skips what the writer has already overwritten.
  const std::size_t limit = std::min(keep + count, samples.size() / 2);
  if (w - r > limit) r = w - limit;
  std::size_t i = 0;
  for (; i < count && r < w; ++i, ++r) out[i] = samples[r % samples.size()];
  std::fill(out + i, out + count, std::int16_t{0});
  read.store(r, std::memory_order_relaxed);
}

void LoopedFile::Read(std::int16_t* out, std::size_t count) {
  if (samples.empty()) {
    std::fill(out, out + count, std::int16_t{0});
    return;
  }
  for (std::size_t i = 0; i < count; ++i) {
    out[i] = samples[position];
    position = (position + 1) % samples.size();
  }
}

bool LoadLoopedFile(const char* path, int rate, LoopedFile& file) {
  SDL_AudioSpec spec;
  Uint8* buffer = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV(path, &spec, &buffer, &length)) return false;
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 1, rate) < 0) {
    SDL_FreeWAV(buffer);
    return false;
  }
  std::vector<Uint8> work(std::size_t(length) * std::max(cvt.len_mult, 1));
  std::memcpy(work.data(), buffer, length);
  SDL_FreeWAV(buffer);
  cvt.buf = work.data();
  cvt.len = int(length);
  if (cvt.needed && SDL_ConvertAudio(&cvt) < 0) return false;
  const std::size_t bytes = cvt.needed ? std::size_t(cvt.len_cvt) : length;
  file.samples.resize(bytes / sizeof(std::int16_t));
  std::memcpy(file.samples.data(), work.data(), file.samples.size() * sizeof(std::int16_t));
  file.position = 0;
  return true;
}

}  // namespace sonavera::echo
