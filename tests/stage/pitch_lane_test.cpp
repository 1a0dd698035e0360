#include <gtest/gtest.h>

#include "stage/hge_sprite.h"
#include "stage_rig.h"

namespace sonavera::testing {
namespace {

QRgb Opaque(std::uint32_t argb) {
  return static_cast<QRgb>(argb);
}

class PitchLaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // One line at 5.0 .. 7.0 s: a rest of 10 frames, then 600 for 40 frames and 700 for 20.
    AddLine(rig.song, 5.0f, 7.0f, {{0, 10, " "}, {600, 40, " "}, {700, 20, " "}});
    ASSERT_TRUE(rig.Init());
    rig.Start();
  }
  StageRig rig;
};

TEST_F(PitchLaneTest, RowIsReleased3744SecondsBeforeItsLineAndScrolls) {
  // 5.0 - 3.744 = 1.256 s: tick 78 is 1.248 s, tick 79 is 1.264 s.
  for (int n = 0; n <= 78; ++n) rig.Tick(n);
  EXPECT_EQ(rig.shared.activeLineEnd, 0);
  rig.Tick(79);
  EXPECT_EQ(rig.shared.activeLineEnd, 1);
  EXPECT_FLOAT_EQ(rig.stage.tracker.lineX[0], 800.0f);
  rig.Tick(80);
  EXPECT_NEAR(rig.stage.tracker.lineX[0], 800.0f - 3.06f, 1e-3);
  rig.Tick(81);
  EXPECT_NEAR(rig.stage.tracker.lineX[0], 800.0f - 2 * 3.06f, 1e-3);
}

TEST_F(PitchLaneTest, NoteBarsSitOnThePitchRowsInTheirColours) {
  for (int n = 0; n <= 312; ++n) rig.Tick(n);  // 4.992 s: the line is about to start
  const float x = rig.stage.tracker.lineX[0];
  const QImage frame = rig.Frame();
  // The note of 600 starts 30 px into the row, runs 120 px and sits on y 126 (bar drawn 3 px right).
  const int mid = static_cast<int>(x) + 30 + 60;
  EXPECT_EQ(frame.pixel(mid, 126), Opaque(0xFF3F7ECD));
  EXPECT_EQ(frame.pixel(mid, 125), Opaque(0xFF3F7ECD));
  EXPECT_EQ(frame.pixel(mid, 127), Opaque(0xFF3F7ECD));
  EXPECT_EQ(frame.pixel(mid, 124), Opaque(0xFF76C5D6));
  EXPECT_EQ(frame.pixel(mid, 128), Opaque(0xFF76C5D6));
  EXPECT_NE(frame.pixel(mid, 123), Opaque(0xFF76C5D6));
  // 700 sits 17.5 px higher: 108.5 -> row 108.
  const int next = static_cast<int>(x) + 150 + 30;
  EXPECT_EQ(frame.pixel(next, 108), Opaque(0xFF3F7ECD));
  // The rest draws nothing at its row (231, below the lane) and nothing in the lane.
  const int rest = static_cast<int>(x) + 15;
  for (int y = 64; y < 160; ++y) {
    EXPECT_NE(frame.pixel(rest, y), Opaque(0xFF3F7ECD)) << y;
  }
  // The now line.
  EXPECT_EQ(frame.pixel(80, 100), Opaque(0xFF6F8DD6));
  EXPECT_EQ(frame.pixel(79, 100), Opaque(0xFF5D7AA2));
  EXPECT_EQ(frame.pixel(400, 162), Opaque(0xFFFFFFFF));
}

TEST_F(PitchLaneTest, RefIndexCountsTicksInsideTheLine) {
  for (int n = 0; n <= 312; ++n) rig.Tick(n);
  EXPECT_EQ(rig.shared.refIndex, 0);
  rig.Tick(313);  // 5.008 s
  EXPECT_EQ(rig.shared.refIndex, 1);
  for (int n = 314; n <= 320; ++n) rig.Tick(n);
  EXPECT_EQ(rig.shared.refIndex, 8);
  for (int n = 321; n <= 437; ++n) rig.Tick(n);  // 6.992 s
  EXPECT_EQ(rig.shared.refIndex, 125);
  rig.Tick(438);  // 7.008 s: the clock has left the line
  EXPECT_EQ(rig.shared.refIndex, 0);
}

TEST_F(PitchLaneTest, MarkerTakesTheColourOfItsKind) {
  struct Case {
    int nearFlag, hitFlag, missFlag, kind;
    std::uint32_t colour;
  };
  const Case cases[] = {{0, 0, 1, 1, 0xFFFF0000},
                        {1, 0, 0, 2, 0xFFFFF000},
                        {0, 1, 0, 3, 0xFF00FF00},
                        {0, 0, 0, 0, 0xFF4F481E},
                        {1, 1, 1, 1, 0xFFFF0000}};
  int n = 0;
  for (const Case& c : cases) {
    rig.stage.SetSingerMarker(126, c.nearFlag, c.hitFlag, c.missFlag);
    EXPECT_EQ(rig.stage.pitch.markerKind, c.kind);
    rig.Tick(n++);
    // The marker is drawn about its centre at (64, 126) in its colour (the arrow picture is white).
    const QRgb p = rig.Frame().pixel(64, 126);
    const std::uint32_t want = c.colour;
    EXPECT_NEAR(qRed(p), static_cast<int>((want >> 16) & 0xFF), 40) << c.kind;
    EXPECT_NEAR(qGreen(p), static_cast<int>((want >> 8) & 0xFF), 40) << c.kind;
    EXPECT_NEAR(qBlue(p), static_cast<int>(want & 0xFF), 40) << c.kind;
  }
  // Outside the lane the marker is not drawn.
  rig.stage.SetSingerMarker(55, 0, 1, 0);
  rig.Tick(n++);
  EXPECT_NE(rig.Frame().pixel(64, 55), Opaque(0xFF00FF00));
}

TEST_F(PitchLaneTest, ScoreBarIsLineScoreTimes264) {
  struct Case {
    float score;
    int width;
  };
  rig.Tick(1);
  const QImage empty = rig.Frame();
  for (const Case c : {Case{50.0f, 132}, Case{100.0f, 264}, Case{25.0f, 66}, Case{150.0f, 264}}) {
    rig.app.lineScore = c.score;
    rig.Tick(1);
    const QRect lit = DiffBox(empty, rig.Frame(), QRect(40, 5, 330, 30));
    ASSERT_FALSE(lit.isNull()) << c.score;
    EXPECT_EQ(lit.left(), 56);
    EXPECT_NEAR(lit.right() + 1 - 56, c.width, 1) << c.score;
  }
}

TEST_F(PitchLaneTest, RatingPictureStays65FramesAndCountsTheStreak) {
  rig.Tick(1);
  const QImage none = rig.Frame();
  rig.app.lineGrade = 2;
  int shown = 0;
  for (int n = 0; n < 80; ++n) {
    rig.Tick(1);
    if (!DiffBox(none, rig.Frame(), QRect(335, 0, 170, 44)).isNull()) ++shown;
    if (n == 63) {
      EXPECT_EQ(rig.app.lineGrade, 2);
    }
  }
  EXPECT_EQ(shown, 65);
  EXPECT_EQ(rig.app.lineGrade, 0);
  EXPECT_EQ(rig.stage.pitch.lastLineIndex, 0);
  EXPECT_EQ(rig.stage.pitch.goodLineStreak, 1);

  // A new rating while one is shown replaces the picture without counting.
  rig.app.lineGrade = 1;
  rig.Tick(1);
  rig.app.lineGrade = 5;
  rig.Tick(1);
  EXPECT_EQ(rig.stage.pitch.lastLineIndex, 1);
  EXPECT_EQ(rig.stage.pitch.goodLineStreak, 2);
  EXPECT_EQ(rig.stage.pitch.bestGoodLineStreak, 2);
  for (int n = 0; n < 70; ++n) rig.Tick(1);
  EXPECT_EQ(rig.app.lineGrade, 0);
  rig.app.lineGrade = 4;
  rig.Tick(1);
  EXPECT_EQ(rig.stage.pitch.goodLineStreak, 0);
  EXPECT_EQ(rig.stage.pitch.bestGoodLineStreak, 2);
}

TEST_F(PitchLaneTest, BestAndWorstLinesFollowTheLastLineScore) {
  rig.judgeState.lastLineScore = 80.0f;
  rig.Tick(1);
  EXPECT_EQ(rig.stage.pitch.bestLine, 0);
  EXPECT_EQ(rig.stage.pitch.worstLine, 0);
  rig.app.lineGrade = 2;
  rig.Tick(2);  // the rating moves lastLineIndex on; the same score changes nothing
  EXPECT_EQ(rig.stage.pitch.bestLine, 0);
  rig.judgeState.lastLineScore = 100.0f;  // 100 is not "below 100"
  rig.Tick(3);
  EXPECT_EQ(rig.stage.pitch.bestLine, 0);
  rig.judgeState.lastLineScore = 40.0f;
  rig.Tick(4);
  EXPECT_EQ(rig.stage.pitch.worstLine, 1);
  EXPECT_FLOAT_EQ(rig.stage.pitch.worstLineScore, 40.0f);
}

TEST_F(PitchLaneTest, BannerGoesFromReadyToGoAndVanishes) {
  int frames = 0;
  while (!rig.stage.pitch.goShown && frames < 1000) {
    rig.Tick(1);
    ++frames;
  }
  ASSERT_TRUE(rig.stage.pitch.goShown);
  // 41 frames closing in (100 .. -1), 29 held, 40 parting to -101, 24 sliding from 217 to 193.
  EXPECT_EQ(frames, 41 + 29 + 40 + 24);
  EXPECT_EQ(rig.stage.pitch.bannerStep, 100);
  EXPECT_FLOAT_EQ(rig.stage.pitch.bannerX, 172.0f);
  for (int n = 0; n < 200; ++n) rig.Tick(1);
  EXPECT_EQ(rig.stage.pitch.bannerStep, -101);
  EXPECT_FLOAT_EQ(rig.stage.pitch.bannerX, 172.0f);  // nothing moves any more
}

TEST_F(PitchLaneTest, ProgressBarEndsAt800DivLengthTimesSeconds) {
  rig.app.songLengthSec = 240;
  rig.TickAt(240.5f);
  EXPECT_EQ(rig.app.elapsedSeconds, 240);
  QImage frame = rig.Frame();
  EXPECT_EQ(frame.pixel(719, 48), Opaque(0xFF9BD119));
  EXPECT_EQ(frame.pixel(719, 50), Opaque(0xFF98D410));
  EXPECT_NE(frame.pixel(721, 48), Opaque(0xFF9BD119));
  EXPECT_EQ(rig.stage.pitch.maxSongPosSec, 240);
  // Longer than 800 s: 800 div length is 0, the bar stays empty.
  rig.app.songLengthSec = 801;
  rig.TickAt(500.0f);
  frame = rig.Frame();
  EXPECT_NE(frame.pixel(1, 48), Opaque(0xFF9BD119));
}

TEST_F(PitchLaneTest, VolumeAndStopClicksHaveExclusiveBounds) {
  EXPECT_EQ(rig.stage.musicVolume, 95);
  rig.Click(790, 10);
  rig.Tick(1);
  EXPECT_EQ(rig.stage.musicVolume, 100);
  rig.Release();
  rig.Click(790, 10);
  rig.Tick(2);
  EXPECT_EQ(rig.stage.musicVolume, 100);
  rig.Release();
  for (const QPointF p : {QPointF(775, 10), QPointF(790, 25), QPointF(800, 10), QPointF(790, 0)}) {
    rig.Click(static_cast<float>(p.x()), static_cast<float>(p.y()));
    rig.Tick(3);
    rig.Release();
    EXPECT_EQ(rig.stage.musicVolume, 100) << p.x() << "," << p.y();
  }
  for (int i = 0; i < 21; ++i) {
    rig.Click(790, 40);
    rig.Tick(4);
    rig.Release();
  }
  EXPECT_EQ(rig.stage.musicVolume, 0);
  rig.Click(3, 10);
  rig.Tick(5);
  rig.Release();
  EXPECT_EQ(rig.shell.returns, 0);
  rig.Click(10, 10);
  rig.Tick(6);
  EXPECT_EQ(rig.shell.returns, 1);
}

TEST(StageSurvival, SongWithoutLinesDanceOrMusicRunsAndStops) {
  StageRig rig;
  ASSERT_TRUE(rig.Init());
  rig.stage.danceOn = true;
  rig.Start("/nonexistent/song/");
  EXPECT_EQ(rig.stage.musicChannel, 0u);
  EXPECT_EQ(rig.shell.begins, 1);
  for (int n = 0; n < 100; ++n) rig.Tick(n);
  EXPECT_EQ(rig.shared.activeLineEnd, 0);
  EXPECT_EQ(rig.stage.DanceScore(), 0.0f);
  rig.Click(20, 20);
  rig.Tick(100);
  EXPECT_EQ(rig.shell.returns, 1);
  rig.stage.stopStage();
  rig.stage.closeVideo();
  rig.Tick(101);
}

TEST(StageSetUp, MissingParticlesPictureIsReportedAndNothingIsCreated) {
  StageRig rig;
  platform::SetProgramFolder("/nonexistent/program/");
  EXPECT_FALSE(rig.stage.initStage(nullptr));
  ASSERT_EQ(rig.messages.size(), 1u);
  EXPECT_NE(rig.messages[0].find("Error: Can't load one of the following files:\nMENU.WAV, PARTICLES.PNG"),
            std::string::npos);
  EXPECT_EQ(rig.stage.hge, nullptr);
  EXPECT_EQ(rig.stage.PlaybackButton(), nullptr);
  rig.stage.onStageTick();  // a stage without engine ticks harmlessly
  platform::SetProgramFolder(SONAVERA_PROGRAM_DIR);
}

}  // namespace
}  // namespace sonavera::testing
