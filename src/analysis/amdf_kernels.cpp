// The inner loop of the pitch tracker: per lag, the sum of absolute sample differences. The SIMD
// kernels take |a - b| as max - min in unsigned 16-bit lanes (exact for any two int16 values) and
// widen to 32-bit sums; the last partial vector of each lag is masked, reading into zero padding.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "analysis/amdf.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define SONAVERA_AMDF_X86 1
#endif

namespace sonavera::analysis {

namespace {

constexpr int kPadding = 16;        // widest vector, in samples
constexpr int kStackFrame = 1024;   // frames up to this length are copied to the stack

void DifferencesScalar(const int16_t* x, int length, int firstLag, int32_t* d) {
  for (int j = firstLag; j < length; ++j) {
    int32_t sum = 0;
    for (int k = 0; k + j < length; ++k) sum += std::abs(int32_t{x[k]} - int32_t{x[k + j]});
    d[j] = sum;
  }
}

#ifdef SONAVERA_AMDF_X86

// Lanes 0..n-1 of loadu(kTailMask + 16 - n) are all ones, the rest zero.
alignas(32) const int16_t kTailMask[32] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                           0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0};

// `x` holds the frame followed by kPadding readable samples.
void DifferencesSse2(const int16_t* x, int length, int firstLag, int32_t* d) {
  const __m128i zero = _mm_setzero_si128();
  for (int j = firstLag; j < length; ++j) {
    const int terms = length - j;
    __m128i sum = zero;
    int k = 0;
    for (; k < terms; k += 8) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + k));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + k + j));
      __m128i diff = _mm_sub_epi16(_mm_max_epi16(a, b), _mm_min_epi16(a, b));
      if (terms - k < 8) {
        diff = _mm_and_si128(
            diff, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kTailMask + 16 - (terms - k))));
      }
      sum = _mm_add_epi32(sum, _mm_add_epi32(_mm_unpacklo_epi16(diff, zero), _mm_unpackhi_epi16(diff, zero)));
    }
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(1, 0, 3, 2)));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(2, 3, 0, 1)));
    d[j] = _mm_cvtsi128_si32(sum);
  }
}

__attribute__((target("avx2"))) void DifferencesAvx2(const int16_t* x, int length, int firstLag,
                                                     int32_t* d) {
  const __m256i zero = _mm256_setzero_si256();
  for (int j = firstLag; j < length; ++j) {
    const int terms = length - j;
    __m256i sum = zero;
    int k = 0;
    for (; k + 16 <= terms; k += 16) {
      const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x + k));
      const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x + k + j));
      const __m256i diff = _mm256_sub_epi16(_mm256_max_epi16(a, b), _mm256_min_epi16(a, b));
      sum = _mm256_add_epi32(sum, _mm256_add_epi32(_mm256_unpacklo_epi16(diff, zero),
                                                   _mm256_unpackhi_epi16(diff, zero)));
    }
    if (k < terms) {
      const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x + k));
      const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x + k + j));
      const __m256i mask = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kTailMask + 16 - (terms - k)));
      const __m256i diff =
          _mm256_and_si256(_mm256_sub_epi16(_mm256_max_epi16(a, b), _mm256_min_epi16(a, b)), mask);
      sum = _mm256_add_epi32(sum, _mm256_add_epi32(_mm256_unpacklo_epi16(diff, zero),
                                                   _mm256_unpackhi_epi16(diff, zero)));
    }
    __m128i half = _mm_add_epi32(_mm256_castsi256_si128(sum), _mm256_extracti128_si256(sum, 1));
    half = _mm_add_epi32(half, _mm_shuffle_epi32(half, _MM_SHUFFLE(1, 0, 3, 2)));
    half = _mm_add_epi32(half, _mm_shuffle_epi32(half, _MM_SHUFFLE(2, 3, 0, 1)));
    d[j] = _mm_cvtsi128_si32(half);
  }
}

#endif  // SONAVERA_AMDF_X86

// Runs a SIMD kernel on a zero-padded copy of the frame so its vector loads stay inside memory we own.
void WithPaddedCopy(void (*kernel)(const int16_t*, int, int, int32_t*), const int16_t* frame, int length,
                    int firstLag, int32_t* d) {
  int16_t stackCopy[kStackFrame + kPadding];
  std::vector<int16_t> heapCopy;
  int16_t* copy = stackCopy;
  if (length > kStackFrame) {
    heapCopy.resize(static_cast<size_t>(length) + kPadding);
    copy = heapCopy.data();
  }
  std::memcpy(copy, frame, static_cast<size_t>(length) * sizeof(int16_t));
  std::fill(copy + length, copy + length + kPadding, int16_t{0});
  kernel(copy, length, firstLag, d);
}

}  // namespace

bool AmdfKernelAvailable(AmdfKernel kernel) {
  switch (kernel) {
    case AmdfKernel::kScalar:
      return true;
#ifdef SONAVERA_AMDF_X86
    case AmdfKernel::kSse2:
      return true;  // part of every x86-64 processor
    case AmdfKernel::kAvx2:
      return __builtin_cpu_supports("avx2");
#endif
    default:
      return false;
  }
}

AmdfKernel BestAmdfKernel() {
  static const AmdfKernel best = AmdfKernelAvailable(AmdfKernel::kAvx2)   ? AmdfKernel::kAvx2
                                 : AmdfKernelAvailable(AmdfKernel::kSse2) ? AmdfKernel::kSse2
                                                                          : AmdfKernel::kScalar;
  return best;
}

void AmdfDifferencesWith(AmdfKernel kernel, const int16_t* frame, int length, int firstLag, int32_t* d) {
  if (length <= 0 || firstLag >= length) return;
  switch (kernel) {
#ifdef SONAVERA_AMDF_X86
    case AmdfKernel::kAvx2:
      WithPaddedCopy(DifferencesAvx2, frame, length, firstLag, d);
      return;
    case AmdfKernel::kSse2:
      WithPaddedCopy(DifferencesSse2, frame, length, firstLag, d);
      return;
#endif
    default:
      DifferencesScalar(frame, length, firstLag, d);
      return;
  }
}

void AmdfDifferences(const int16_t* frame, int length, int firstLag, int32_t* d) {
  AmdfDifferencesWith(BestAmdfKernel(), frame, length, firstLag, d);
}

}  // namespace sonavera::analysis
