// Judging one 1280-sample capture buffer inside an open line: normalisation, band-pass filter, pitch
// track, voice offset and line scoring, as OnCaptureData runs them (budget: well under 1 ms).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "judge/judge.h"
#include "judge/offline_ports.h"

namespace {

using namespace sonavera::judge;

// Counts as used, so the marker's work is not optimised away.
class NoStage : public StageLink {
 public:
  void SetSingerMarker(int y, int, int, int) override { benchmark::DoNotOptimize(y); }
  void StopMusic() override {}
};

// A voice-like buffer: a 130 Hz fundamental with a few harmonics, a slow vibrato and some noise.
std::vector<int16_t> VoiceLike() {
  std::vector<int16_t> samples(kBufferSamples);
  double phase = 0.0;
  unsigned noise = 12345;
  for (int i = 0; i < kBufferSamples; ++i) {
    const double hz = 130.0 * (1.0 + 0.01 * std::sin(2 * M_PI * 5.0 * i / kCaptureRate));
    phase += 2 * M_PI * hz / kCaptureRate;
    noise = noise * 1103515245u + 12345u;
    const double value = 6000 * std::sin(phase) + 2500 * std::sin(2 * phase) + 1200 * std::sin(3 * phase) +
                         static_cast<double>((noise >> 16) % 600) - 300;
    samples[i] = static_cast<int16_t>(value);
  }
  return samples;
}

void BM_OnCaptureDataInOpenLine(benchmark::State& state) {
  TakeCaptureDevice device;  // the benchmark hands the judge its buffer itself
  SilentRecorder recorder;
  NoStage stage;
  QuietShell shell;
  NoProgramFiles files;
  AppState app;
  StageShared shared;
  Judge judge(JudgeLinks{&device, &recorder, &stage, &shell, &files, "/"}, app, shared);

  // One long line of 600 (ten minutes), so the quota never runs out while the benchmark runs.
  sonavera::content::SongTables song;
  song.lineCount = 2;
  song.lineStart = {1.0f, 600.0f};
  song.lineEnd = {600.0f, 602.5f};
  const int frames = 37000;
  song.lineRefs.push_back(frames);
  song.lineRefs.insert(song.lineRefs.end(), frames, 600);
  song.lineVoiced = {frames, 0};
  song.lineFrameCount = {frames, 0};
  song.lineBytes.assign(2, 0);
  song.pitchFrames.assign(kPitchFrameCapacity, 0);
  judge.SetSongTables(&song);
  app.performanceActive = 1;
  judge.BeginPerformance();

  const std::vector<int16_t> voice = VoiceLike();
  std::vector<int16_t> samples(kBufferSamples);
  CaptureBuffer buffer{samples.data(), kBufferBytes, kBufferBytes};
  shared.playbackTime = 2.0f;
  shared.refIndex = 100;
  for (auto _ : state) {
    // The handler works in place: each round starts from the same voice (a 2.5 KB copy, timed too).
    std::copy(voice.begin(), voice.end(), samples.begin());
    buffer.bytesRecorded = kBufferBytes;
    judge.state().lineBufferCount = 0;
    judge.OnCaptureData(buffer);
  }
  benchmark::DoNotOptimize(app.lineScore);
}
BENCHMARK(BM_OnCaptureDataInOpenLine)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
