#include "songgen/ktv_cues.h"

namespace sonavera::songgen {
namespace {

// True when any reference frame under [from, to) seconds is voiced.
bool VoicedBetween(const ReferenceTables& tables, double from, double to) {
  for (size_t line = 0; line < tables.lineStart.size(); ++line) {
    if (to <= tables.lineStart[line] || from >= tables.lineEnd[line]) continue;
    const auto& frames = tables.lineFrames[line];
    const double base = tables.lineStart[line];
    long first = static_cast<long>((from - base) / kFrameSeconds);
    long last = static_cast<long>((to - base) / kFrameSeconds);
    if (first < 0) first = 0;
    if (last >= static_cast<long>(frames.size())) last = static_cast<long>(frames.size()) - 1;
    for (long f = first; f <= last; ++f)
      if (frames[static_cast<size_t>(f)] > 0) return true;
  }
  return false;
}

}  // namespace

KtvCueSheet MakeKtvCues(const ReferenceTables& tables) {
  KtvCueSheet cues;
  for (size_t i = 0; i < tables.lineStart.size(); ++i) {
    cues.times.push_back(tables.lineStart[i]);
    cues.texts.push_back(tables.lineTexts[i]);
  }
  cues.endTime = tables.lineEnd.empty() ? 0.0f : tables.lineEnd.back() + 1.0f;
  return cues;
}

float KtvReferenceRatio(const ReferenceTables& tables, const KtvCueSheet& cues) {
  const int cueCount = static_cast<int>(cues.times.size());
  if (cueCount < 2) return 1.0f;
  constexpr int kCalibrationSamples = 15000;
  constexpr int kCalibrationTick = 118;  // the first tick at 1.875 s or later
  int loud = 0;
  int total = 1;  // the stage's reset starts the count at 1
  int cueIndex = 1;
  for (int tick = 0;; ++tick) {
    const float now = static_cast<float>(tick) * 0.016f;
    if (now > cues.endTime) break;
    if (tick > kCalibrationTick && (tick - kCalibrationTick) % 10 == 0) {
      const int k = (tick - kCalibrationTick) / 10 - 1;
      const float t0 = cues.times[static_cast<size_t>(cueIndex - 1)];
      const float t1 = cueIndex == cueCount - 1 ? cues.endTime : t0 + 2.5f;
      if (t0 < now && now < t1) {
        for (int block = 0; block < 16; ++block) {
          const int sample = kCalibrationSamples + 1280 * k + 80 * block;
          if (VoicedBetween(tables, sample / 8000.0, (sample + 80) / 8000.0)) ++loud;
          ++total;
        }
      }
    }
    if (cueIndex < cueCount - 1 && now > cues.times[static_cast<size_t>(cueIndex)]) ++cueIndex;
  }
  return total > 1 && loud > 0 ? static_cast<float>(loud) / static_cast<float>(total) : 1.0f;
}

}  // namespace sonavera::songgen
