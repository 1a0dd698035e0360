// Decoding a 4-minute stereo accompaniment and mixing a 4-minute take into it, as the replay button
// does after a song (budget: under 1 s).
#include <benchmark/benchmark.h>
#include <lame/lame.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/accompaniment_decoder.h"
#include "audio/mixdown.h"
#include "audio/wav_image.h"
#include "platform/audio/wav_header_bytes.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 240;

// A song of two tones with a slow swell, so the encoder has real work and the decoder real frames.
std::vector<short> Song() {
  std::vector<short> pcm(static_cast<std::size_t>(kRate) * kSeconds * 2);
  for (std::size_t f = 0; f < pcm.size() / 2; ++f) {
    const double t = static_cast<double>(f) / kRate;
    const double swell = 0.6 + 0.4 * std::sin(2 * M_PI * 0.1 * t);
    pcm[2 * f] = static_cast<short>(9000 * swell * std::sin(2 * M_PI * 220 * t));
    pcm[2 * f + 1] = static_cast<short>(9000 * swell * std::sin(2 * M_PI * 277 * t + 1));
  }
  return pcm;
}

void WriteBytes(const std::string& path, const void* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(data, 1, size, file);
  std::fclose(file);
}

struct Folders {
  std::string song;
  std::string program;

  Folders() {
    char pattern[] = "/tmp/sonavera-bench-XXXXXX";
    const std::string root = mkdtemp(pattern);
    song = root + "/song/";
    program = root + "/program/";
    std::filesystem::create_directories(song);
    std::filesystem::create_directories(program);
    const auto pcm = Song();

    lame_global_flags* lame = lame_init();
    lame_set_in_samplerate(lame, kRate);
    lame_set_num_channels(lame, 2);
    lame_set_brate(lame, 128);
    lame_set_quality(lame, 7);
    lame_init_params(lame);
    const int frames = static_cast<int>(pcm.size() / 2);
    std::vector<unsigned char> mp3(static_cast<std::size_t>(frames * 1.25 + 7200));
    int bytes = lame_encode_buffer_interleaved(lame, const_cast<short*>(pcm.data()), frames, mp3.data(),
                                               static_cast<int>(mp3.size()));
    bytes += lame_encode_flush(lame, mp3.data() + bytes, static_cast<int>(mp3.size()) - bytes);
    lame_close(lame);
    WriteBytes(song + "music.mp3", mp3.data(), static_cast<std::size_t>(bytes));

    // The take: the same length, quieter, as the recorder saves it.
    std::vector<short> voice(pcm.size());
    for (std::size_t i = 0; i < voice.size(); ++i) voice[i] = static_cast<short>(pcm[i] / 3);
    const auto header = sonavera::platform::CanonicalWavHeader(2, kRate, 16, voice.size() * 2);
    std::vector<unsigned char> wav(header.begin(), header.end());
    const auto* raw = reinterpret_cast<const unsigned char*>(voice.data());
    wav.insert(wav.end(), raw, raw + voice.size() * 2);
    WriteBytes(program + "temp.wav", wav.data(), wav.size());
  }
  ~Folders() { std::filesystem::remove_all(std::filesystem::path(song).parent_path().parent_path()); }
};

Folders& SharedFolders() {
  static Folders folders;
  return folders;
}

void BM_DecodeAndMixFourMinuteSong(benchmark::State& state) {
  Folders& folders = SharedFolders();
  for (auto _ : state) {
    const bool mixed = sonavera::audio::Mixdown::RunMixdown(folders.song, folders.program, nullptr);
    benchmark::DoNotOptimize(mixed);
  }
  state.counters["uion_MB"] =
      static_cast<double>(std::filesystem::file_size(folders.program + "uion.wav")) / 1e6;
}
BENCHMARK(BM_DecodeAndMixFourMinuteSong)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// The two halves on their own, to see where the time goes.
void BM_DecodeFourMinuteSong(benchmark::State& state) {
  Folders& folders = SharedFolders();
  for (auto _ : state)
    benchmark::DoNotOptimize(sonavera::audio::DecodeAccompaniment(folders.song, folders.program));
}
BENCHMARK(BM_DecodeFourMinuteSong)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_MixFourMinuteTake(benchmark::State& state) {
  Folders& folders = SharedFolders();
  sonavera::audio::DecodeAccompaniment(folders.song, folders.program);
  for (auto _ : state) {
    sonavera::audio::WavImage image;
    image.Load(folders.program + "accompany.wav");
    image.MixFile(folders.program + "temp.wav");
    benchmark::DoNotOptimize(image.Save(folders.program + "uion.wav"));
  }
}
BENCHMARK(BM_MixFourMinuteTake)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
