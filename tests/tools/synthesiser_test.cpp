// The synthesiser: every bundled score renders within full scale, and the guide voice in
// "music1.mp3" sings the reference melody (its pitch track follows the reference frames).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "analysis/pitch_tracker.h"
#include "songgen/band_synth.h"
#include "songgen/lead_voice.h"
#include "songgen/reference_builder.h"
#include "songgen/score.h"
#include "songgen/song_builder.h"

namespace sonavera::songgen {
namespace {

const char* const kScores[] = {"little_star",       "twinkle_twinkle", "little_cats",   "ode_to_joy",
                               "jasmine",           "row_your_boat",   "london_bridge", "auld_lang_syne_ktv",
                               "medley_little_star"};

class BundledScore : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    std::string text, error;
    ASSERT_TRUE(
        ReadWholeFile(std::string(SONAVERA_SOURCE_DIR) + "/assets/songs/" + GetParam() + ".score", text));
    ASSERT_TRUE(ParseScore(text, score, error)) << error;
    ASSERT_TRUE(BuildReference(ScoreToTimedSong(score), reference, error)) << error;
    EXPECT_TRUE(reference.warnings.empty());
  }
  Score score;
  ReferenceTables reference;
};

float Peak(const std::vector<float>& samples) {
  float peak = 0.0f;
  for (float v : samples) peak = std::max(peak, std::fabs(v));
  return peak;
}

TEST_P(BundledScore, RendersWithinFullScaleForTheWholeSong) {
  StereoBuffer music = RenderAccompaniment(score);
  EXPECT_GE(music.Frames(), static_cast<size_t>(BeatSeconds(score, TotalBeats(score)) * kSampleRate));
  const std::vector<float> voice = RenderGuideVoice(reference, score.vowels, music.Frames());
  EXPECT_GT(Peak(voice), 0.1f);
  const StereoBuffer band = music;
  StereoBuffer withVoice;
  MixSongVersions(music, voice, withVoice);
  const float peak =
      std::max({Peak(music.left), Peak(music.right), Peak(withVoice.left), Peak(withVoice.right)});
  EXPECT_GT(peak, 0.1f);
  EXPECT_LT(peak, 0.9f) << "an MP3 would clip";
  // Both versions keep the same band level: music1.mp3 is music.mp3 plus the voice.
  const size_t probe = music.Frames() / 3;
  if (band.left[probe] != 0.0f) {
    const float gain = music.left[probe] / band.left[probe];
    EXPECT_NEAR(music.right[probe], band.right[probe] * gain, 1e-4);
  }
}

TEST(SongVersions, LoudMixesAreTurnedDownTogether) {
  StereoBuffer band(100);
  for (size_t i = 0; i < 100; ++i) band.Add(i, 1.6f);  // 0.8 on each side
  const std::vector<float> voice(100, 1.0f);
  StereoBuffer withVoice;
  MixSongVersions(band, voice, withVoice);
  EXPECT_NEAR(withVoice.left[10], 0.89f, 1e-5);
  EXPECT_NEAR(band.left[10], 0.89f * 0.8f / 1.4f, 1e-5);
  StereoBuffer quiet(10);
  quiet.Add(3, 0.2f);
  MixSongVersions(quiet, std::vector<float>(10, 0.0f), withVoice);
  EXPECT_FLOAT_EQ(quiet.left[3], 0.1f) << "a quiet mix is left alone";
}

TEST_P(BundledScore, TheGuideVoiceSingsTheReference) {
  // Centre of each note, where the glide and the attack are over: the voice's pitch track there must
  // name the reference frame within the judge's three semitones.
  const size_t frames = static_cast<size_t>((reference.lineEnd.back() + 1.0) * kSampleRate);
  const std::vector<float> voice = RenderGuideVoice(reference, score.vowels, frames);
  int checked = 0, close = 0;
  for (size_t line = 0; line < reference.lineFrames.size(); ++line) {
    const auto& f = reference.lineFrames[line];
    for (size_t start = 0; start < f.size();) {
      size_t end = start;
      while (end < f.size() && f[end] == f[start]) ++end;
      if (f[start] > 0 && end - start >= 12) {
        // 1280 samples at 8 kHz around the note's centre, decimated from 44.1 kHz.
        const double centre = reference.lineStart[line] + (start + end) / 2.0 * kFrameSeconds;
        std::vector<int16_t> block(1280);
        for (size_t s = 0; s < block.size(); ++s) {
          const double t = centre - 0.08 + static_cast<double>(s) / 8000.0;
          const auto index = static_cast<size_t>(t * kSampleRate);
          block[s] = index < voice.size() ? static_cast<int16_t>(voice[index] * 20000.0f) : 0;
        }
        int track[64] = {};
        const int count =
            analysis::PitchTrack(block.data(), static_cast<int>(block.size()), 8000, 256, 128, track);
        std::vector<int> voiced;
        for (int i = 0; i < count; ++i)
          if (track[i] > 0) voiced.push_back(track[i]);
        ++checked;
        if (!voiced.empty()) {
          std::nth_element(voiced.begin(), voiced.begin() + voiced.size() / 2, voiced.end());
          if (std::abs(voiced[voiced.size() / 2] - f[start]) <= 30) ++close;
        }
      }
      start = end;
    }
  }
  ASSERT_GT(checked, 10);
  EXPECT_GE(close, checked * 9 / 10) << close << " of " << checked << " notes on pitch";
}

INSTANTIATE_TEST_SUITE_P(Scores, BundledScore, ::testing::ValuesIn(kScores));

TEST(Accompaniment, IsTheSameEveryTime) {
  Score score;
  std::string error;
  ASSERT_TRUE(ParseScore("name a\ntempo 150\nintro 4\noutro 4\nchords C G\nline C4 1 x\n", score, error))
      << error;
  const StereoBuffer first = RenderAccompaniment(score);
  const StereoBuffer second = RenderAccompaniment(score);
  EXPECT_EQ(first.left, second.left);
  EXPECT_EQ(first.right, second.right);
}

}  // namespace
}  // namespace sonavera::songgen
