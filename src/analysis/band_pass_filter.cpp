#include "analysis/band_pass_filter.h"

#include <cmath>
#include <vector>

namespace sonavera::analysis {

namespace {

constexpr int kStackTaps = 65;

double Window(int windowType, int i, int points) {
  if (windowType != kHammingWindow || points < 2) return 1.0;  // anything else: rectangular
  const double pi = 4.0 * std::atan(1.0);
  return 0.54 - 0.46 * std::cos(2.0 * pi * i / (points - 1));
}

int16_t TruncateToSample(double value) {
  const double whole = std::trunc(value);
  if (!(whole >= -32768.0)) return value > 0.0 ? 32767 : -32768;  // also catches NaN
  if (whole > 32767.0) return 32767;
  return static_cast<int16_t>(whole);
}

}  // namespace

void DesignFir(int order, int bandType, double lowNorm, double highNorm, int windowType, double* taps) {
  if (order < 0 || taps == nullptr) return;
  if (bandType != kBandPass) {
    // Only the band-pass design exists; other codes get no taps rather than a wrong filter.
    for (int i = 0; i <= order; ++i) taps[i] = 0.0;
    return;
  }
  const double pi = 4.0 * std::atan(1.0);
  const double lowEdge = 2.0 * pi * lowNorm;
  const double highEdge = 2.0 * pi * highNorm;
  const double delay = order / 2.0;
  const bool even = order % 2 == 0;
  const int lastComputed = even ? order / 2 - 1 : order / 2;
  for (int i = 0; i <= lastComputed; ++i) {
    const double s = i - delay;
    const double tap = (std::sin(highEdge * s) - std::sin(lowEdge * s)) / (pi * s) * Window(windowType, i, order + 1);
    taps[i] = tap;
    taps[order - i] = tap;
  }
  if (even) taps[order / 2] = (highEdge - lowEdge) / pi;
}

void BandPassBlock(int16_t* samples, int count, int bandType, int order, double lowHz, double highHz,
                   double sampleRate, int windowType) {
  if (samples == nullptr || count <= 0 || order < 0 || bandType != kBandPass) return;
  if (!(sampleRate > 0.0) || !std::isfinite(lowHz) || !std::isfinite(highHz) || !std::isfinite(sampleRate)) return;

  double stackTaps[kStackTaps];
  std::vector<double> heapTaps;
  double* taps = stackTaps;
  if (order >= kStackTaps) {
    heapTaps.resize(static_cast<size_t>(order) + 1);
    taps = heapTaps.data();
  }
  DesignFir(order, bandType, lowHz / sampleRate, highHz / sampleRate, windowType, taps);

  // y[n] = h0 * x[n] + h1 * x[n - 1] + ... with zeros before the block. Walking backwards keeps the
  // inputs a sample needs unchanged, so the block is rewritten in place without a copy.
  for (int n = count - 1; n >= 0; --n) {
    double sum = taps[0] * samples[n];
    for (int i = 1; i <= order && i <= n; ++i) sum += taps[i] * samples[n - i];
    samples[n] = TruncateToSample(sum);
  }
}

}  // namespace sonavera::analysis
