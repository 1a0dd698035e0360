#include "audio/score_dlg_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "audio/test_media.h"

namespace sonavera::audio {
namespace {

using namespace std::chrono_literals;
using testing::TempFolder;

// Stands where the score panel widget would be: records what the player asks of it.
class PanelLog : public ScorePanelHost {
 public:
  void StartTimer(int periodMs) override { timerPeriod = periodMs; }
  void StopTimer() override { timerPeriod = 0; }
  void Repaint() override { ++repaints; }
  void ClosePanel() override { closed = true; }
  int timerPeriod = 0;
  int repaints = 0;
  bool closed = false;
};

class ScoreDlgPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteFile(program / "tempspeak.mp3",
                       testing::Mp3Bytes(44100, 2, testing::Tone(44100, 2, 3.0, 440)));
    testing::WriteFile(program / "original.mp3",
                       testing::Mp3Bytes(22050, 1, testing::Tone(22050, 1, 3.0, 330)));
  }
  TempFolder program;
  PanelLog panel;
};

TEST_F(ScoreDlgPlayerTest, ButtonPlaysAndStops) {
  ScoreDlgPlayer player(panel, program.path());
  player.SetResult(87.5f, program / "original.mp3", 30);
  EXPECT_EQ(player.caption(), "演唱回放");
  EXPECT_FLOAT_EQ(player.score(), 87.5f);
  player.OnButton();
  EXPECT_TRUE(player.playing());
  EXPECT_EQ(player.caption(), "停止播放");
  EXPECT_EQ(panel.timerPeriod, 800);
  player.OnTimer();  // well before the end time: goes on
  EXPECT_TRUE(player.playing());
  player.OnButton();
  EXPECT_FALSE(player.playing());
  EXPECT_EQ(player.caption(), "演唱回放");
  EXPECT_EQ(panel.timerPeriod, 0);
  EXPECT_EQ(panel.repaints, 1);
}

// The watch timer stops both players once the take has played past the stored end time.
TEST_F(ScoreDlgPlayerTest, TimerStopsAtTheEndTime) {
  ScoreDlgPlayer player(panel, program.path());
  player.SetResult(60.0f, program / "original.mp3", 1);
  player.OnButton();
  bool stopped = false;
  for (int tick = 0; tick < 400 && !stopped; ++tick) {
    std::this_thread::sleep_for(25ms);
    const double position = player.firstPositionSeconds();
    player.OnTimer();
    stopped = !player.playing();
    if (stopped) {
      EXPECT_GT(position, 0.5);
    }
  }
  EXPECT_TRUE(stopped);
  EXPECT_EQ(player.caption(), "演唱回放");
  EXPECT_EQ(panel.timerPeriod, 0);
}

TEST_F(ScoreDlgPlayerTest, MissingFilesStopAtTheFirstTick) {
  ScoreDlgPlayer player(panel, program / "elsewhere/");
  player.SetResult(10.0f, program / "missing.mp3", 100);
  player.OnButton();
  EXPECT_EQ(player.caption(), "停止播放");
  player.OnTimer();
  EXPECT_FALSE(player.playing()) << "nothing can be heard, so nothing is left playing";
}

TEST_F(ScoreDlgPlayerTest, OkStopsAndClosesAndANewResultResetsTheButton) {
  ScoreDlgPlayer player(panel, program.path());
  player.SetResult(70.0f, program / "original.mp3", 30);
  player.OnButton();
  player.SetResult(75.0f, program / "original.mp3", 20);
  EXPECT_FALSE(player.playing());
  EXPECT_EQ(player.caption(), "演唱回放");
  player.OnButton();
  player.OnOk();
  EXPECT_FALSE(player.playing());
  EXPECT_TRUE(panel.closed);
  EXPECT_EQ(panel.timerPeriod, 0);
}

}  // namespace
}  // namespace sonavera::audio
