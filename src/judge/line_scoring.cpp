#include "judge/line_scoring.h"

#include <cstdlib>

namespace sonavera::judge {

namespace {

// Pitch distances in tenths of a semitone.
constexpr int kHitDistance = 30;
constexpr int kNearDistance = 80;
constexpr int kKeyRange = 100;

enum class Verdict { kHit, kNear, kMiss };

// Classifies a plain distance between sung and reference pitch, as on the first voiced buffer of a
// line and as the fallback when the singer's key does not explain the pitch.
MarkerPlacement PlainDistance(int sung, int reference, Verdict& verdict) {
  MarkerPlacement marker;
  const int d = std::abs(sung - reference);
  if (d <= kHitDistance) {
    verdict = Verdict::kHit;
    marker.hitFlag = 1;
    marker.y = MarkerRow(reference);  // a hit puts the marker on the reference
  } else if (d <= kNearDistance) {
    verdict = Verdict::kNear;
    marker.nearFlag = 1;
    marker.y = MarkerRow(sung);
  } else {
    verdict = Verdict::kMiss;
    marker.missFlag = 1;
    marker.y = MarkerRow(sung);
  }
  return marker;
}

void AddCredit(LineScoring& scoring, float& lineScore, Verdict verdict, int step, int voicedRefFrames) {
  if (verdict == Verdict::kMiss) {
    // Miss credit only counts when the next hit or near recomputes the line credit.
    scoring.missCredit += static_cast<float>(step) * 0.25f;
    return;
  }
  if (verdict == Verdict::kHit) {
    scoring.hitCredit += static_cast<float>(step);
  } else {
    scoring.nearCredit += static_cast<float>(step * 2) / 3;
  }
  scoring.lineCredit = scoring.missCredit + (scoring.nearCredit + scoring.hitCredit);
  if (scoring.lineCredit > static_cast<float>(voicedRefFrames)) {
    scoring.lineCredit = static_cast<float>(voicedRefFrames);
  }
  // A line without voiced reference frames has no score to show.
  if (voicedRefFrames > 0) lineScore = scoring.lineCredit / static_cast<float>(voicedRefFrames) * 100.0f;
}

}  // namespace

int GradeForScore(float score) {
  if (score >= 90.0f) return 1;
  if (score >= 75.0f) return 2;
  if (score >= 60.0f) return 3;
  if (score >= 30.0f) return 4;
  return 5;
}

int MostFrequentPitch(const int* frames, int count) {
  int best = 0;
  int bestCount = 0;
  for (int i = 0; i < count; ++i) {
    if (frames[i] == 0) continue;
    int seen = 0;
    for (int j = 0; j < count; ++j) seen += frames[j] == frames[i] ? 1 : 0;
    if (seen > bestCount) {  // strictly more: the first value met wins a tie
      best = frames[i];
      bestCount = seen;
    }
  }
  return best;
}

int KeyDifference(int sung, int reference) {
  if (sung == 0 || reference == 0) return 0;
  const int difference = sung - reference;
  return difference >= -kKeyRange && difference <= kKeyRange ? difference : 0;
}

int MarkerRow(int pitch) {
  constexpr int third = kLaneHeight / 3;
  return static_cast<int>((third - (third * pitch) / 1000.0) * 5 + kLaneTop);
}

MarkerPlacement CompareLinePitch(LineScoring& scoring, float& lineScore, const LineInput& input) {
  const int* ref = input.refFrames;
  const int refCount = input.refCount;
  const int sung = MostFrequentPitch(input.pitchFrames, input.pitchFrameCount);
  int voiced = 0;
  for (int i = 0; i < input.pitchFrameCount; ++i) voiced += input.pitchFrames[i] > 0 ? 1 : 0;
  const int cursor = input.cursor;
  const int lineVoiced = input.voicedRefFrames;

  // Below 70 % a buffer earns credit for all its frames, from 70 % on only for its voiced ones.
  const float ratio = lineVoiced != 0 ? scoring.lineCredit / static_cast<float>(lineVoiced) : 0.0f;
  const int step = (lineVoiced != 0 && ratio < 0.7f) ? input.pitchFrameCount : voiced;

  MarkerPlacement marker;
  bool credited = false;
  Verdict verdict = Verdict::kMiss;

  if (cursor < 0 || cursor >= refCount || input.voicedBufferCount < 1) {
    // The cursor is outside the line: nothing to compare with.
  } else if (input.voicedBufferCount == 1) {
    const int reference = ref[cursor];
    if (sung != 0 && reference != 0) scoring.keyOffset = KeyDifference(sung, reference);
    marker = PlainDistance(sung, reference, verdict);
    credited = true;
  } else {
    const int reference = ref[cursor];
    if (sung == 0) {
      // Just stopped singing: keep the marker on the melody for one buffer, without credit.
      if (scoring.singingActive == 1 && reference != 0) {
        marker.hitFlag = 1;
        marker.y = MarkerRow(reference);
      } else if (scoring.singingActive == 1 && cursor + 2 < refCount && ref[cursor + 2] != 0) {
        marker.hitFlag = 1;
        marker.y = MarkerRow(ref[cursor + 2]);
      }
      scoring.singingActive = 0;
    } else {
      scoring.singingActive = 1;
      // Key samples skip the first twelfth of the line; the first sample is never used.
      if (reference != 0 && cursor > refCount / 12 && scoring.keySampleCount <= 3) {
        if (scoring.keySampleCount < 3) {
          scoring.keySamples[scoring.keySampleCount] = KeyDifference(sung, reference);
          ++scoring.keySampleCount;
        } else if (std::abs(scoring.keySamples[1]) < kKeyRange && std::abs(scoring.keySamples[2]) < kKeyRange) {
          scoring.keyOffset = (scoring.keySamples[1] + scoring.keySamples[2]) / 2;
        }
      }
      if (reference != 0) {
        const int inKey = std::abs(reference + scoring.keyOffset - sung);
        if (inKey <= kHitDistance) {
          verdict = Verdict::kHit;
          marker.hitFlag = 1;
          marker.y = MarkerRow(reference);
        } else if (inKey <= kNearDistance) {
          verdict = Verdict::kNear;
          marker.nearFlag = 1;
          marker.y = MarkerRow(sung - scoring.keyOffset);
        } else {
          marker = PlainDistance(sung, reference, verdict);
        }
        credited = true;
      } else {
        // The melody rests here: follow the singer, flag a hit when a note starts within 20 frames.
        marker.y = MarkerRow(sung - scoring.keyOffset);
        marker.hitFlag = (cursor + 20 < refCount && ref[cursor + 20] != 0) ? 1 : 0;
      }
    }
  }

  if (credited) AddCredit(scoring, lineScore, verdict, step, lineVoiced);
  scoring.markerHit = marker.hitFlag;
  scoring.markerNear = marker.nearFlag;
  scoring.markerMiss = marker.missFlag;
  return marker;
}

}  // namespace sonavera::judge
