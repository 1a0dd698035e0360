#pragma once

// Test signals for the pitch tracker.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace sonavera::analysis::signals {

inline std::vector<int16_t> Sine(double hz, int rate, int count, double amplitude = 8000.0,
                                 double phase = 0.0) {
  std::vector<int16_t> samples(static_cast<size_t>(count));
  const double pi = 4.0 * std::atan(1.0);
  for (int i = 0; i < count; ++i) {
    samples[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2.0 * pi * hz * i / rate + phase)));
  }
  return samples;
}

/// A sung vowel: harmonics falling off with order, slow vibrato and breath noise.
inline std::vector<int16_t> VoiceLike(double hz, int rate, int count, unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> breath(0.0, 300.0);
  const double pi = 4.0 * std::atan(1.0);
  std::vector<int16_t> samples(static_cast<size_t>(count));
  double phase = 0.0;
  for (int i = 0; i < count; ++i) {
    const double vibrato = 1.0 + 0.01 * std::sin(2.0 * pi * 5.5 * i / rate);
    phase += 2.0 * pi * hz * vibrato / rate;
    double value = breath(random);
    for (int h = 1; h <= 8 && h * hz < rate / 2.0; ++h) value += 6000.0 / h * std::sin(h * phase + 0.3 * h);
    samples[i] = static_cast<int16_t>(std::lround(std::clamp(value, -32768.0, 32767.0)));
  }
  return samples;
}

inline std::vector<int16_t> Noise(int count, unsigned seed, int low = -32768, int high = 32767) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> value(low, high);
  std::vector<int16_t> samples(static_cast<size_t>(count));
  for (auto& sample : samples) sample = static_cast<int16_t>(value(random));
  return samples;
}

}  // namespace sonavera::analysis::signals
