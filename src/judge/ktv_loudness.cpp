#include "judge/ktv_loudness.h"

#include <cmath>

namespace sonavera::judge {

double BlockLoudness(const int16_t* block) {
  double sum = 0.0;
  for (int i = 0; i < kLoudnessBlock; ++i) sum += std::fabs(block[i] / 5000.0);
  return sum;
}

double CalibrationPeak(const int16_t* samples) {
  double peak = 0.0;
  for (int start = 0; start + kLoudnessBlock <= kCalibrationMeasured; start += kLoudnessBlock) {
    const double loudness = BlockLoudness(samples + start);
    if (loudness > peak) peak = loudness;
  }
  return peak;
}

double NoiseThresholdForPeak(double calibrationPeak) {
  return calibrationPeak > 50.0 ? calibrationPeak * 0.5 : calibrationPeak * 2 / 3;
}

void CountLoudBlocks(const int16_t* samples, double noiseThreshold, int& loudBlocks, int& totalBlocks) {
  constexpr int kBlocks = 1280 / kLoudnessBlock;
  for (int b = 0; b < kBlocks; ++b) {
    if (BlockLoudness(samples + b * kLoudnessBlock) > noiseThreshold) ++loudBlocks;
    ++totalBlocks;
  }
}

}  // namespace sonavera::judge
