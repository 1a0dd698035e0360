#pragma once

#include <cstdint>

namespace sonavera::analysis {

/// Longest frame whose differences fit 32-bit sums (65535 * 32768 < 2^31).
inline constexpr int kMaxAmdfFrame32 = 32768;

/// Implementations of AmdfDifferences; they give the same values.
enum class AmdfKernel { kScalar, kSse2, kAvx2 };

/// Unnormalised average magnitude differences of one frame:
/// d[j] = sum over k = 0 .. length - 1 - j of |x[k] - x[k + j]| for j = firstLag .. length - 1.
/// `d` has room for `length` values; entries below firstLag are not written. Requires
/// 0 <= firstLag and length <= kMaxAmdfFrame32. Uses the fastest kernel this processor runs.
void AmdfDifferences(const int16_t* frame, int length, int firstLag, int32_t* d);

/// AmdfDifferences with a chosen kernel; the kernel must be available.
void AmdfDifferencesWith(AmdfKernel kernel, const int16_t* frame, int length, int firstLag, int32_t* d);

/// True when this build and processor can run the kernel.
bool AmdfKernelAvailable(AmdfKernel kernel);

/// The kernel AmdfDifferences picks on this machine.
AmdfKernel BestAmdfKernel();

}  // namespace sonavera::analysis
