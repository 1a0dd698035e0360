#include "analysis/amdf.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <numeric>
#include <string>
#include <tuple>

#include "analysis/pitch_tracker.h"
#include "analysis/signals.h"

using namespace sonavera::analysis;

namespace {

// The difference rule in its plainest form, the yardstick for the vector kernels.
std::vector<int32_t> ReferenceDifferences(const std::vector<int16_t>& x, int firstLag) {
  const int n = static_cast<int>(x.size());
  std::vector<int32_t> d(x.size(), -7);
  for (int j = firstLag; j < n; ++j) {
    int32_t sum = 0;
    for (int k = 0; k <= n - 1 - j; ++k) sum += std::abs(x[k] - x[k + j]);
    d[j] = sum;
  }
  return d;
}

// Every lag the dip rule accepts as a candidate, written out on the reference differences.
std::vector<int> ReferenceDips(const std::vector<int16_t>& x, int rate) {
  const int n = static_cast<int>(x.size());
  const int minLag = rate / 1047;
  const auto d = ReferenceDifferences(x, minLag - 1);
  const int32_t largest = *std::max_element(d.begin() + (minLag - 1), d.end());
  std::vector<int> dips;
  for (int i = minLag; i <= n - 2; ++i) {
    if (d[i - 1] >= d[i] && d[i] < d[i + 1] && d[i] <= largest / 4) dips.push_back(i);
  }
  return dips;
}

// AmdfFrequency step by step: first dip, harmonic test on the second.
float ReferenceFrequency(const std::vector<int16_t>& x, int rate) {
  const auto dips = ReferenceDips(x, rate);
  if (dips.empty()) return 0.0f;
  if (dips.size() >= 2 && std::abs((dips[1] - dips[0]) * 10 / dips[0] - 10) > 1) return 0.0f;
  return static_cast<float>(rate) / static_cast<float>(dips[0]);
}

// A frame that repeats exactly after `firstLag` and after `secondLag` samples. It is kept shorter than
// firstLag + secondLag - gcd, so the two periods do not force a shorter one: each class of positions
// tied together by them gets its own value (a ramp over the classes), so those two lags give zero
// differences and the lags between them do not dip under a quarter of the largest.
std::vector<int16_t> TwoPeriodFrame(int firstLag, int secondLag, int length) {
  std::vector<int> cls(static_cast<size_t>(length));
  std::iota(cls.begin(), cls.end(), 0);
  auto root = [&](int i) {
    while (cls[i] != i) i = cls[i];
    return i;
  };
  for (int lag : {firstLag, secondLag}) {
    for (int k = 0; k + lag < length; ++k) cls[root(k + lag)] = root(k);
  }
  std::vector<int16_t> frame(static_cast<size_t>(length));
  for (int k = 0; k < length; ++k) frame[k] = static_cast<int16_t>(((root(k) * 2) % 61 - 30) * 1000);
  return frame;
}

const char* KernelName(AmdfKernel kernel) {
  switch (kernel) {
    case AmdfKernel::kScalar:
      return "Scalar";
    case AmdfKernel::kSse2:
      return "Sse2";
    case AmdfKernel::kAvx2:
      return "Avx2";
  }
  return "?";
}

class AmdfKernels : public ::testing::TestWithParam<AmdfKernel> {
 protected:
  void SetUp() override {
    if (!AmdfKernelAvailable(GetParam())) GTEST_SKIP() << KernelName(GetParam()) << " not available here";
  }
  void ExpectReference(const std::vector<int16_t>& frame, int firstLag) {
    std::vector<int32_t> d(frame.size(), -7);
    AmdfDifferencesWith(GetParam(), frame.data(), static_cast<int>(frame.size()), firstLag, d.data());
    EXPECT_EQ(d, ReferenceDifferences(frame, firstLag))
        << "length " << frame.size() << " first lag " << firstLag;
  }
};

TEST_P(AmdfKernels, RandomFramesOfEveryTailLength) {
  // Lengths around the vector widths exercise every masked tail.
  for (int length = 1; length <= 70; ++length) ExpectReference(signals::Noise(length, 100 + length), 0);
  for (int length : {255, 256, 257, 1023, 1024, 1025, 1500})
    ExpectReference(signals::Noise(length, length), 9);
}

TEST_P(AmdfKernels, ExtremeSamplesNeedTheFullUnsignedDifference) {
  std::vector<int16_t> frame(256);
  for (size_t k = 0; k < frame.size(); ++k) frame[k] = (k / 3) % 2 ? int16_t{32767} : int16_t{-32768};
  ExpectReference(frame, 9);
  ExpectReference(signals::Noise(300, 5, 32000, 32767), 1);
}

TEST_P(AmdfKernels, VoiceLikeFrames) {
  for (double hz : {98.0, 196.0, 330.0, 523.0, 784.0}) {
    const auto voice = signals::VoiceLike(hz, 11025, 256, static_cast<unsigned>(hz));
    ExpectReference(voice, 9);
  }
}

TEST_P(AmdfKernels, FirstLagAtOrPastTheEndWritesNothing) {
  const auto frame = signals::Noise(32, 1);
  std::vector<int32_t> d(frame.size(), -7);
  AmdfDifferencesWith(GetParam(), frame.data(), 32, 32, d.data());
  EXPECT_EQ(d, std::vector<int32_t>(32, -7));
}

INSTANTIATE_TEST_SUITE_P(All, AmdfKernels,
                         ::testing::Values(AmdfKernel::kScalar, AmdfKernel::kSse2, AmdfKernel::kAvx2),
                         [](const ::testing::TestParamInfo<AmdfKernel>& info) {
                           return KernelName(info.param);
                         });

TEST(AmdfFrequency, MatchesTheStepByStepRuleOnVoiceAndNoise) {
  for (double hz = 70.0; hz < 1100.0; hz *= 1.09) {
    const auto voice = signals::VoiceLike(hz, 11025, 256, static_cast<unsigned>(hz * 10));
    EXPECT_EQ(AmdfFrequency(voice.data(), 256, 11025), ReferenceFrequency(voice, 11025)) << hz << " Hz";
  }
  for (unsigned seed = 0; seed < 20; ++seed) {
    const auto noise = signals::Noise(256, seed, -3000, 3000);
    EXPECT_EQ(AmdfFrequency(noise.data(), 256, 11025), ReferenceFrequency(noise, 11025)) << "seed " << seed;
  }
}

TEST(AmdfFrequency, SineDipsAtWholeLags) {
  // 440 Hz at 11025 Hz: dips at lags 25 and 50, so 11025 / 25 = 441 Hz.
  const auto sine = signals::Sine(440.0, 11025, 256);
  EXPECT_FLOAT_EQ(AmdfFrequency(sine.data(), 256, 11025), 441.0f);
  // 1000 Hz dips at lag 11, above the highest frequency the gate keeps but still measured.
  const auto high = signals::Sine(1000.0, 11025, 256);
  EXPECT_FLOAT_EQ(AmdfFrequency(high.data(), 256, 11025), 11025.0f / 11.0f);
}

TEST(AmdfFrequency, SilenceHasNoDip) {
  const std::vector<int16_t> silence(256, 0);
  EXPECT_EQ(AmdfFrequency(silence.data(), 256, 11025), 0.0f);
  const std::vector<int16_t> constant(256, 1234);
  EXPECT_EQ(AmdfFrequency(constant.data(), 256, 11025), 0.0f);
}

TEST(AmdfFrequency, DegenerateInputsReadNoPitch) {
  const auto sine = signals::Sine(440.0, 11025, 256);
  EXPECT_EQ(AmdfFrequency(sine.data(), 0, 11025), 0.0f);
  EXPECT_EQ(AmdfFrequency(sine.data(), 11, 11025), 0.0f);  // no lag between 10 and length - 2
  EXPECT_EQ(AmdfFrequency(sine.data(), 256, 0), 0.0f);
  EXPECT_EQ(AmdfFrequency(nullptr, 256, 11025), 0.0f);
  // Below 1047 Hz the smallest lag would be 0; lag 1 is the first period considered instead.
  const std::vector<int16_t> alternating = {100, -100, 100, -100, 100, -100, 100, -100};
  EXPECT_FLOAT_EQ(AmdfFrequency(alternating.data(), 8, 1000), 500.0f);
}

TEST(AmdfFrequency, FramesTooLongForThirtyTwoBitSums) {
  const auto sine = signals::Sine(441.0, 11025, kMaxAmdfFrame32 + 100, 30000.0);
  EXPECT_FLOAT_EQ(AmdfFrequency(sine.data(), static_cast<int>(sine.size()), 11025), 441.0f);
}

// Harmonic test on frames with dips at L1 and L2. The rate puts the smallest lag at L1 - 1 so the
// frame's own dips are the candidates. Above twice the period a frame that repeats exactly has a dip
// at 2 * L1 first, so larger ratios are checked on hand-made differences below.
class HarmonicTest : public ::testing::TestWithParam<std::tuple<int, int, bool>> {};

TEST_P(HarmonicTest, SecondDipMustBeNearTwiceTheFirst) {
  const auto [first, second, accepted] = GetParam();
  const int rate = (first - 1) * 1047;
  const auto frame = TwoPeriodFrame(first, second, second + 3);
  const auto dips = ReferenceDips(frame, rate);
  ASSERT_GE(dips.size(), 2u);
  ASSERT_EQ(dips[0], first);
  ASSERT_EQ(dips[1], second);
  const float expected = accepted ? static_cast<float>(rate) / first : 0.0f;
  EXPECT_EQ(AmdfFrequency(frame.data(), static_cast<int>(frame.size()), rate), expected);
}

INSTANTIATE_TEST_SUITE_P(Ratios, HarmonicTest,
                         ::testing::Values(std::make_tuple(20, 37, false),  // 1.85: (17 * 10) / 20 = 8
                                           std::make_tuple(20, 38, true),   // 1.9: 9
                                           std::make_tuple(20, 40, true),   // 2.0
                                           std::make_tuple(30, 56, false),  // 1.87: 8
                                           std::make_tuple(30, 60, true)));

TEST(PickAmdfFrequency, RulesOnHandMadeDifferences) {
  // Lags 0..11 with the smallest lag 2; the largest difference is 100, so dips must be at most 25.
  const std::vector<int32_t> oneDip = {0, 100, 90, 20, 60, 80, 70, 60, 50, 40, 30, 20};
  EXPECT_FLOAT_EQ(PickAmdfFrequency(oneDip.data(), 12, 2, 300), 100.0f);  // lag 3
  // A flat-bottomed dip takes the last lag of the flat run.
  const std::vector<int32_t> flat = {0, 100, 90, 20, 20, 20, 70, 80, 90, 95, 99, 99};
  EXPECT_FLOAT_EQ(PickAmdfFrequency(flat.data(), 12, 2, 300), 60.0f);  // lag 5
  // A dip above a quarter of the largest is no candidate; 26 > 100 / 4.
  const std::vector<int32_t> shallow = {0, 100, 90, 26, 60, 80, 70, 60, 55, 50, 45, 40};
  EXPECT_EQ(PickAmdfFrequency(shallow.data(), 12, 2, 300), 0.0f);
  // Second dip at lag 7 = 2.33 times lag 3: rejected; at lag 6 (2.0 times): accepted.
  const std::vector<int32_t> farSecond = {0, 100, 90, 10, 60, 80, 70, 5, 50, 60, 70, 80};
  EXPECT_EQ(PickAmdfFrequency(farSecond.data(), 12, 2, 300), 0.0f);
  const std::vector<int32_t> nearSecond = {0, 100, 90, 10, 60, 80, 5, 50, 60, 70, 80, 90};
  EXPECT_FLOAT_EQ(PickAmdfFrequency(nearSecond.data(), 12, 2, 300), 100.0f);
}

TEST(PickAmdfFrequency, HarmonicRatiosAboveTwo) {
  // First dip at lag 20, second at 42 (2.1: accepted), 43 (2.15: accepted) or 44 (2.2: rejected).
  for (const auto& [second, accepted] : {std::pair{42, true}, std::pair{43, true}, std::pair{44, false}}) {
    std::vector<int32_t> d(50, 1000);
    d[20] = 0;
    d[second] = 0;
    EXPECT_EQ(PickAmdfFrequency(d.data(), 50, 10, 11025), accepted ? 11025.0f / 20.0f : 0.0f) << second;
  }
  // The last lag (length - 1) is never a candidate: it has no right neighbour.
  const std::vector<int32_t> dipAtEnd = {0, 100, 90, 80, 70, 60, 50, 40, 30, 20, 10, 0};
  EXPECT_EQ(PickAmdfFrequency(dipAtEnd.data(), 12, 2, 300), 0.0f);
}

}  // namespace
