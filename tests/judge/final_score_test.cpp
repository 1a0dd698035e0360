#include "judge/final_score.h"

#include <gtest/gtest.h>

#include <vector>

namespace sonavera::judge {
namespace {

TEST(SingleSongFinalScore, AveragesAllButTheLastSungLine) {
  EXPECT_FLOAT_EQ(SingleSongFinalScore(150.0f, 5), 50.0f);  // three counted lines
  EXPECT_FLOAT_EQ(SingleSongFinalScore(300.0f, 5), kTopScore);  // exactly 100 reads 99.9
  EXPECT_FLOAT_EQ(SingleSongFinalScore(299.0f, 5), 299.0f / 3);
}

TEST(SingleSongFinalScore, OneSungLineScoresZeroInsteadOfDividingByZero) {
  EXPECT_EQ(SingleSongFinalScore(0.0f, 2), 0.0f);
  EXPECT_EQ(SingleSongFinalScore(80.0f, 2), 0.0f);
  EXPECT_EQ(SingleSongFinalScore(0.0f, 1), 0.0f);
}

TEST(MedleyScore, AveragesOverTheSungLinesOfAllSongs) {
  EXPECT_FLOAT_EQ(MedleyScore(320.0f, 8), 40.0f);
  EXPECT_EQ(MedleyScore(50.0f, 0), 0.0f);
}

// Draws the values given, in order.
RandomDraw Draws(std::vector<int> values) {
  auto next = std::make_shared<size_t>(0);
  return [values, next] { return values[(*next)++ % values.size()]; };
}

TEST(KtvFinalScore, BelowEightyPercentOfTheReferenceScoresZero) {
  EXPECT_EQ(KtvFinalScore(25, 100, 0.5f, Draws({1})), 0.0f);     // half the reference
  EXPECT_EQ(KtvFinalScore(395, 1000, 0.5f, Draws({1})), 0.0f);   // 79 %
  EXPECT_FLOAT_EQ(KtvFinalScore(40, 100, 0.5f, Draws({1})), 80.0f);
  EXPECT_FLOAT_EQ(KtvFinalScore(45, 100, 0.5f, Draws({1})), 90.0f);
  EXPECT_FLOAT_EQ(KtvFinalScore(475, 1000, 0.5f, Draws({1})), 95.0f);  // 95 itself is kept
}

TEST(KtvFinalScore, AboveNinetyFiveIsDrawnFromNinetyToNinetySix) {
  // 120 % and 96 % of the reference, over the extremes of the two draws.
  for (int loud : {60, 48}) {
    for (const std::vector<int>& draws :
         std::vector<std::vector<int>>{{0, 0}, {32767, 32767}, {244, 245}, {59999, 1}, {12345, 6789}}) {
      const float score = KtvFinalScore(loud, 100, 0.5f, Draws(draws));
      EXPECT_GE(score, 90.0f);
      EXPECT_LT(score, 96.0f);
    }
  }
  EXPECT_FLOAT_EQ(KtvFinalScore(60, 100, 0.5f, Draws({0, 5})), 90.0f);
  EXPECT_FLOAT_EQ(KtvFinalScore(60, 100, 0.5f, Draws({3, 5})), 90.0015f);
  const float timed = KtvFinalScore(60, 100, 0.5f);
  EXPECT_GE(timed, 90.0f);
  EXPECT_LT(timed, 96.0f);
}

TEST(KtvFinalScore, NoBlocksOrNoReferenceScoresZero) {
  EXPECT_EQ(KtvFinalScore(0, 0, 0.5f, Draws({1})), 0.0f);
  EXPECT_EQ(KtvFinalScore(50, 100, 0.0f, Draws({1})), 0.0f);
  EXPECT_EQ(KtvLoudnessRatio(50, 100, 0.0f), 0.0);
  EXPECT_DOUBLE_EQ(KtvLoudnessRatio(30, 100, 0.25f), 120.0);
}

}  // namespace
}  // namespace sonavera::judge
