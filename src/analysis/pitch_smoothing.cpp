#include "analysis/pitch_smoothing.h"

#include <cstdlib>

namespace sonavera::analysis {

namespace {
constexpr int kHoldStep = 10;   // one semitone in tenths
constexpr int kJumpLimit = 50;  // five semitones in tenths
}  // namespace

void HoldSmallSteps(int* values, int count) {
  for (int k = 0; k + 1 < count; ++k) {
    if (std::abs(values[k + 1] - values[k]) < kHoldStep) values[k + 1] = values[k];
  }
}

void ThreePointPass(int* values, int count) {
  for (int k = 0; k + 2 < count; ++k) {
    const int a = values[k];
    const int b = values[k + 1];
    const int c = values[k + 2];
    if (a != 0 && b != 0 && c != 0) {
      if (std::abs(b - a) > kJumpLimit && std::abs(b - c) > kJumpLimit) values[k + 1] = (a + c) / 2;
    } else if (a == 0 && b != 0 && c == 0) {
      values[k + 1] = 0;
    } else if (a != 0 && b == 0 && c != 0) {
      values[k + 1] = (a + c) / 2;
    } else {
      values[k] = 0;
    }
  }
}

void ClearTrackEnds(int* values, int count) {
  if (count < 2) return;
  if (std::abs(values[0] - values[1]) > kJumpLimit) values[0] = 0;
  if (values[count - 1] != values[count - 2]) values[count - 1] = 0;
}

void SmoothPitchTrack(int* values, int count) {
  HoldSmallSteps(values, count);
  ThreePointPass(values, count);
  ClearTrackEnds(values, count);
}

}  // namespace sonavera::analysis
