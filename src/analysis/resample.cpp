#include "analysis/resample.h"

namespace sonavera::analysis {

int64_t ResampledLength(int count, int sampleRate) {
  if (count < 2 || sampleRate <= 0) return 0;
  // Two pieces, as the tracker has always counted: whole seconds, then the rest of a second.
  const int64_t span = count - 1;
  return (span / sampleRate) * kAnalysisRate + ((span % sampleRate) * kAnalysisRate) / sampleRate;
}

void ResampleToAnalysisRate(const int16_t* samples, int count, int sampleRate, int16_t* out) {
  const int64_t length = ResampledLength(count, sampleRate);
  // position10 = floor(10 * i * rate / 11025): its tens are the source index and its units the
  // interpolation fraction in tenths. Each sample stands alone (division by a constant), so the loop
  // pipelines.
  const int64_t step = 10 * static_cast<int64_t>(sampleRate);
  for (int64_t i = 0; i < length; ++i) {
    const int64_t position10 = i * step / kAnalysisRate;
    const int64_t e = position10 / 10;
    const int32_t f = static_cast<int32_t>(position10 - 10 * e);
    out[i] = static_cast<int16_t>(((10 - f) * samples[e] + f * samples[e + 1]) / 10);
  }
}

}  // namespace sonavera::analysis
