// Calibration of the noise floor and the counting of loud blocks, through the capture handler.
#include "judge/ktv_loudness.h"

#include <gtest/gtest.h>

#include "judge_fakes.h"

namespace sonavera::judge {
namespace {

using testing::JudgeRig;

content::SongTables KtvSong() {
  content::SongTables song;
  song.lyricCues = {{2.0f, "a"}, {5.0f, "b"}, {8.0f, "c"}};
  song.lyricCueCount = 3;
  song.lyricEndTime = 9.0f;
  song.ktvReferenceRatio = 0.5f;
  return song;
}

// A KTV performance after its calibration buffer of `level` (the loudest block) over silence.
struct KtvRig : JudgeRig {
  explicit KtvRig(int16_t level) : JudgeRig(KtvSong()) {
    judge.state().ktvMode = 1;
    judge.state().loudBlocks = 0;
    judge.state().totalBlocks = 1;
    judge.BeginPerformance();
    CaptureBuffer* calibration = device.Take();
    EXPECT_EQ(calibration->byteLength, 30000);
    std::fill(calibration->data, calibration->data + 15000, 0);
    std::fill(calibration->data + 800, calibration->data + 880, level);      // block 10
    std::fill(calibration->data + 12000, calibration->data + 15000, 30000);  // not measured
    judge.OnCaptureData(*calibration);
  }
};

TEST(Calibration, SilenceGivesThresholdZeroSoEverySoundIsLoud) {
  KtvRig rig(0);
  EXPECT_EQ(rig.judge.state().calibrationPeak, 0.0);
  EXPECT_EQ(rig.judge.state().noiseThreshold, 0.0);
  // The device went back to the four streaming buffers; nothing was recorded for a KTV song.
  EXPECT_EQ(rig.device.QueuedCount(), 4u);
  EXPECT_TRUE(rig.device.Started());
  EXPECT_TRUE(rig.recorder.calls.empty());
  std::vector<int16_t> quiet(1280, 0);
  quiet[0] = 1;    // block 0 barely sounds
  quiet[85] = -1;  // block 1 too
  rig.Deliver(3.0f, quiet);
  EXPECT_EQ(rig.judge.state().loudBlocks, 2);
  EXPECT_EQ(rig.judge.state().totalBlocks, 17);
}

TEST(Calibration, PeakOfExactlyFiftyUsesTwoThirds) {
  KtvRig rig(3125);  // 80 x 0.625 = 50
  EXPECT_DOUBLE_EQ(rig.judge.state().calibrationPeak, 50.0);
  EXPECT_DOUBLE_EQ(rig.judge.state().noiseThreshold, 100.0 / 3);
  KtvRig louder(3750);  // 60: half of it
  EXPECT_DOUBLE_EQ(louder.judge.state().noiseThreshold, 30.0);
  EXPECT_DOUBLE_EQ(NoiseThresholdForPeak(50.5), 25.25);
}

TEST(Calibration, BufferCutShortByAResetIsRetired) {
  JudgeRig rig(KtvSong());
  rig.judge.state().ktvMode = 1;
  rig.judge.BeginPerformance();
  CaptureBuffer* calibration = rig.device.Take();
  std::fill(calibration->data, calibration->data + 15000, 4000);
  calibration->bytesRecorded = 20000;
  rig.shared.playbackTime = 3.0f;
  rig.judge.OnCaptureData(*calibration);
  EXPECT_EQ(rig.device.QueuedCount(), 0u);
  EXPECT_EQ(rig.judge.state().totalBlocks, 1);
  EXPECT_EQ(rig.judge.state().calibrationPeak, 0.0);
}

TEST(KtvCounting, BlockEqualToTheThresholdIsNotLoudButCounts) {
  KtvRig rig(3750);                          // threshold 30
  std::vector<int16_t> samples(1280, 1875);  // every block: 80 x 0.375 = 30
  std::fill(samples.begin() + 160, samples.begin() + 240, static_cast<int16_t>(-1876));  // block 2 is louder
  rig.Deliver(3.0f, samples);
  EXPECT_EQ(rig.judge.state().loudBlocks, 1);
  EXPECT_EQ(rig.judge.state().totalBlocks, 17);
  EXPECT_EQ(rig.device.QueuedCount(), 4u);  // the buffer went back to the device
}

TEST(KtvCounting, OnlyWhileTheCueIsShown) {
  KtvRig rig(0);
  const std::vector<int16_t> loud(1280, 4000);
  rig.shared.lyricCueIndex = 1;  // cue 0 at 2.0 s: counted in (2.0, 4.5)
  rig.Deliver(2.0f, loud);
  rig.Deliver(4.5f, loud);
  EXPECT_EQ(rig.judge.state().totalBlocks, 1);
  rig.Deliver(2.1f, loud);
  EXPECT_EQ(rig.judge.state().totalBlocks, 17);
  rig.shared.lyricCueIndex = 2;  // the last pair: counted until the end time (9.0)
  rig.Deliver(8.9f, loud);
  EXPECT_EQ(rig.judge.state().totalBlocks, 33);
  rig.shared.lyricCueIndex = 5;  // past the cues: nothing to count, no read past the table
  rig.Deliver(8.9f, loud);
  EXPECT_EQ(rig.judge.state().totalBlocks, 33);
  EXPECT_EQ(rig.judge.state().loudBlocks, 32);
}

TEST(KtvFinish, PublishesTheScoreAndEndsThePerformance) {
  KtvRig rig(0);
  rig.judge.state().loudBlocks = 25;
  rig.judge.state().totalBlocks = 100;  // half the reference: 0
  rig.app.finalScore = 50.0f;
  rig.judge.FinishKtvSong();
  EXPECT_EQ(rig.app.finalScore, 0.0f);
  EXPECT_EQ(rig.app.songLengthSec, 1);
  EXPECT_EQ(rig.app.performanceActive, 0);
  EXPECT_EQ(rig.device.QueuedCount(), 0u);
}

}  // namespace
}  // namespace sonavera::judge
