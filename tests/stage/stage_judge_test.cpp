#include <gtest/gtest.h>

#include <cmath>

#include "judge/judge.h"
#include "judge/offline_ports.h"
#include "stage/stage_judge_link.h"
#include "stage_rig.h"

namespace sonavera::testing {
namespace {

// A man's voice one octave below the reference 600 (MIDI 60): the judge adds the octave back.
std::vector<int16_t> SungTake(float from, float to, float seconds) {
  const double frequency = 440.0 * std::pow(2.0, (48 - 69) / 12.0);
  std::vector<int16_t> take(static_cast<size_t>(seconds * 8000), 0);
  for (size_t i = static_cast<size_t>(from * 8000); i < static_cast<size_t>(to * 8000) && i < take.size();
       ++i) {
    const double phase = 2 * M_PI * frequency * static_cast<double>(i) / 8000.0;
    take[i] = static_cast<int16_t>(6000 * std::sin(phase) + 3000 * std::sin(2 * phase) +
                                   1500 * std::sin(3 * phase));
  }
  return take;
}

// The real judge sings along with the real stage on the offline judge's clock: the marker turns
// green on the reference row, the score bar grows and the line is rated.
TEST(StageWithJudge, SungLineMovesMarkerScoreBarAndRating) {
  StageRig rig;
  // Two sung lines of 600 (the last sung line adds nothing to the song's score).
  for (float start : {1.0f, 4.0f}) AddLine(rig.song, start, start + 2.0f, {{600, 125, "la"}});
  for (int line = 0; line < 2; ++line) {
    rig.song.lineRefs.push_back(125);
    rig.song.lineRefs.insert(rig.song.lineRefs.end(), 125, 600);
    rig.song.lineFrameCount.push_back(125);
    rig.song.lineVoiced.push_back(125);
  }
  rig.song.lineFrameCount.push_back(0);
  rig.song.lineVoiced.push_back(0);
  ASSERT_TRUE(rig.Init());

  const std::vector<int16_t> take = SungTake(0.8f, 6.2f, 12.0f);
  judge::TakeCaptureDevice device(take);
  judge::SilentRecorder recorder;
  judge::QuietShell window;
  judge::NoProgramFiles files;
  stage::StageJudgeLink link(rig.stage);
  judge::Judge judge(judge::JudgeLinks{&device, &recorder, &link, &window, &files, "/tmp/"}, rig.app,
                     rig.shared);
  judge.SetSongTables(&rig.song);
  rig.stage.SetJudgeState(&judge.state());
  // The rig's shell records; the judge starts with the performance as the main window does.
  rig.Start();
  judge.BeginPerformance();

  bool sawHit = false;
  float bestScore = 0.0f;
  int grade = 0;
  for (int n = 1; n < 600; ++n) {
    rig.Tick(n);
    if (n % 10 == 0) {
      if (judge::CaptureBuffer* buffer =
              device.Fill(static_cast<size_t>(n / 10 - 1) * judge::kBufferSamples)) {
        judge.OnCaptureData(*buffer);
      }
    }
    if (rig.stage.pitch.markerKind == 3 && rig.stage.pitch.markerY == 126) sawHit = true;
    bestScore = std::max(bestScore, rig.app.lineScore);
    if (grade == 0) grade = rig.app.lineGrade;  // the first line's rating
  }
  EXPECT_TRUE(sawHit);
  EXPECT_GT(bestScore, 80.0f);
  EXPECT_EQ(grade, 1);
  EXPECT_GE(rig.stage.pitch.lastLineIndex, 0);
  EXPECT_GE(rig.stage.pitch.bestGoodLineStreak, 1);
  EXPECT_EQ(rig.app.performanceActive, 0);  // the judge ended the song
  EXPECT_GT(rig.app.finalScore, 80.0f);
}

}  // namespace
}  // namespace sonavera::testing
