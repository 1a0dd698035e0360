#include "analysis/pitch_tracker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "analysis/resample.h"
#include "analysis/signals.h"

using namespace sonavera::analysis;

namespace {

std::vector<int> Track(const std::vector<int16_t>& samples, int rate = 8000) {
  std::vector<int> out(64, -1);
  const int frames = PitchTrack(samples.data(), static_cast<int>(samples.size()), rate, 256, 128, out.data());
  out.resize(static_cast<size_t>(frames));
  return out;
}

struct SineCase {
  double hz;
  int expected;
};

class SineReadings : public ::testing::TestWithParam<SineCase> {};

TEST_P(SineReadings, EveryFrameOfACaptureBuffer) {
  for (double amplitude : {8000.0, 800.0, 32000.0}) {
    const auto sine = signals::Sine(GetParam().hz, 8000, 1280, amplitude);
    EXPECT_EQ(Track(sine), std::vector<int>(11, GetParam().expected)) << "amplitude " << amplitude;
  }
}

INSTANTIATE_TEST_SUITE_P(Tones, SineReadings,
                         ::testing::Values(SineCase{440.0, 690}, SineCase{220.0, 570}, SineCase{110.0, 450},
                                           SineCase{800.0, 790}),
                         [](const ::testing::TestParamInfo<SineCase>& info) {
                           return std::to_string(static_cast<int>(info.param.hz)) + "Hz";
                         });

TEST(PitchTrack, SilenceReadsNoPitch) {
  EXPECT_EQ(Track(std::vector<int16_t>(1280, 0)), std::vector<int>(11, 0));
}

TEST(PitchTrack, TonesOutsideTheSungRangeReadZero) {
  // 1000 Hz dips at lag 11 (83.2 semitones); 82.4 Hz at lag 134 (82.3 Hz, 39.97 semitones).
  EXPECT_EQ(Track(signals::Sine(1000.0, 8000, 1280)), std::vector<int>(11, 0));
  EXPECT_EQ(Track(signals::Sine(82.4, 8000, 1280)), std::vector<int>(11, 0));
}

TEST(PitchTrack, ShortBlocks) {
  const auto sine = signals::Sine(440.0, 8000, 1280);
  std::vector<int> out(4, -1);
  // 279 samples resample to 383, which holds no frame with its hop; 280 hold one.
  EXPECT_EQ(PitchTrack(sine.data(), 279, 8000, 256, 128, out.data()), 0);
  EXPECT_EQ(PitchTrack(sine.data(), 257, 8000, 256, 128, out.data()), 0);
  EXPECT_EQ(out, std::vector<int>(4, -1));
  EXPECT_EQ(PitchTrack(sine.data(), 280, 8000, 256, 128, out.data()), 1);
  EXPECT_EQ(out[0], 690);
  EXPECT_EQ(PitchTrack(sine.data(), 372, 8000, 256, 128, out.data()), 1);
  EXPECT_EQ(PitchTrack(sine.data(), 373, 8000, 256, 128, out.data()), 2);
}

TEST(PitchTrack, RefusedInputsLeaveTheTrackAlone) {
  const auto sine = signals::Sine(440.0, 11025, 1762);
  std::vector<int> out(16, -1);
  EXPECT_EQ(PitchTrack(sine.data(), 1762, 11025, 256, 128, out.data()), 0);  // already at the analysis rate
  EXPECT_EQ(PitchTrack(sine.data(), 0, 8000, 256, 128, out.data()), 0);
  EXPECT_EQ(PitchTrack(sine.data(), -5, 8000, 256, 128, out.data()), 0);
  EXPECT_EQ(PitchTrack(sine.data(), 1280, 0, 256, 128, out.data()), 0);
  EXPECT_EQ(PitchTrack(sine.data(), 1280, 8000, 256, 0, out.data()), 0);
  EXPECT_EQ(PitchTrack(sine.data(), 1280, 8000, 0, 128, out.data()), 0);
  EXPECT_EQ(out, std::vector<int>(16, -1));
}

TEST(PitchTrack, LongBlocksUseTheHeap) {
  // Ten seconds in one block: far past the stack buffers sized for a capture buffer.
  const auto sine = signals::Sine(220.0, 8000, 80000);
  std::vector<int> out(1000, -1);
  const int frames = PitchTrack(sine.data(), 80000, 8000, 256, 128, out.data());
  ASSERT_EQ(frames, (static_cast<int>(ResampledLength(80000, 8000)) - 256) / 128);
  for (int k = 0; k < frames; ++k) ASSERT_EQ(out[k], 570) << "frame " << k;
}

TEST(FramePitches, FrameCountHasNoPlusOne) {
  const auto sine = signals::Sine(441.0, 11025, 1762);
  std::vector<float> out(16, -1.0f);
  EXPECT_EQ(FramePitches(sine.data(), 1762, 11025, 256, 128, out.data()), 11);
  EXPECT_EQ(FramePitches(sine.data(), 384, 11025, 256, 128, out.data()), 1);  // two would fit
  EXPECT_EQ(FramePitches(sine.data(), 383, 11025, 256, 128, out.data()), 0);
  EXPECT_NEAR(out[0], 69.039f, 0.001f);
}

TEST(FrequencyToSemitone, MidiScale) {
  EXPECT_FLOAT_EQ(FrequencyToSemitone(440.0f), 69.0f);
  EXPECT_FLOAT_EQ(FrequencyToSemitone(880.0f), 81.0f);
  EXPECT_NEAR(FrequencyToSemitone(441.0f), 69.0393f, 1e-4f);
  EXPECT_NEAR(FrequencyToSemitone(11025.0f / 134.0f), 39.97f, 0.01f);
  EXPECT_EQ(FrequencyToSemitone(0.0f), 0.0f);
  EXPECT_EQ(FrequencyToSemitone(-5.0f), 0.0f);
}

TEST(GateSemitoneRange, BoundsStay) {
  std::vector<float> values = {39.99f, 40.0f, 0.0f, 60.0f, 80.0f, 80.01f};
  GateSemitoneRange(values.data(), static_cast<int>(values.size()), 40.0f, 80.0f);
  EXPECT_EQ(values, (std::vector<float>{0.0f, 40.0f, 0.0f, 60.0f, 80.0f, 0.0f}));
}

// Steady tones over the sung range and several capture rates: every frame is voiced and within the
// error of a whole-lag period (one lag at 11025 Hz) of the tone's true pitch.
class ToneGrid : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(ToneGrid, ReadsTheToneInEveryFrame) {
  const auto [rate, semitone] = GetParam();
  const double hz = 440.0 * std::pow(2.0, (semitone - 69) / 12.0);
  const double period = 11025.0 / hz;
  const double tolerance = 10.0 * 12.0 * std::log2((period + 1.0) / period) + 1.0;
  const int count = rate / 8000 * 1280 + (rate % 8000) * 1280 / 8000;  // 0.16 s
  for (double phase : {0.0, 1.0}) {
    const auto track = Track(signals::Sine(hz, rate, count, 6000.0, phase), rate);
    ASSERT_GE(track.size(), 10u);
    for (size_t k = 0; k < track.size(); ++k) {
      EXPECT_NEAR(track[k], semitone * 10.0, tolerance) << hz << " Hz, frame " << k;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(RatesAndNotes, ToneGrid,
                         ::testing::Combine(::testing::Values(8000, 16000, 22050, 44100),
                                            ::testing::Range(41, 80, 2)));

}  // namespace
