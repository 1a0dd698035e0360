#include "analysis/band_pass_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/signals.h"

using namespace sonavera::analysis;

namespace {

void VoiceBand(std::vector<int16_t>& block) {
  BandPassBlock(block.data(), static_cast<int>(block.size()), kBandPass, 2, 70.0, 1000.0, 8000.0,
                kHammingWindow);
}

TEST(DesignFir, VoiceBandTaps) {
  double taps[3];
  DesignFir(2, kBandPass, 70.0 / 8000.0, 1000.0 / 8000.0, kHammingWindow, taps);
  EXPECT_NEAR(taps[0], 0.0166070, 5e-8);
  EXPECT_DOUBLE_EQ(taps[1], 2.0 * (0.125 - 0.00875));
  EXPECT_EQ(taps[2], taps[0]);
}

TEST(DesignFir, OddOrderIsSymmetricWithoutCentreTap) {
  double taps[6];
  DesignFir(5, kBandPass, 0.01, 0.2, kHammingWindow, taps);
  const double pi = 4.0 * std::atan(1.0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(taps[i], taps[5 - i]);
    const double s = i - 2.5;
    const double window = 0.54 - 0.46 * std::cos(2.0 * pi * i / 5.0);
    EXPECT_NEAR(taps[i], (std::sin(2.0 * pi * 0.2 * s) - std::sin(2.0 * pi * 0.01 * s)) / (pi * s) * window,
                1e-15);
  }
}

TEST(DesignFir, UnknownBandTypeGivesNoFilter) {
  double taps[3] = {9.0, 9.0, 9.0};
  DesignFir(2, 1, 0.01, 0.2, kHammingWindow, taps);
  EXPECT_EQ(taps[0] + taps[1] + taps[2], 0.0);
}

TEST(BandPassBlock, ImpulseResponseTruncatedTowardZero) {
  std::vector<int16_t> block = {10000, 0, 0, 0, -10000, 0, 0};
  VoiceBand(block);
  // 166.07, 2325, 166.07; negative values truncate up toward zero.
  EXPECT_EQ(block, (std::vector<int16_t>{166, 2325, 166, 0, -166, -2325, -166}));
}

TEST(BandPassBlock, ZeroHistoryAndThreeTapSumInPlace) {
  auto block = signals::Noise(1280, 3);
  const auto input = block;
  VoiceBand(block);
  double taps[3];
  DesignFir(2, kBandPass, 70.0 / 8000.0, 1000.0 / 8000.0, kHammingWindow, taps);
  for (size_t n = 0; n < input.size(); ++n) {
    const double previous = n >= 1 ? input[n - 1] : 0.0;
    const double beforeThat = n >= 2 ? input[n - 2] : 0.0;
    const double y = taps[0] * input[n] + taps[1] * previous + taps[2] * beforeThat;
    ASSERT_EQ(block[n], static_cast<int16_t>(y)) << "sample " << n;
  }
}

TEST(BandPassBlock, EmptyOrRefusedBlocksAreUntouched) {
  auto block = signals::Noise(16, 4);
  const auto original = block;
  BandPassBlock(block.data(), 0, kBandPass, 2, 70.0, 1000.0, 8000.0, kHammingWindow);
  BandPassBlock(block.data(), -3, kBandPass, 2, 70.0, 1000.0, 8000.0, kHammingWindow);
  BandPassBlock(block.data(), 16, 1, 2, 70.0, 1000.0, 8000.0, kHammingWindow);  // no such design
  BandPassBlock(block.data(), 16, kBandPass, 2, 70.0, 1000.0, 0.0, kHammingWindow);
  BandPassBlock(block.data(), 16, kBandPass, -1, 70.0, 1000.0, 8000.0, kHammingWindow);
  EXPECT_EQ(block, original);
}

TEST(BandPassBlock, GainAboveOneSaturatesInsteadOfWrapping) {
  // 1000..3000 Hz with a rectangular window: taps -0.318, 0, 0.5, 0, -0.318, so this input sums to
  // about 1.137 times full scale at its last sample.
  std::vector<int16_t> block = {-32767, 0, 32767, 0, -32767};
  BandPassBlock(block.data(), 5, kBandPass, 4, 1000.0, 3000.0, 8000.0, 0);
  EXPECT_EQ(block[4], 32767);
  std::vector<int16_t> negative = {32767, 0, -32767, 0, 32767};
  BandPassBlock(negative.data(), 5, kBandPass, 4, 1000.0, 3000.0, 8000.0, 0);
  EXPECT_EQ(negative[4], -32768);
}

TEST(BandPassBlock, LongFilterUsesTheHeapAndStaysSymmetric) {
  std::vector<int16_t> block(300, 0);
  block[0] = 20000;
  BandPassBlock(block.data(), 300, kBandPass, 100, 300.0, 1200.0, 8000.0, kHammingWindow);
  for (int i = 0; i <= 50; ++i) EXPECT_NEAR(block[i], block[100 - i], 1) << i;
  for (int i = 101; i < 300; ++i) EXPECT_EQ(block[i], 0);
}

}  // namespace
