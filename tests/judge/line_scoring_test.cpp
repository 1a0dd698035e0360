#include "judge/line_scoring.h"

#include <gtest/gtest.h>

#include <vector>

namespace sonavera::judge {
namespace {

// One buffer of `count` frames, `voiced` of them sung at `pitch` and the rest unvoiced.
std::vector<int> Track(int pitch, int count = 11, int voiced = -1) {
  if (voiced < 0) voiced = count;
  std::vector<int> frames(count, 0);
  for (int i = 0; i < voiced; ++i) frames[i] = pitch;
  return frames;
}

struct Judged {
  LineScoring scoring;
  float lineScore = 0.0f;
  std::vector<int> reference;

  MarkerPlacement Buffer(const std::vector<int>& frames, int voicedBuffers, int cursor, int lineVoiced = -1) {
    LineInput input;
    input.refFrames = reference.data();
    input.refCount = static_cast<int>(reference.size());
    input.pitchFrames = frames.data();
    input.pitchFrameCount = static_cast<int>(frames.size());
    input.voicedBufferCount = voicedBuffers;
    input.cursor = cursor;
    if (lineVoiced < 0) {
      lineVoiced = 0;
      for (int r : reference) lineVoiced += r > 0 ? 1 : 0;
    }
    input.voicedRefFrames = lineVoiced;
    return CompareLinePitch(scoring, lineScore, input);
  }
};

enum class Kind { kHit, kNear, kMiss };

struct DistanceCase {
  int sung;
  int reference;
  Kind kind;
  int markerY;
};

class FirstVoicedBuffer : public ::testing::TestWithParam<DistanceCase> {};

TEST_P(FirstVoicedBuffer, ClassifiesByPlainDistance) {
  const DistanceCase& c = GetParam();
  Judged line;
  line.reference.assign(100, c.reference);
  const MarkerPlacement marker = line.Buffer(Track(c.sung), 1, 10);
  EXPECT_EQ(marker.hitFlag, c.kind == Kind::kHit ? 1 : 0);
  EXPECT_EQ(marker.nearFlag, c.kind == Kind::kNear ? 1 : 0);
  EXPECT_EQ(marker.missFlag, c.kind == Kind::kMiss ? 1 : 0);
  EXPECT_EQ(marker.y, c.markerY);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, FirstVoicedBuffer,
    ::testing::Values(DistanceCase{600, 630, Kind::kHit, MarkerRow(630)},   // d = 30: marker on the melody
                      DistanceCase{600, 631, Kind::kNear, MarkerRow(600)},  // d = 31: marker on the singer
                      DistanceCase{600, 680, Kind::kNear, MarkerRow(600)},  // d = 80
                      DistanceCase{600, 681, Kind::kMiss, MarkerRow(600)},  // d = 81
                      DistanceCase{660, 630, Kind::kHit, MarkerRow(630)},
                      DistanceCase{549, 630, Kind::kMiss, MarkerRow(549)}));

TEST(KeyOffset, FirstBufferSetsItAndLaterBuffersSingInThatKey) {
  Judged line;
  line.reference.assign(100, 600);
  MarkerPlacement first = line.Buffer(Track(700), 1, 5);
  EXPECT_EQ(first.missFlag, 1);  // d = 100
  EXPECT_EQ(line.scoring.keyOffset, 100);
  MarkerPlacement later = line.Buffer(Track(700), 2, 6);
  EXPECT_EQ(later.hitFlag, 1);  // e = |600 + 100 - 700| = 0
  EXPECT_EQ(later.y, MarkerRow(600));
  // A near in the singer's key shows the pitch moved back into the melody's key.
  MarkerPlacement near = line.Buffer(Track(740), 3, 7);
  EXPECT_EQ(near.nearFlag, 1);
  EXPECT_EQ(near.y, MarkerRow(640));
}

TEST(KeyOffset, DifferenceBeyondTenSemitonesIsNoKey) {
  Judged line;
  line.reference.assign(100, 600);
  line.scoring.keyOffset = 40;
  line.Buffer(Track(720), 1, 5);
  EXPECT_EQ(line.scoring.keyOffset, 0);
  EXPECT_EQ(KeyDifference(700, 600), 100);
  EXPECT_EQ(KeyDifference(500, 600), -100);
  EXPECT_EQ(KeyDifference(0, 600), 0);
  EXPECT_EQ(KeyDifference(600, 0), 0);
}

TEST(KeyOffset, RefinedFromTheSecondAndThirdSamplesAfterTheFirstTwelfth) {
  Judged line;
  line.reference.assign(120, 600);  // the first twelfth is cursor 0..10
  line.Buffer(Track(650), 1, 2);    // sets the offset from the first buffer: 50
  ASSERT_EQ(line.scoring.keyOffset, 50);
  line.Buffer(Track(620), 2, 10);  // inside the first twelfth: no sample
  EXPECT_EQ(line.scoring.keySampleCount, 0);
  line.Buffer(Track(690), 2, 11);  // sample 0 (never used): 90
  line.Buffer(Track(620), 2, 12);  // sample 1: 20
  line.Buffer(Track(631), 2, 13);  // sample 2: 31
  EXPECT_EQ(line.scoring.keySampleCount, 3);
  EXPECT_EQ(line.scoring.keyOffset, 50);  // not refined yet
  line.Buffer(Track(700), 2, 14);
  EXPECT_EQ(line.scoring.keyOffset, 25);  // (20 + 31) / 2, integer division
}

TEST(CreditStep, AllFramesBelowSeventyPercentVoicedFramesFromThere) {
  const std::vector<int> frames = Track(600, 20, 12);
  Judged below;
  below.reference.assign(100, 600);
  below.scoring.hitCredit = 69.0f;
  below.scoring.lineCredit = 69.0f;
  below.Buffer(frames, 2, 50);
  EXPECT_FLOAT_EQ(below.scoring.hitCredit, 89.0f);  // + 20

  Judged at;
  at.reference.assign(100, 600);
  at.scoring.hitCredit = 70.0f;
  at.scoring.lineCredit = 70.0f;  // exactly 70 % counts as at 70 %
  at.Buffer(frames, 2, 50);
  EXPECT_FLOAT_EQ(at.scoring.hitCredit, 82.0f);  // + 12
}

TEST(CreditStep, NearEarnsTwoThirdsAndMissAQuarter) {
  Judged line;
  line.reference.assign(100, 600);
  line.Buffer(Track(650, 11), 2, 50);  // near
  EXPECT_FLOAT_EQ(line.scoring.nearCredit, 22.0f / 3);
  EXPECT_FLOAT_EQ(line.lineScore, 22.0f / 3);
  line.Buffer(Track(700, 11), 2, 51);  // miss
  EXPECT_FLOAT_EQ(line.scoring.missCredit, 2.75f);
}

TEST(LineScore, RisesToTheCapOfTheVoicedReference) {
  Judged line;
  line.reference.assign(50, 600);  // D = 50
  const std::vector<int> frames = Track(600, 20);
  std::vector<float> scores;
  for (int v = 1; v <= 3; ++v) {
    line.Buffer(frames, v, 10 + v);
    scores.push_back(line.lineScore);
  }
  EXPECT_FLOAT_EQ(scores[0], 40.0f);
  EXPECT_FLOAT_EQ(scores[1], 80.0f);
  EXPECT_FLOAT_EQ(scores[2], 100.0f);
  EXPECT_FLOAT_EQ(line.scoring.lineCredit, 50.0f);  // 60 capped
}

TEST(LineScore, MissesWaitForTheNextHit) {
  Judged line;
  line.reference.assign(200, 600);
  line.Buffer(Track(700), 1, 5);  // miss, sets key offset 100
  line.scoring.keyOffset = 0;
  line.Buffer(Track(700), 2, 6);
  line.Buffer(Track(700), 2, 7);
  EXPECT_EQ(line.lineScore, 0.0f);
  EXPECT_FLOAT_EQ(line.scoring.missCredit, 3 * 11 * 0.25f);
  line.Buffer(Track(600), 2, 8);  // a hit brings the misses in
  EXPECT_FLOAT_EQ(line.scoring.lineCredit, 11.0f + 8.25f);
  EXPECT_FLOAT_EQ(line.lineScore, (11.0f + 8.25f) / 200 * 100);
}

TEST(LineScore, LineWithoutVoicedReferenceNeverChanges) {
  Judged line;
  line.reference.assign(60, 0);  // D = 0
  line.Buffer(Track(600), 1, 5);
  line.Buffer(Track(600), 2, 6);
  line.Buffer(Track(600), 3, 7);
  EXPECT_EQ(line.lineScore, 0.0f);
  EXPECT_EQ(line.scoring.lineCredit, 0.0f);
  EXPECT_GT(line.scoring.missCredit, 0.0f);  // only the first buffer's miss
}

TEST(Marker, SilenceRightAfterSingingStaysOnTheMelodyOnce) {
  Judged line;
  line.reference.assign(100, 620);
  line.Buffer(Track(620), 2, 10);
  const float credit = line.scoring.lineCredit;
  MarkerPlacement first = line.Buffer(Track(0), 2, 20);
  EXPECT_EQ(first.hitFlag, 1);
  EXPECT_EQ(first.y, MarkerRow(620));
  EXPECT_EQ(line.scoring.lineCredit, credit);  // no credit
  MarkerPlacement second = line.Buffer(Track(0), 2, 30);
  EXPECT_EQ(second.hitFlag, 0);
  EXPECT_EQ(second.y, kNeutralRow);
}

TEST(Marker, SilenceBeforeANoteTwoFramesAheadLooksThere) {
  Judged line;
  line.reference.assign(100, 0);
  line.reference[42] = 700;
  line.Buffer(Track(600), 2, 30);  // rest: no credit, marker follows the singer
  MarkerPlacement marker = line.Buffer(Track(0), 2, 40);
  EXPECT_EQ(marker.hitFlag, 1);
  EXPECT_EQ(marker.y, MarkerRow(700));
}

TEST(Marker, DuringARestFollowsTheSingerAndFlagsANoteWithinTwentyFrames) {
  Judged line;
  line.reference.assign(100, 0);
  line.reference[70] = 600;
  line.scoring.keyOffset = 20;
  MarkerPlacement soon = line.Buffer(Track(640), 2, 50);  // frame 70 = C + 20
  EXPECT_EQ(soon.hitFlag, 1);
  EXPECT_EQ(soon.y, MarkerRow(620));  // the singer's pitch moved into the melody's key
  MarkerPlacement later = line.Buffer(Track(640), 2, 49);  // frame 69 is a rest
  EXPECT_EQ(later.hitFlag, 0);
  EXPECT_EQ(line.lineScore, 0.0f);
}

TEST(Marker, CursorOutsideTheLineGivesNoCredit) {
  Judged line;
  line.reference.assign(10, 600);
  for (int cursor : {-1, 10, 11}) {
    MarkerPlacement marker = line.Buffer(Track(600), 2, cursor);
    EXPECT_EQ(marker.y, kNeutralRow);
    EXPECT_EQ(marker.hitFlag + marker.nearFlag + marker.missFlag, 0);
  }
  line.Buffer(Track(600), 0, 3);  // no voiced buffer yet
  EXPECT_EQ(line.scoring.lineCredit, 0.0f);
}

TEST(Helpers, MostFrequentPitchPrefersTheFirstOfEqualCounts) {
  const std::vector<int> tie = {0, 610, 600, 600, 610, 0};
  EXPECT_EQ(MostFrequentPitch(tie.data(), static_cast<int>(tie.size())), 610);
  const std::vector<int> majority = {610, 600, 600};
  EXPECT_EQ(MostFrequentPitch(majority.data(), 3), 600);
  const std::vector<int> silent = {0, 0, 0};
  EXPECT_EQ(MostFrequentPitch(silent.data(), 3), 0);
}

TEST(Helpers, MarkerRowsOfTheLane) {
  EXPECT_EQ(MarkerRow(400), 161);
  EXPECT_EQ(MarkerRow(600), 126);
  EXPECT_EQ(MarkerRow(800), 91);
  EXPECT_EQ(MarkerRow(601), 125);  // 125.825 truncated
  EXPECT_EQ(kNeutralRow, 109);
}

struct GradeCase {
  float score;
  int grade;
};
class Grades : public ::testing::TestWithParam<GradeCase> {};
TEST_P(Grades, FollowTheBands) { EXPECT_EQ(GradeForScore(GetParam().score), GetParam().grade); }
INSTANTIATE_TEST_SUITE_P(Bands, Grades,
                         ::testing::Values(GradeCase{100.0f, 1}, GradeCase{90.0f, 1}, GradeCase{89.99f, 2},
                                           GradeCase{75.0f, 2}, GradeCase{74.9f, 3}, GradeCase{60.0f, 3},
                                           GradeCase{59.9f, 4}, GradeCase{30.0f, 4}, GradeCase{29.9f, 5},
                                           GradeCase{0.0f, 5}));

}  // namespace
}  // namespace sonavera::judge
