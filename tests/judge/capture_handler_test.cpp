// The capture handler on a song built in memory, with fakes where the devices would be.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/band_pass_filter.h"
#include "analysis/pitch_tracker.h"
#include "judge_fakes.h"

namespace sonavera::judge {
namespace {

using testing::JudgeRig;
using testing::MakeSong;
using testing::TestLine;

// A sine of `hz` after `silentLead` silent samples.
std::vector<int16_t> Sine(double hz, int count = kBufferSamples, int silentLead = 0,
                          double amplitude = 8000) {
  std::vector<int16_t> samples(count, 0);
  for (int i = silentLead; i < count; ++i) {
    samples[i] = static_cast<int16_t>(amplitude * std::sin(2 * M_PI * hz * (i - silentLead) / kCaptureRate));
  }
  return samples;
}

// Three sung lines of 600 (middle C) with two-second gaps.
content::SongTables ThreeLines() {
  return MakeSong({{2.0f, 5.0f, std::vector<int>(187, 600)},
                   {7.0f, 10.0f, std::vector<int>(187, 600)},
                   {12.0f, 15.0f, std::vector<int>(187, 600)}});
}

TEST(Performance, BeginQueuesStartsAndRecords) {
  JudgeRig rig(ThreeLines());
  rig.judge.state().lineIndex = 2;
  rig.app.lineScore = 40.0f;
  rig.shared.playbackTime = 3.0f;
  rig.judge.BeginPerformance();
  EXPECT_EQ(rig.device.QueuedCount(), 4u);
  EXPECT_TRUE(rig.device.Started());
  EXPECT_EQ(rig.recorder.calls, std::vector<std::string>{"start 2 44100 16"});
  EXPECT_EQ(rig.judge.state().lineIndex, 0);
  EXPECT_EQ(rig.app.lineScore, 0.0f);
  EXPECT_EQ(rig.shared.playbackTime, 0.0f);
}

TEST(Performance, OpenFailureReportsTheDeviceErrorCode) {
  JudgeRig rig;
  std::string message;
  EXPECT_TRUE(rig.judge.OpenCaptureDevice(message));
  EXPECT_EQ(rig.device.openedDevice, -1);  // the system default until the settings choose another
  rig.device.openError = 32;
  EXPECT_FALSE(rig.judge.OpenCaptureDevice(message));
  EXPECT_EQ(message, "打开音频输入设备出错，错误代码：32");
}

TEST(CaptureHandler, ShortBuffersAreRetiredAndSonglessBuffersOnlyRequeued) {
  JudgeRig rig(ThreeLines());
  rig.judge.BeginPerformance();
  CaptureBuffer* partial = rig.device.Take();
  partial->bytesRecorded = 2558;
  rig.judge.OnCaptureData(*partial);
  EXPECT_EQ(rig.device.QueuedCount(), 3u);

  JudgeRig songless;
  songless.judge.BeginPerformance();
  songless.Deliver(3.0f, Sine(130.8));
  EXPECT_EQ(songless.device.QueuedCount(), 4u);
  EXPECT_EQ(songless.stage.markerCalls, 0);
}

TEST(CaptureHandler, LineOpensAQuarterSecondEarlyAndPreviewOnlyMovesTheMarker) {
  JudgeRig rig(ThreeLines());
  rig.judge.BeginPerformance();
  rig.Deliver(1.765f, Sine(130.8));  // opens at 2.0 - 0.234 = 1.766
  EXPECT_TRUE(rig.judge.state().lastBufferPreviewed);
  EXPECT_EQ(rig.judge.state().lineBufferCount, 0);
  EXPECT_EQ(rig.judge.state().voicedBufferCount, 0);
  EXPECT_EQ(rig.stage.markerCalls, 1);
  EXPECT_EQ(rig.stage.marker.markerKind, 0);
  // The unshifted pitch on the preview's own scale.
  const int mode = MostFrequentPitch(rig.judge.pitchFrames(), rig.judge.state().pitchFrameCount);
  ASSERT_GT(mode, 0);
  EXPECT_EQ(rig.stage.marker.markerY, static_cast<int>((35 - mode * 35 / 800.0) * 5 + 56));

  rig.Deliver(1.767f, Sine(130.8));
  EXPECT_FALSE(rig.judge.state().lastBufferPreviewed);
  EXPECT_EQ(rig.judge.state().lineBufferCount, 1);
  EXPECT_EQ(rig.judge.state().bufferSampleCount, kBufferSamples);
  EXPECT_EQ(rig.judge.state().voicedBufferCount, 1);
  EXPECT_EQ(rig.device.QueuedCount(), 4u);
}

TEST(CaptureHandler, PreviewOfSilenceCentresTheMarker) {
  JudgeRig rig(ThreeLines());
  rig.judge.BeginPerformance();
  rig.Deliver(0.5f, {});
  EXPECT_EQ(rig.stage.marker.markerY, 109);
}

// A first line so short that its quota is spent at once: the buffer keeps only the line's tail.
content::SongTables TailLine(float end) {
  return MakeSong({{0.0f, end, std::vector<int>(5, 600)},
                   {7.0f, 10.0f, std::vector<int>(187, 600)},
                   {12.0f, 15.0f, std::vector<int>(187, 600)}});
}

TEST(CaptureHandler, LoudnessNormalisationDividesOnlyAboveAMeanOfTenThousand) {
  for (int level : {10000, 10001}) {
    JudgeRig rig(TailLine(0.01f));  // 160 bytes: no full buffer, a tail of 160 samples
    rig.judge.BeginPerformance();
    std::vector<int16_t> samples(kBufferSamples);
    for (int i = 0; i < kBufferSamples; ++i) samples[i] = static_cast<int16_t>(i % 2 == 0 ? level : -level);
    CaptureBuffer* buffer = rig.Deliver(0.005f, samples);
    ASSERT_EQ(rig.judge.state().bufferSampleCount, 160);
    const int expected = level == 10000 ? 10000 : 1000;
    EXPECT_EQ(buffer->data[0], expected) << level;
    EXPECT_EQ(buffer->data[159], -expected) << level;
    EXPECT_EQ(buffer->data[160], level) << "samples past the line's share are left alone";
  }
}

TEST(CaptureHandler, TwoHundredFiftySixSamplesOrFewerAreNotTrackedOrScored) {
  JudgeRig rig(TailLine(0.016f));
  rig.judge.BeginPerformance();
  rig.Deliver(0.005f, Sine(130.8));
  ASSERT_EQ(rig.judge.state().bufferSampleCount, 256);
  EXPECT_EQ(rig.judge.state().pitchFrameCount, 0);
  EXPECT_EQ(rig.judge.state().voicedBufferCount, 0);
  EXPECT_EQ(rig.stage.markerCalls, 0);

  JudgeRig longer(TailLine(0.0234375f));  // 375 samples: tracked
  longer.judge.BeginPerformance();
  longer.Deliver(0.005f, Sine(130.8));
  ASSERT_EQ(longer.judge.state().bufferSampleCount, 375);
  EXPECT_GT(longer.judge.state().pitchFrameCount, 0);
  EXPECT_EQ(longer.stage.markerCalls, 1);
}

TEST(CaptureHandler, SpentQuotaWithoutTailSkipsTheBuffer) {
  JudgeRig rig(TailLine(0.08f));  // 1280 bytes: one full buffer, tail 0
  rig.judge.BeginPerformance();
  rig.Deliver(0.02f, Sine(130.8));
  ASSERT_EQ(rig.judge.state().lineBufferQuota, 1);
  ASSERT_EQ(rig.judge.state().lineTailSamples, 0);
  EXPECT_EQ(rig.judge.state().voicedBufferCount, 1);
  const int frames = rig.judge.state().pitchFrameCount;
  const std::vector<int16_t> loud(kBufferSamples, 20000);
  CaptureBuffer* second = rig.Deliver(0.05f, loud);
  EXPECT_EQ(rig.judge.state().bufferSampleCount, 0);
  EXPECT_EQ(second->data[0], 20000);  // not normalised, not filtered
  EXPECT_EQ(rig.judge.state().pitchFrameCount, frames);
  EXPECT_EQ(rig.judge.state().voicedBufferCount, 1);
  EXPECT_EQ(rig.stage.markerCalls, 1);
}

class VoiceOffset : public ::testing::TestWithParam<int> {};

TEST_P(VoiceOffset, RaisesVoicedFramesAndLeavesSilenceAtZero) {
  const int maleVoice = GetParam();
  JudgeRig rig(ThreeLines());
  rig.judge.state().maleVoice = maleVoice;
  rig.judge.BeginPerformance();
  const std::vector<int16_t> voice = Sine(130.8, kBufferSamples, 640);  // silent first half

  std::vector<int16_t> copy = voice;
  analysis::BandPassBlock(copy.data(), kBufferSamples, analysis::kBandPass, 2, 70.0, 1000.0, 8000.0,
                          analysis::kHammingWindow);
  std::vector<int> raw(64, 0);
  const int count = analysis::PitchTrack(copy.data(), kBufferSamples, 8000, 256, 128, raw.data());

  rig.Deliver(2.5f, voice);
  ASSERT_EQ(rig.judge.state().pitchFrameCount, count);
  const int offset = maleVoice == 1 ? 120 : 80;
  int voiced = 0;
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(rig.judge.pitchFrames()[i], raw[i] == 0 ? 0 : raw[i] + offset) << i;
    voiced += raw[i] != 0 ? 1 : 0;
  }
  EXPECT_GT(voiced, 0);
  EXPECT_LT(voiced, count);
}

INSTANTIATE_TEST_SUITE_P(ManAndWoman, VoiceOffset, ::testing::Values(1, 0));

TEST(LineClose, ScoringStopsOnceTheClockHasPassedTheLineEnd) {
  JudgeRig rig(ThreeLines());
  rig.judge.BeginPerformance();
  rig.shared.refIndex = 180;
  rig.Deliver(5.0f, Sine(130.8));  // at the end itself: still scored, not closed
  EXPECT_EQ(rig.stage.markerCalls, 1);
  EXPECT_EQ(rig.judge.state().lineIndex, 0);
  const float score = rig.app.lineScore;
  EXPECT_GT(score, 0.0f);

  rig.Deliver(5.01f, Sine(130.8));
  EXPECT_EQ(rig.stage.markerCalls, 1);
  EXPECT_EQ(rig.judge.state().lineIndex, 1);
  EXPECT_EQ(rig.judge.state().lastLineScore, score);
  EXPECT_EQ(rig.judge.state().songScoreSum, score);
  EXPECT_EQ(rig.app.lineGrade, GradeForScore(score));
  EXPECT_EQ(rig.app.lineScore, 0.0f);
  EXPECT_EQ(rig.judge.state().lineRefOffset, 188);  // past the first record: count + 187 frames
  EXPECT_EQ(rig.judge.state().voicedBufferCount, 0);
  EXPECT_EQ(rig.judge.state().lineBufferCount, 0);
  EXPECT_EQ(rig.judge.state().scoring.lineCredit, 0.0f);
}

// Closes the open line with `score` by a silent buffer after its end.
void CloseWith(JudgeRig& rig, float score, float time) {
  rig.app.lineScore = score;
  rig.Deliver(time, {});
}

TEST(LineClose, LastLineIsGradedTwiceDuringItsFinalSecondsAndAddsNothing) {
  JudgeRig rig(MakeSong({{1.0f, 2.0f, std::vector<int>(62, 600)}, {3.0f, 5.0f, std::vector<int>(125, 600)}}));
  rig.judge.BeginPerformance();
  CloseWith(rig, 70.0f, 2.1f);  // line 0; the last line is now open (first grade pass)
  ASSERT_EQ(rig.judge.state().lineIndex, 1);
  EXPECT_EQ(rig.app.lineGrade, 3);
  EXPECT_EQ(rig.judge.state().lastLineGradePasses, 1);

  rig.app.lineScore = 95.0f;
  rig.Deliver(3.7f, {});  // 5.0 - 1.2 = 3.8 not passed
  EXPECT_EQ(rig.judge.state().lineCloseCount, 1);
  rig.Deliver(3.9f, {});
  EXPECT_EQ(rig.judge.state().lineCloseCount, 2);
  EXPECT_EQ(rig.judge.state().lastLineScore, 95.0f);
  EXPECT_EQ(rig.app.lineGrade, 1);
  EXPECT_EQ(rig.app.lineScore, 0.0f);
  rig.app.lineScore = 95.0f;
  rig.Deliver(4.1f, {});
  EXPECT_EQ(rig.app.lineGrade, 0);  // shown once, then hidden

  rig.Deliver(5.1f, {});  // really ends: its live score was cleared, it adds 0
  EXPECT_EQ(rig.judge.state().songScoreSum, 70.0f);
  EXPECT_EQ(rig.app.finalScore, 70.0f);
  EXPECT_EQ(rig.app.performanceActive, 0);
  EXPECT_EQ(rig.app.songLengthSec, 1);
  EXPECT_EQ(rig.shell.mixdownCleared, 1);
  EXPECT_EQ(rig.recorder.calls,
            (std::vector<std::string>{"start 2 44100 16", "stop", "stop", "save /prog/temp.wav", "close"}));
  EXPECT_EQ(rig.device.QueuedCount(), 0u);
  EXPECT_FALSE(rig.device.Started());
  EXPECT_EQ(rig.shared.playbackTime, 0.0f);
}

TEST(LineClose, LastLineClosesBehindTheClockOnceItsRowHasLeft) {
  JudgeRig rig(MakeSong({{1.0f, 2.0f, std::vector<int>(62, 600)}, {3.0f, 5.0f, std::vector<int>(125, 600)}}));
  rig.judge.BeginPerformance();
  CloseWith(rig, 70.0f, 2.1f);
  rig.shared.firstActiveLine = 2;
  rig.shared.activeLineEnd = 2;
  rig.Deliver(3.1f, {});  // closing time = clock - 1.0
  EXPECT_EQ(rig.judge.state().lineCloseCount, 2);
}

TEST(FinalScore, PerfectSongReadsNinetyNinePointNine) {
  JudgeRig rig(ThreeLines());
  rig.judge.BeginPerformance();
  CloseWith(rig, 100.0f, 5.1f);
  CloseWith(rig, 100.0f, 10.1f);
  CloseWith(rig, 0.0f, 15.1f);
  EXPECT_FLOAT_EQ(rig.app.finalScore, 99.9f);
  EXPECT_EQ(rig.app.performanceActive, 0);
}

TEST(FinalScore, OneSungLineScoresZero) {
  JudgeRig rig(MakeSong({{1.0f, 2.0f, std::vector<int>(62, 600)}}));
  rig.judge.BeginPerformance();
  rig.app.finalScore = 55.0f;
  CloseWith(rig, 80.0f, 2.1f);
  EXPECT_EQ(rig.judge.state().lineIndex, 1);
  EXPECT_EQ(rig.app.finalScore, 0.0f);
  EXPECT_EQ(rig.app.performanceActive, 0);
}

TEST(Medley, FourSongsThenOneScoreOverAllTheirLines) {
  const content::SongTables song =
      MakeSong({{1.0f, 2.0f, std::vector<int>(62, 600)}, {3.0f, 4.0f, std::vector<int>(62, 600)}});
  JudgeRig rig(song);
  rig.shell.nextSong = song;
  rig.judge.state().medleyMode = 1;
  rig.judge.state().medleySongNumber = 0;
  const float scores[4] = {80.0f, 60.0f, 40.0f, 20.0f};
  for (int number = 0; number < 4; ++number) {
    rig.judge.BeginPerformance();
    CloseWith(rig, scores[number], 2.1f);
    CloseWith(rig, 0.0f, 4.1f);
    if (number < 3) {
      EXPECT_EQ(rig.shell.preparedSongs.size(), static_cast<size_t>(number + 1));
      EXPECT_EQ(rig.judge.state().medleySongNumber, number + 1);
      EXPECT_EQ(rig.app.performanceActive, 1);
      EXPECT_TRUE(rig.shell.medleyScores.empty());
    }
  }
  EXPECT_EQ(rig.shell.preparedSongs, (std::vector<int>{1, 2, 3}));
  ASSERT_EQ(rig.shell.medleyScores.size(), 1u);
  EXPECT_FLOAT_EQ(rig.shell.medleyScores[0], 200.0f / 8);  // eight sung lines
  EXPECT_EQ(rig.app.performanceActive, 0);
  EXPECT_EQ(rig.judge.state().medleyLineTotal, 0);
}

TEST(EndPerformance, BringsBackTheManVoiceAndWritesTheLoudFractionForSongEditors) {
  JudgeRig rig(ThreeLines());
  rig.judge.state().maleVoice = 0;
  rig.judge.state().loudBlocks = 1;
  rig.judge.state().totalBlocks = 4;
  rig.judge.EndPerformance();
  EXPECT_EQ(rig.judge.state().maleVoice, 1);
  EXPECT_EQ(rig.shell.manVoiceShown, 1);
  EXPECT_EQ(rig.shell.stageForgotten, 1);
  EXPECT_EQ(rig.stage.musicStops, 1);
  EXPECT_EQ(rig.files.files.count("loud.txt"), 0u);

  rig.files.files["KTVedit.txt"] = "";
  rig.judge.EndPerformance();
  EXPECT_EQ(rig.files.files["loud.txt"], "0.250000\n");
  EXPECT_EQ(rig.shell.manVoiceShown, 1);  // already the man's voice
}

TEST(ReturnToList, ForgetsTheSongSumsAndEnds) {
  JudgeRig rig(ThreeLines());
  rig.judge.BeginPerformance();
  CloseWith(rig, 50.0f, 5.1f);
  rig.judge.ReturnToList();
  EXPECT_EQ(rig.judge.state().songScoreSum, 0.0f);
  EXPECT_EQ(rig.app.lineGrade, 0);
  EXPECT_EQ(rig.app.performanceActive, 0);
}

}  // namespace
}  // namespace sonavera::judge
