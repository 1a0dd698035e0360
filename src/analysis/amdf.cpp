// AmdfFrequency: the first acceptable dip of the frame's average magnitude difference function.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "analysis/amdf.h"
#include "analysis/pitch_tracker.h"

namespace sonavera::analysis {

namespace {

constexpr int kHighestFrequency = 1047;  // Hz; sets the smallest lag
constexpr int kStackFrame = 1024;

// Picks the first two dips at or under a quarter of the largest difference and applies the harmonic
// test. `d` holds the differences for lags minLag - 1 .. length - 1.
template <typename Sum>
float PickFrequency(const Sum* d, int length, int minLag, int sampleRate) {
  Sum largest = -1;
  for (int j = minLag - 1; j < length; ++j) largest = std::max(largest, d[j]);
  const Sum limit = largest / 4;

  int first = 0;
  int second = 0;
  for (int i = minLag; i <= length - 2; ++i) {
    // ">=" on the left takes the last lag of a flat-bottomed dip.
    if (d[i - 1] >= d[i] && d[i] < d[i + 1] && d[i] <= limit) {
      if (first == 0) {
        first = i;
      } else {
        second = i;
        break;
      }
    }
  }
  if (first == 0) return 0.0f;
  if (second != 0) {
    // The second dip must lie near twice the first: (L2 - L1) * 10 / L1 in 9..11.
    const int64_t tenths = (static_cast<int64_t>(second - first) * 10) / first - 10;
    if (tenths > 1 || tenths < -1) return 0.0f;
  }
  return static_cast<float>(sampleRate) / static_cast<float>(first);
}

// Frames too long for 32-bit sums: nobody analyses 3-second frames, but they must not overflow.
float LongFrameFrequency(const int16_t* frame, int length, int minLag, int sampleRate) {
  std::vector<int64_t> d(static_cast<size_t>(length));
  for (int j = minLag - 1; j < length; ++j) {
    int64_t sum = 0;
    for (int k = 0; k + j < length; ++k) sum += std::abs(int32_t{frame[k]} - int32_t{frame[k + j]});
    d[j] = sum;
  }
  return PickFrequency(d.data(), length, minLag, sampleRate);
}

}  // namespace

float AmdfFrequency(const int16_t* frame, int length, int sampleRate) {
  if (frame == nullptr || sampleRate <= 0) return 0.0f;
  // Lag 0 is no period: rates under 1047 Hz still start at lag 1.
  const int minLag = std::max(1, sampleRate / kHighestFrequency);
  if (length < minLag + 2) return 0.0f;  // no lag to scan
  if (length > kMaxAmdfFrame32) return LongFrameFrequency(frame, length, minLag, sampleRate);

  int32_t stackDifferences[kStackFrame];
  std::vector<int32_t> heapDifferences;
  int32_t* d = stackDifferences;
  if (length > kStackFrame) {
    heapDifferences.resize(static_cast<size_t>(length));
    d = heapDifferences.data();
  }
  AmdfDifferences(frame, length, minLag - 1, d);
  return PickFrequency(d, length, minLag, sampleRate);
}

}  // namespace sonavera::analysis
