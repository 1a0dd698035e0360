#include "analysis/resample.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/signals.h"

using namespace sonavera::analysis;

namespace {

// The interpolation rule written out per sample, with the fraction from a double quotient.
std::vector<int16_t> ReferenceResample(const std::vector<int16_t>& x, int rate) {
  const int length = static_cast<int>(std::floor(static_cast<double>(x.size() - 1) * 11025.0 / rate));
  std::vector<int16_t> out(static_cast<size_t>(std::max(length, 0)));
  for (int i = 0; i < length; ++i) {
    const int e = (i / 11025) * rate + ((i % 11025) * rate) / 11025;
    const int f = static_cast<int>(static_cast<double>(i) * 10.0 * rate / 11025.0 - 10.0 * e);
    out[i] = static_cast<int16_t>(((10 - f) * x[e] + f * x[e + 1]) / 10);
  }
  return out;
}

}  // namespace

TEST(Resample, LengthsOfCaptureBlocks) {
  EXPECT_EQ(ResampledLength(1280, 8000), 1762);
  EXPECT_EQ(ResampledLength(279, 8000), 383);
  EXPECT_EQ(ResampledLength(280, 8000), 384);
  EXPECT_EQ(ResampledLength(8001, 8000), 11025);
  EXPECT_EQ(ResampledLength(1, 8000), 0);
  EXPECT_EQ(ResampledLength(0, 8000), 0);
  // Whole seconds and the rest are counted apart, so long blocks do not overflow.
  EXPECT_EQ(ResampledLength(2000000000, 8000), int64_t{1999999999} * 11025 / 8000);
}

TEST(Resample, PositionsAreQuantisedToTenthsOfASample) {
  auto x = signals::Noise(8002, 7);
  x[0] = 1000;
  x[1] = -2000;
  x[2] = 3000;
  std::vector<int16_t> out(static_cast<size_t>(ResampledLength(8002, 8000)));
  ResampleToAnalysisRate(x.data(), 8002, 8000, out.data());
  EXPECT_EQ(out[0], 1000);
  EXPECT_EQ(out[1], (3 * 1000 + 7 * -2000) / 10);  // e = 0, f = 7
  EXPECT_EQ(out[2], (6 * -2000 + 4 * 3000) / 10);  // e = 1, f = 4
  EXPECT_EQ(out[11025], x[8000]);                  // f = 0 exactly one second in
}

TEST(Resample, DivisionTruncatesTowardZero) {
  const std::vector<int16_t> x = {-7, 0, 0};
  int16_t out[2];
  ResampleToAnalysisRate(x.data(), 3, 8000, out);
  EXPECT_EQ(out[1], -2);  // -21 / 10, not -3
}

class ResampleRates : public ::testing::TestWithParam<int> {};

TEST_P(ResampleRates, MatchesTheRuleSampleForSample) {
  const int rate = GetParam();
  const auto x = signals::Noise(3 * rate + 17, static_cast<unsigned>(rate));
  const auto expected = ReferenceResample(x, rate);
  ASSERT_EQ(ResampledLength(static_cast<int>(x.size()), rate), static_cast<int64_t>(expected.size()));
  std::vector<int16_t> out(expected.size());
  ResampleToAnalysisRate(x.data(), static_cast<int>(x.size()), rate, out.data());
  EXPECT_EQ(out, expected);
}

INSTANTIATE_TEST_SUITE_P(Rates, ResampleRates,
                         ::testing::Values(8000, 7999, 11024, 16000, 22050, 44100, 48000));
