// Effect_Load's decoding of a song into memory (MP3 through libmpg123 to 16-bit stereo 44100 Hz),
// which runs on the user-interface thread when a song starts. The MP3 is made once with LAME.

#include <benchmark/benchmark.h>
#include <lame/lame.h>

#include <cmath>
#include <vector>

#include "platform/engine/sound_decoder.h"

namespace {

std::vector<unsigned char> MakeMp3(double seconds) {
  const int rate = 44100;
  const auto frames = static_cast<int>(rate * seconds);
  std::vector<short> pcm(static_cast<std::size_t>(2 * frames));
  for (int i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / rate;
    pcm[2 * static_cast<std::size_t>(i)] = static_cast<short>(9000 * std::sin(2 * M_PI * 220 * t));
    pcm[2 * static_cast<std::size_t>(i) + 1] = static_cast<short>(9000 * std::sin(2 * M_PI * 330 * t));
  }
  lame_global_flags* lame = lame_init();
  lame_set_in_samplerate(lame, rate);
  lame_set_num_channels(lame, 2);
  lame_set_brate(lame, 128);
  lame_set_quality(lame, 7);  // fast encoding; the decoder's work is the same
  lame_init_params(lame);
  std::vector<unsigned char> mp3(static_cast<std::size_t>(frames) + 7200);
  int n = lame_encode_buffer_interleaved(lame, pcm.data(), frames, mp3.data(), static_cast<int>(mp3.size()));
  n += lame_encode_flush(lame, mp3.data() + n, static_cast<int>(mp3.size()) - n);
  lame_close(lame);
  mp3.resize(static_cast<std::size_t>(n));
  return mp3;
}

void BM_DecodeFourMinuteMp3(benchmark::State& state) {
  static const std::vector<unsigned char> mp3 = MakeMp3(240);
  for (auto _ : state) {
    auto sound = sonavera::platform::DecodeSound(mp3.data(), mp3.size());
    benchmark::DoNotOptimize(sound);
  }
}
BENCHMARK(BM_DecodeFourMinuteMp3)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace
