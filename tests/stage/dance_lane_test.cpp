#include <gtest/gtest.h>

#include "stage_rig.h"

namespace sonavera::testing {
namespace {

using stage::HGEK_DOWN;
using stage::HGEK_LEFT;
using stage::HGEK_RIGHT;
using stage::HGEK_UP;

class FakeStick : public stage::StickInput {
 public:
  bool DirectionHeld(stage::DanceDirection direction) override { return held[direction]; }
  bool held[4] = {false, false, false, false};
};

class DanceLaneTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(rig.Init()); }

  void StartDance(const std::vector<float>& times, const std::vector<int>& codes) {
    rig.song.danceTimes = times;
    rig.song.danceCodes = codes;
    rig.stage.danceOn = true;
    rig.stage.SetStickInput(&stick);
    rig.Start();
  }
  void Key(int key, bool down) { rig.stage.hge->Input_Feed(key, down); }

  StageRig rig;
  FakeStick stick;
};

// An arrow answered at a distance from the target gets its rating; ratings 2..6 end the combo.
TEST_F(DanceLaneTest, ArrowRatingsByDistanceFromTheTarget) {
  struct Case {
    float offset;
    int rating;
    float hits;
  };
  for (const Case c : {Case{12, 1, 1.0f}, Case{-12, 1, 1.0f}, Case{13, 2, 0.9f}, Case{30, 3, 0.8f},
                       Case{40, 4, 0.65f}, Case{62, 5, 0.0f}, Case{-62, 5, 0.0f}, Case{63, 6, 0.0f}}) {
    StageRig fresh;
    ASSERT_TRUE(fresh.Init());
    fresh.song.danceTimes = {5.0f};
    fresh.song.danceCodes = {1};
    fresh.stage.danceOn = true;
    fresh.Start();
    fresh.stage.dance.combo = 3;
    fresh.stage.dance.arrowX[0] = 80.0f + c.offset;  // not released yet: the frame does not move it
    fresh.stage.hge->Input_Feed(HGEK_RIGHT, true);
    fresh.TickAt(5.0f);
    EXPECT_EQ(fresh.stage.dance.judgement, c.rating) << c.offset;
    EXPECT_TRUE(fresh.stage.dance.judged);
    EXPECT_EQ(fresh.stage.dance.judgementTimer, 44);  // 45, and this frame's picture counted
    EXPECT_FLOAT_EQ(fresh.stage.dance.danceHits, c.hits) << c.offset;
    EXPECT_EQ(fresh.stage.dance.combo, c.rating == 1 ? 4 : 0) << c.offset;
    if (c.rating == 1) {
      EXPECT_FLOAT_EQ(fresh.stage.dance.arrowX[0], -64.0f);
    }
  }
}

TEST_F(DanceLaneTest, PressOutsideTheWindowPulsesButRatesNothingAndTheEventPassesAsAMiss) {
  StartDance({5.0f, 5.5f, 6.0f}, {1, 0, 1000});
  Key(HGEK_RIGHT, true);
  rig.TickAt(4.5f);
  EXPECT_FALSE(rig.stage.dance.judged);
  EXPECT_EQ(rig.stage.dance.judgement, 0);
  EXPECT_TRUE(rig.stage.dance.pressLatch[0][stage::kRight]);
  Key(HGEK_RIGHT, false);
  rig.TickAt(5.33f);  // 0.32 s after the event: it passes unanswered
  EXPECT_EQ(rig.stage.dance.judgement, 5);
  EXPECT_EQ(rig.stage.dance.danceEvents, 1);
  EXPECT_EQ(rig.stage.dance.judgePos, 2);  // the empty event is skipped
  rig.TickAt(6.4f);
  EXPECT_EQ(rig.stage.dance.danceEvents, 2);
}

TEST_F(DanceLaneTest, HeldKeyIsOnePressUntilReleased) {
  StartDance({5.0f, 5.2f}, {1, 1});
  Key(HGEK_RIGHT, true);
  rig.TickAt(4.0f);
  EXPECT_EQ(rig.stage.dance.stepPulse[stage::kRight], 9);  // pulsed to 10, drawn once
  for (int i = 0; i < 3; ++i) rig.TickAt(4.0f);
  EXPECT_EQ(rig.stage.dance.stepPulse[stage::kRight], 6);  // counting down: no new press
  rig.stage.dance.arrowX[0] = 80.0f;
  rig.TickAt(5.0f);  // the held key does not answer the event
  EXPECT_FALSE(rig.stage.dance.judged);
  Key(HGEK_RIGHT, false);
  rig.TickAt(5.0f);
  EXPECT_FALSE(rig.stage.dance.pressLatch[0][stage::kRight]);
  EXPECT_FALSE(rig.stage.dance.pressLatch[1][stage::kRight]);
  Key(HGEK_RIGHT, true);
  rig.TickAt(5.0f);
  EXPECT_TRUE(rig.stage.dance.judged);
  EXPECT_EQ(rig.stage.dance.judgement, 1);
}

TEST_F(DanceLaneTest, StickFlagsAnswerLikeKeysAndLatchUntilLetGo) {
  StartDance({5.0f}, {1000});
  rig.stage.dance.arrowX[0] = 80.0f;
  stick.held[stage::kLeft] = true;
  rig.TickAt(5.0f);
  EXPECT_EQ(rig.stage.dance.judgement, 1);
  rig.TickAt(5.0f);
  EXPECT_TRUE(rig.stage.dance.pressLatch[0][stage::kLeft]);  // still held on the stick
  stick.held[stage::kLeft] = false;
  rig.TickAt(5.0f);
  EXPECT_FALSE(rig.stage.dance.pressLatch[0][stage::kLeft]);
}

TEST_F(DanceLaneTest, StepEventNeedsEveryAskedDirection) {
  // Marker, then a step asking for left and right.
  StartDance({4.0f, 5.0f, 7.0f}, {1111, 1001, 1111});
  rig.TickAt(4.4f);  // the marker passes: inside the section
  EXPECT_TRUE(rig.stage.dance.inSection);
  rig.stage.dance.stepY[1] = 264.4f;
  Key(HGEK_LEFT, true);
  rig.TickAt(5.0f);
  EXPECT_FALSE(rig.stage.dance.judged);
  EXPECT_EQ(rig.stage.dance.stepNeed, (std::array<int, 4>{1, 0, 0, 1}));
  Key(HGEK_RIGHT, true);
  rig.TickAt(5.0f);
  EXPECT_TRUE(rig.stage.dance.judged);
  EXPECT_EQ(rig.stage.dance.judgement, 1);
  EXPECT_FLOAT_EQ(rig.stage.dance.stepY[1], -64.0f);
  EXPECT_EQ(rig.stage.dance.stepGlowTimer, 3);
}

TEST_F(DanceLaneTest, StepRatingsByDistanceFromTheTargetRow) {
  StartDance({4.0f, 5.0f}, {1111, 100});
  rig.TickAt(4.4f);
  rig.stage.dance.stepY[1] = 264.4f + 7.0f;  // 7 px: rating 2 (6.86 < 7 < 13.72)
  Key(HGEK_DOWN, true);
  rig.TickAt(5.0f);
  EXPECT_EQ(rig.stage.dance.judgement, 2);
  EXPECT_FLOAT_EQ(rig.stage.dance.danceHits, 0.9f);
}

TEST_F(DanceLaneTest, ReleaseMovesEventsToTheRowOrTheSection) {
  StartDance({5.0f, 6.0f, 7.0f, 8.0f}, {10, 1111, 11, 1111});
  rig.TickAt(5.0f - 3.77f + 0.01f);
  EXPECT_EQ(rig.stage.dance.arrowEnd, 1);
  rig.TickAt(6.0f - 3.77f + 0.01f);
  EXPECT_TRUE(rig.stage.dance.releaseInSection);
  EXPECT_EQ(rig.stage.dance.stepFirst, 2);
  rig.TickAt(7.0f - 3.77f + 0.01f);
  EXPECT_EQ(rig.stage.dance.stepEnd, 3);
  EXPECT_EQ(rig.stage.dance.arrowEnd, 1);
  rig.TickAt(8.0f - 3.77f + 0.01f);
  EXPECT_FALSE(rig.stage.dance.releaseInSection);
  EXPECT_EQ(rig.stage.dance.arrowFirst, 4);
}

TEST_F(DanceLaneTest, ComboDigitsShowFromFive) {
  StartDance({50.0f}, {1});
  for (int i = 0; i < 320; ++i) rig.TickAt(1.0f);  // the ready/go banner has passed
  rig.stage.dance.combo = 4;
  rig.TickAt(1.0f);
  const QImage four = rig.Frame();
  rig.TickAt(1.0f);
  EXPECT_TRUE(DiffBox(four, rig.Frame(), QRect(330, 200, 170, 30)).isNull());
  rig.stage.dance.combo = 5;
  rig.TickAt(1.0f);
  const QRect lit = DiffBox(four, rig.Frame(), QRect(330, 200, 170, 30));
  ASSERT_FALSE(lit.isNull());
  EXPECT_GE(lit.right(), 398 + 40);  // the label
  EXPECT_LE(lit.left(), 390);        // the units digit
  EXPECT_GT(lit.left(), 346 - 22);   // no hundreds or tens digit
}

TEST_F(DanceLaneTest, LineMarksFollowTheDanceHitsOfEachLine) {
  StartDance({50.0f}, {1});
  rig.stage.dance.lineHitSum = 1.9f;
  rig.stage.dance.lineHitCount = 2;  // ratio 0.95
  rig.judgeState.lastLineScore = 80.0f;
  rig.app.lineGrade = 2;
  rig.TickAt(1.0f);
  EXPECT_EQ(rig.stage.dance.bestAllRoundLine, 0);
  EXPECT_FLOAT_EQ(rig.stage.dance.bestAllRound, 81.9f);
  EXPECT_EQ(rig.stage.dance.bestDanceLine, 0);
  EXPECT_EQ(rig.stage.dance.breathLine, -1);
  EXPECT_EQ(rig.stage.dance.lineHitCount, 0);
  for (int i = 0; i < 70; ++i) rig.TickAt(1.0f);
  rig.stage.dance.lineHitSum = 2.0f;
  rig.stage.dance.lineHitCount = 2;
  rig.judgeState.lastLineScore = 50.0f;
  rig.app.lineGrade = 4;
  rig.TickAt(1.0f);
  EXPECT_EQ(rig.stage.dance.breathLine, 1);
  EXPECT_EQ(rig.stage.dance.bestDanceLine, 1);
  EXPECT_EQ(rig.stage.dance.bestAllRoundLine, 0);
}

TEST_F(DanceLaneTest, DanceScoreIsTheShareOfHitsAndZeroWithoutEvents) {
  StartDance({50.0f}, {1});
  EXPECT_EQ(rig.stage.DanceScore(), 0.0f);
  rig.stage.dance.danceEvents = 4;
  rig.stage.dance.danceHits = 3.0f;
  EXPECT_FLOAT_EQ(rig.stage.DanceScore(), 75.0f);
  rig.app.finalScore = 85.0f;
  EXPECT_FLOAT_EQ(rig.stage.OverallScore(), 80.0f);
  rig.stage.pitch.maxSongPosSec = 100;
  EXPECT_NEAR(rig.stage.Kcal(), 100 * (0.207 * 75 + 0.08 * 85) / 100, 1e-3);
}

}  // namespace
}  // namespace sonavera::testing
