#include "analysis/pitch_smoothing.h"

#include <gtest/gtest.h>

#include <vector>

using namespace sonavera::analysis;

namespace {

struct PassCase {
  const char* name;
  void (*pass)(int*, int);
  std::vector<int> input;
  std::vector<int> expected;
};

class SmoothingPasses : public ::testing::TestWithParam<PassCase> {};

TEST_P(SmoothingPasses, RewritesTheTrack) {
  std::vector<int> values = GetParam().input;
  GetParam().pass(values.data(), static_cast<int>(values.size()));
  EXPECT_EQ(values, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SmoothingPasses,
    ::testing::Values(
        // Hold: compares with the value already held, so a slow glide stays flat until it is a semitone away.
        PassCase{"HoldGlide", HoldSmallSteps, {600, 604, 608, 612}, {600, 600, 600, 612}},
        PassCase{"HoldKeepsSemitoneSteps", HoldSmallSteps, {600, 610, 601, 0, 9}, {600, 610, 610, 0, 0}},
        PassCase{"ThreePointSpike", ThreePointPass, {600, 700, 600}, {600, 600, 600}},
        PassCase{"ThreePointSpikeOnOneSideOnly", ThreePointPass, {600, 700, 660}, {600, 700, 660}},
        PassCase{"ThreePointSpikeOfExactly50", ThreePointPass, {600, 650, 600}, {600, 650, 600}},
        PassCase{"ThreePointIsolatedVoicedFrame", ThreePointPass, {0, 600, 0, 0}, {0, 0, 0, 0}},
        PassCase{"ThreePointClearsTwoBeforeSilence",
                 ThreePointPass,
                 {0, 0, 600, 610, 620, 630, 0, 0},
                 {0, 0, 600, 610, 0, 0, 0, 0}},
        PassCase{"ThreePointGapFilled", ThreePointPass, {600, 610, 0, 640, 650}, {0, 610, 625, 640, 650}},
        PassCase{"ThreePointTooShort", ThreePointPass, {0, 600}, {0, 600}},
        PassCase{"EndsFirstJumpOver50", ClearTrackEnds, {500, 551, 551}, {0, 551, 551}},
        PassCase{"EndsFirstJumpOf50Stays", ClearTrackEnds, {500, 550, 550}, {500, 550, 550}},
        PassCase{"EndsLastAnyDifference", ClearTrackEnds, {600, 600, 601}, {600, 600, 0}},
        PassCase{"EndsSingleValueAlone", ClearTrackEnds, {601}, {601}},
        PassCase{"AllPassesGlide", SmoothPitchTrack, {600, 604, 608, 612}, {600, 600, 600, 0}},
        PassCase{"AllPassesGap", SmoothPitchTrack, {600, 610, 0, 640, 650}, {0, 610, 625, 640, 0}},
        PassCase{
            "AllPassesSteadyNote", SmoothPitchTrack, {690, 692, 688, 690, 695}, {690, 690, 690, 690, 690}}),
    [](const ::testing::TestParamInfo<PassCase>& info) { return std::string(info.param.name); });

}  // namespace
