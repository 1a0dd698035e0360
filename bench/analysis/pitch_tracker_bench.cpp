// Pitch tracking cost per capture buffer and for a whole song's worth of voice.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "analysis/amdf.h"
#include "analysis/band_pass_filter.h"
#include "analysis/pitch_tracker.h"
#include "analysis/resample.h"

namespace {

using namespace sonavera::analysis;

constexpr int kRate = 8000;
constexpr int kBuffer = 1280;

// A sung melody: a new note every half second over two octaves, harmonics, vibrato and breath noise.
std::vector<int16_t> SungVoice(int seconds) {
  const double pi = 4.0 * std::atan(1.0);
  std::mt19937 random(42);
  std::normal_distribution<double> breath(0.0, 250.0);
  std::uniform_int_distribution<int> note(48, 72);
  std::vector<int16_t> samples(static_cast<size_t>(seconds) * kRate);
  double phase = 0.0;
  double hz = 220.0;
  for (size_t i = 0; i < samples.size(); ++i) {
    if (i % (kRate / 2) == 0) hz = 440.0 * std::pow(2.0, (note(random) - 69) / 12.0);
    phase += 2.0 * pi * hz * (1.0 + 0.01 * std::sin(2.0 * pi * 5.5 * i / kRate)) / kRate;
    double value = breath(random);
    for (int h = 1; h <= 6; ++h) value += 7000.0 / h * std::sin(h * phase);
    samples[i] = static_cast<int16_t>(std::clamp(value, -32768.0, 32767.0));
  }
  return samples;
}

const std::vector<int16_t>& Voice() {
  static const std::vector<int16_t> voice = SungVoice(240);
  return voice;
}

void BM_PitchTrackBuffer(benchmark::State& state) {
  const auto& voice = Voice();
  int track[16];
  size_t start = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PitchTrack(voice.data() + start, kBuffer, kRate, 256, 128, track));
    benchmark::ClobberMemory();
    start = (start + kBuffer) % (voice.size() - kBuffer);
  }
}
BENCHMARK(BM_PitchTrackBuffer);

// Four minutes of voice, 1500 capture buffers: the budget is 0.1 s.
void BM_PitchTrackFourMinutes(benchmark::State& state) {
  const auto& voice = Voice();
  int track[16];
  for (auto _ : state) {
    for (size_t start = 0; start + kBuffer <= voice.size(); start += kBuffer) {
      benchmark::DoNotOptimize(PitchTrack(voice.data() + start, kBuffer, kRate, 256, 128, track));
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PitchTrackFourMinutes)->Unit(benchmark::kMillisecond);

// What the capture handler does with each buffer: filter in place, then track.
void BM_BandPassAndPitchTrackBuffer(benchmark::State& state) {
  const auto& voice = Voice();
  int16_t buffer[kBuffer];
  int track[16];
  size_t start = 0;
  for (auto _ : state) {
    std::copy_n(voice.data() + start, kBuffer, buffer);
    BandPassBlock(buffer, kBuffer, kBandPass, 2, 70.0, 1000.0, kRate, kHammingWindow);
    benchmark::DoNotOptimize(PitchTrack(buffer, kBuffer, kRate, 256, 128, track));
    benchmark::ClobberMemory();
    start = (start + kBuffer) % (voice.size() - kBuffer);
  }
}
BENCHMARK(BM_BandPassAndPitchTrackBuffer);

// The first step of every call: 1280 samples at 8000 Hz to 1762 at 11025 Hz.
void BM_ResampleBuffer(benchmark::State& state) {
  const auto& voice = Voice();
  int16_t out[1762];
  for (auto _ : state) {
    ResampleToAnalysisRate(voice.data(), kBuffer, kRate, out);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ResampleBuffer);

// One 256-sample frame's differences (lags 9..255) with each kernel.
void BM_AmdfDifferences(benchmark::State& state) {
  const auto kernel = static_cast<AmdfKernel>(state.range(0));
  if (!AmdfKernelAvailable(kernel)) {
    state.SkipWithError("kernel not available on this processor");
    return;
  }
  const auto& voice = Voice();
  int32_t d[256];
  for (auto _ : state) {
    AmdfDifferencesWith(kernel, voice.data(), 256, 9, d);
    benchmark::DoNotOptimize(d);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_AmdfDifferences)
    ->ArgName("kernel")
    ->Arg(static_cast<int>(AmdfKernel::kScalar))
    ->Arg(static_cast<int>(AmdfKernel::kSse2))
    ->Arg(static_cast<int>(AmdfKernel::kAvx2));

}  // namespace
