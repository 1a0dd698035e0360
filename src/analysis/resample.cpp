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
  // position10 = floor(10 * i * rate / 11025), stepped without a division per sample; its tens
  // are the source index and its units the interpolation fraction in tenths.
  const int64_t step = 10 * static_cast<int64_t>(sampleRate);
  const int64_t stepWhole = step / kAnalysisRate;
  const int64_t stepRest = step % kAnalysisRate;
  int64_t position10 = 0;
  int64_t rest = 0;
  for (int64_t i = 0; i < length; ++i) {
    const int64_t e = position10 / 10;
    const int32_t f = static_cast<int32_t>(position10 - 10 * e);
    const int32_t mixed = ((10 - f) * samples[e] + f * samples[e + 1]) / 10;
    out[i] = static_cast<int16_t>(mixed);
    position10 += stepWhole;
    rest += stepRest;
    if (rest >= kAnalysisRate) {
      rest -= kAnalysisRate;
      ++position10;
    }
  }
}

}  // namespace sonavera::analysis
