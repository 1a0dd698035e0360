#include <gtest/gtest.h>

#include <filesystem>

#include "stage/hge_sprite.h"
#include "stage_rig.h"

namespace sonavera::testing {
namespace {

TEST(StageOpening, WipeRunsThenThePerformanceBeginsOnce) {
  StageRig rig;
  AddLine(rig.song, 5.0f, 7.0f, {{600, 40, "la"}});
  ASSERT_TRUE(rig.Init());
  rig.app.performanceActive = 1;
  rig.stage.resetStage();
  rig.stage.startSong(rig.song, "", false);
  int frames = 0;
  while (rig.stage.stageMode == stage::kOpening && frames < 400) {
    rig.TickAt(0.0f);
    ++frames;
  }
  // The frame function moves the wipe by 10 a frame; the render of frame 151 finds it at 1510.
  EXPECT_EQ(frames, 151);
  EXPECT_EQ(rig.shell.begins, 1);
  EXPECT_EQ(rig.stage.musicVolume, 95);
  EXPECT_FLOAT_EQ(rig.stage.wipePos, 0.0f);  // ready for the closing wipe
  EXPECT_FLOAT_EQ(rig.stage.wipePosRight, 800.0f);
  for (int i = 0; i < 5; ++i) rig.TickAt(0.0f);
  EXPECT_EQ(rig.shell.begins, 1);
}

TEST(StageBackground, SongPictureBesideTheDataFolderIsUsed) {
  // A package laid out as song/Images/bgpic.png beside song/data/: the data folder is the deepest
  // folder, so the picture is one level above it.
  const auto root = std::filesystem::temp_directory_path() / "sonavera-stage-bgpic";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "song" / "data");
  std::filesystem::create_directories(root / "song" / "Images");
  QImage picture(800, 438, QImage::Format_ARGB32);
  picture.fill(0xFFFF00FF);
  ASSERT_TRUE(picture.save(QString::fromStdString((root / "song" / "Images" / "bgpic.png").string())));

  StageRig rig;
  AddLine(rig.song, 5.0f, 7.0f, {{600, 40, "la"}});
  ASSERT_TRUE(rig.Init());
  rig.Start((root / "song" / "data").string() + "/");
  for (int n = 0; n < 3; ++n) rig.Tick(n);
  const QRgb pixel = rig.Frame().pixel(400, 450);
  EXPECT_GT(qRed(pixel), 200);
  EXPECT_LT(qGreen(pixel), 60);
  EXPECT_GT(qBlue(pixel), 200);
  std::filesystem::remove_all(root);
}

TEST(StageClock, WithoutAccompanimentTheClockStaysAtZero) {
  StageRig rig;
  AddLine(rig.song, 1.0f, 2.0f, {{600, 40, "la"}});
  ASSERT_TRUE(rig.Init());
  rig.stage.SetExternalClock(false);
  rig.Start("/nonexistent/");
  for (int i = 0; i < 30; ++i) rig.stage.onStageTick();
  EXPECT_FLOAT_EQ(rig.shared.playbackTime, 0.0f);
  EXPECT_EQ(rig.app.elapsedSeconds, 0);
}

TEST(StageMarquee, CrossesOnceAndAnEmptyLineDrawsNothing) {
  StageRig rig;
  ASSERT_TRUE(rig.Init());
  rig.Start();
  EXPECT_TRUE(rig.stage.marqueeText.empty());
  for (int i = 0; i < 10; ++i) rig.TickAt(0.0f);
  EXPECT_FLOAT_EQ(rig.stage.marqueeX, 800.0f);

  rig.stage.SetMarqueeLine("ad");  // 2 bytes: gone once x + 20 <= 0
  rig.Start();
  rig.TickAt(0.0f);
  EXPECT_FLOAT_EQ(rig.stage.marqueeX, 799.0f);
  for (int i = 0; i < 819; ++i) rig.TickAt(0.0f);
  EXPECT_FLOAT_EQ(rig.stage.marqueeX, -20.0f);
  rig.TickAt(0.0f);
  EXPECT_TRUE(rig.stage.marqueeText.empty());
  EXPECT_FLOAT_EQ(rig.stage.marqueeX, 800.0f);
}

TEST(StageSecondSong, ReloadsThePicturesTheResultsScreenReplaced) {
  StageRig rig;
  AddLine(rig.song, 5.0f, 7.0f, {{600, 40, "la"}});
  ASSERT_TRUE(rig.Init());
  rig.Start();
  const std::uint32_t first = rig.stage.BannerSprite()->GetTexture();
  for (int i = 0; i < 160; ++i) rig.TickAt(0.0f);
  ASSERT_TRUE(rig.stage.pitch.goShown);
  EXPECT_NE(rig.stage.BannerSprite()->GetTexture(), first);  // "go"
  rig.Start();
  EXPECT_FALSE(rig.stage.pitch.goShown);
  EXPECT_NE(rig.stage.BannerSprite()->GetTexture(), 0u);
  EXPECT_EQ(rig.stage.pitch.bannerStep, 100);
}

class KtvStageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.song.lyricCues = {{10.0f, "one"}, {14.0f, "two"}, {18.0f, "three"}, {22.0f, "four"}};
    rig.song.lyricCueCount = 4;
    rig.song.lyricEndTime = 25.0f;
    rig.song.ktvReferenceRatio = 0.5f;
    rig.stage.ktvMode = true;
    ASSERT_TRUE(rig.Init());
    rig.Start();
  }
  StageRig rig;
};

TEST_F(KtvStageTest, CountdownDotsLightUpBeforeTheFirstLine) {
  for (int i = 0; i < 300; ++i) rig.TickAt(1.0f);  // the banner has gone
  rig.TickAt(6.5f);
  const QImage dark = rig.Frame();
  rig.TickAt(7.5f);
  const QImage one = rig.Frame();
  rig.TickAt(9.5f);
  const QImage three = rig.Frame();
  const QRect first(18, 54, 32, 32), third(74, 54, 32, 32);
  EXPECT_FALSE(DiffBox(dark, one, first).isNull());
  EXPECT_TRUE(DiffBox(dark, one, third).isNull());
  EXPECT_FALSE(DiffBox(dark, three, third).isNull());
  const QRgb lit = three.pixel(34, 70);
  EXPECT_GT(qBlue(lit), qRed(lit));  // 0xFF37BAFB
}

TEST_F(KtvStageTest, LyricCuesAdvanceAndTheLoudnessScoreEndsTheSong) {
  rig.TickAt(10.5f);
  EXPECT_EQ(rig.shared.lyricCueIndex, 1);
  rig.TickAt(14.5f);
  EXPECT_EQ(rig.shared.lyricCueIndex, 2);
  rig.TickAt(22.5f);
  rig.TickAt(22.6f);
  EXPECT_EQ(rig.shared.lyricCueIndex, 3);  // stops at the last pair
  EXPECT_EQ(rig.shell.ends, 0);
  rig.judgeState.loudBlocks = 45;
  rig.judgeState.totalBlocks = 100;  // 45 % of 50 % = 90
  rig.TickAt(25.1f);
  EXPECT_EQ(rig.shell.ends, 1);
  EXPECT_NEAR(rig.app.finalScore, 90.0f, 1e-3);
  EXPECT_EQ(rig.app.songLengthSec, 1);
  rig.TickAt(25.2f);
  EXPECT_EQ(rig.shell.ends, 1);
}

}  // namespace
}  // namespace sonavera::testing
