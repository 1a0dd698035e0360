#pragma once

#include <cstddef>
#include <vector>

namespace sonavera::songgen {

/// Sample rate of everything the generator renders and encodes.
inline constexpr int kSampleRate = 44100;

/// A stereo signal in floats, full scale +-1.
struct StereoBuffer {
  std::vector<float> left;
  std::vector<float> right;

  explicit StereoBuffer(size_t frames = 0) : left(frames, 0.0f), right(frames, 0.0f) {}
  size_t Frames() const { return left.size(); }
  /// Adds `sample` at `index` with a pan from -1 (left) to 1 (right); indexes past the end are ignored.
  void Add(size_t index, float sample, float pan = 0.0f) {
    if (index >= left.size()) return;
    left[index] += sample * (1.0f - pan) * 0.5f;
    right[index] += sample * (1.0f + pan) * 0.5f;
  }
};

}  // namespace sonavera::songgen
