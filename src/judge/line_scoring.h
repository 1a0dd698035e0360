#pragma once

namespace sonavera::judge {

/// Lane geometry the marker rows are computed with (pixels).
inline constexpr int kLaneHeight = 106;
inline constexpr int kLaneTop = 56;
/// Row of the marker when there is no pitch to show: the middle of the lane.
inline constexpr int kNeutralRow = kLaneHeight / 2 + kLaneTop;

/// Scoring state of the open line. Credits are counted in reference frames.
struct LineScoring {
  float hitCredit = 0.0f;
  float nearCredit = 0.0f;
  float missCredit = 0.0f;
  float lineCredit = 0.0f;  // hit + near + miss credit, capped at the line's voiced frame count
  int keyOffset = 0;        // tenths of a semitone the singer sings above the reference; kept across lines
  int keySamples[3] = {0, 0, 0};
  int keySampleCount = 0;
  int singingActive = 0;  // the previous judged buffer had a sung pitch
  int markerHit = 0;
  int markerNear = 0;
  int markerMiss = 0;
};

/// Where the singer's marker goes and how the buffer was classified.
struct MarkerPlacement {
  int y = kNeutralRow;
  int nearFlag = 0;
  int hitFlag = 0;
  int missFlag = 0;
};

/// One judged buffer against the open line.
struct LineInput {
  const int* refFrames = nullptr;  // the line's reference frames, tenths of a semitone, 0 = rest
  int refCount = 0;
  const int* pitchFrames = nullptr;  // the buffer's pitch track, already shifted by the voice offset
  int pitchFrameCount = 0;
  int voicedBufferCount = 0;  // buffers of the line with a voiced frame, this one included
  int cursor = 0;             // the stage's refIndex
  int voicedRefFrames = 0;    // the line's voiced reference frames (lineVoiced)
};

/// Grade 1 (best) .. 5 of a line score in percent.
int GradeForScore(float score);

/// The non-zero value met most often (the first met among equals); 0 when every frame is 0.
int MostFrequentPitch(const int* frames, int count);

/// c - r when both are non-zero and within ten semitones of each other, else 0.
int KeyDifference(int sung, int reference);

/// Lane row of a pitch: 231 - 0.175 p, truncated.
int MarkerRow(int pitch);

/// Judges one buffer against the reference frame under the cursor: adds hit, near or miss credit,
/// updates the key offset and lineScore, and returns where the marker goes.
MarkerPlacement CompareLinePitch(LineScoring& scoring, float& lineScore, const LineInput& input);

}  // namespace sonavera::judge
