#pragma once

#include <cstdint>

namespace sonavera::analysis {

/// The rate every block is brought to before pitch analysis.
inline constexpr int kAnalysisRate = 11025;

/// Number of samples ResampleToAnalysisRate writes for `count` input samples at `sampleRate`:
/// floor((count - 1) * 11025 / sampleRate), 0 for count < 2. sampleRate must be positive.
int64_t ResampledLength(int count, int sampleRate);

/// Linear interpolation to 11025 Hz with positions quantised to tenths of an input sample:
/// out[i] = ((10 - f) * x[e] + f * x[e + 1]) / 10 (integer division) where e = floor(i * rate / 11025)
/// and f = floor(10 * i * rate / 11025) - 10 * e. Writes ResampledLength(count, sampleRate) samples.
void ResampleToAnalysisRate(const int16_t* samples, int count, int sampleRate, int16_t* out);

}  // namespace sonavera::analysis
