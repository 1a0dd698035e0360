#pragma once

#include <cstdint>

namespace sonavera::judge {

/// Samples per loudness block.
inline constexpr int kLoudnessBlock = 80;
/// Samples of the KTV calibration buffer and how many of them are measured.
inline constexpr int kCalibrationSamples = 15000;
inline constexpr int kCalibrationMeasured = 12000;

/// Loudness of one 80-sample block: the sum of |sample / 5000|.
double BlockLoudness(const int16_t* block);

/// Largest block loudness over the measured part of a calibration buffer (150 blocks of 80 samples).
double CalibrationPeak(const int16_t* samples);

/// Loudness above which a block counts as loud: half the peak when it exceeds 50, else two thirds.
double NoiseThresholdForPeak(double calibrationPeak);

/// Counts the 16 blocks of a 1280-sample buffer: every block adds to totalBlocks, a block louder than
/// the threshold (strictly) also to loudBlocks.
void CountLoudBlocks(const int16_t* samples, double noiseThreshold, int& loudBlocks, int& totalBlocks);

}  // namespace sonavera::judge
