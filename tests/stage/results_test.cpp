#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "stage/hge_sprite.h"
#include "stage/results_text.h"
#include "stage_rig.h"

namespace sonavera::testing {
namespace {

using stage::DigitsOf;
using stage::ResultsFacts;

TEST(ResultsDigits, TenthsAreDrawnAsThreeDigits) {
  struct Case {
    float score;
    std::array<int, 3> digits;
    bool hundred;
  };
  for (const Case c :
       {Case{87.64f, {8, 7, 6}, false}, Case{99.95f, {9, 9, 9}, false}, Case{100.0f, {1, 0, 0}, true},
        Case{5.0f, {0, 5, 0}, false}, Case{0.0f, {0, 0, 0}, false}, Case{40.0f, {4, 0, 0}, false}}) {
    const auto d = DigitsOf(c.score);
    EXPECT_EQ(d.digits, c.digits) << c.score;
    EXPECT_EQ(d.hundred, c.hundred) << c.score;
  }
}

// Two lines: 65.3 .. 70.9 s and 125 .. 130.5 s.
content::SongTables TwoLineSong() {
  content::SongTables song;
  AddLine(song, 65.3f, 70.9f, {{600, 10, "ni"}, {610, 10, " "}, {620, 10, " "}, {630, 10, "hao"}});
  AddLine(song, 125.0f, 130.5f, {{600, 10, "a "}, {600, 10, "b"}});
  return song;
}

TEST(ResultsText, SummaryOfASungSongWithDance) {
  const content::SongTables song = TwoLineSong();
  ResultsFacts facts;
  facts.song = &song;
  facts.singOn = true;
  facts.danceOn = true;
  facts.bestLine = 0;
  facts.bestLineScore = 92.25f;
  facts.worstLine = 1;
  facts.worstLineScore = 41.0f;
  facts.bestAllRoundLine = 0;
  facts.breathLine = 1;
  facts.bestGoodLineStreak = 3;
  facts.bestDanceCombo = 12;
  facts.finalScore = 80.0f;
  facts.danceScore = 50.0f;
  facts.kcal = 12.34f;
  EXPECT_EQ(stage::SummaryText(facts),
            "时间段1:5～1:10，该句为演唱音准最高分：92.2分！\n"
            "时间段2:5～2:10，该句为演唱音准最低分：41.0分！\n"
            "时间段1:5～1:10: 整体表现最棒！\n"
            "时间段2:5～2:10: 需控制气息平稳。\n"
            "演唱连续好评最大次数： 3次！\n"
            "跳舞连续脚步最大次数： 12次！\n"
            "消耗卡路里大约： 12.3Kcal！");
  // No calories when either score is 0.
  facts.danceScore = 0.0f;
  EXPECT_EQ(stage::SummaryText(facts).find("Kcal"), std::string::npos);
}

TEST(ResultsText, DanceOnlyAndKtvSummaries) {
  ResultsFacts facts;
  facts.singOn = false;
  facts.danceOn = true;
  facts.bestDanceCombo = 9;
  facts.danceScore = 80.0f;
  facts.kcal = 5.0f;
  EXPECT_EQ(stage::SummaryText(facts), "");
  facts.ktvMode = true;
  facts.finalScore = 70.0f;
  EXPECT_EQ(stage::SummaryText(facts),
            "分数低了点，就不显示出来了哦\n跳舞连续脚步最大次数： 9次！\n消耗卡路里大约： 5.0Kcal！");
  facts.danceOn = false;
  facts.finalScore = 91.0f;
  EXPECT_EQ(stage::SummaryText(facts), "别骄傲哦，KTV歌曲评分比较宽松啦\n");
}

TEST(ResultsText, ReportNamesTheBestAndWorstLinesWithTheirLyrics) {
  const content::SongTables song = TwoLineSong();
  // "ni" + " " + " " + "hao": the double blank stays as one blank.
  EXPECT_EQ(stage::ReportLyric(song, 0), "ni hao");
  EXPECT_EQ(stage::ReportLyric(song, 1), "ab");
  EXPECT_EQ(stage::LineLyric(song, 1), "a b");
  ResultsFacts facts;
  facts.song = &song;
  facts.bestLine = 0;
  facts.bestLineScore = 92.25f;
  facts.worstLine = 1;
  facts.worstLineScore = 41.0f;
  EXPECT_EQ(stage::ReportHtml(facts),
            "时间段1:5--1:10<br>歌词：ni hao<br><FONT color=#ff0000>该句为演唱音准最高分：92.2分！</FONT><br>"
            "<a href=\"app:ok\">原唱与你的清唱对比>></a><p></p>"
            "时间段2:5--2:10<br>歌词：ab<br><FONT color=#ff0000>该句为演唱音准最低分：41.0分！</FONT><br>"
            "<a href=\"app:badplay\">原唱与你的清唱对比>></a><br>");
  facts.bestLine = 7;  // no such line: nothing is read past the tables
  facts.worstLine = -1;
  EXPECT_EQ(stage::ReportHtml(facts), "");
}

TEST(ResultsText, ShareAddressesCarryTitleScoresAndConfiguration) {
  stage::ShareConfig config;
  config.weiboUrl = "https://weibo.test";
  config.tencentWeiboUrl = "https://tqq.test";
  config.siteUrl = "https://site.test";
  config.sharePictureUrl = "https://site.test/p.png";
  ResultsFacts facts;
  facts.songTitle = "茉莉花";
  facts.finalScore = 87.64f;
  EXPECT_EQ(stage::WeiboShareUrl(config, facts),
            "https://weibo.test/share/share.php?url=https://"
            "site.test&appkey=&title=麦霸从来都这么低调！%23Vexo：茉莉花%23"
            ";演唱分数:87.6 @Sonavera&pic=https://site.test/p.png");
  EXPECT_EQ(stage::TencentShareUrl(config, facts),
            "https://tqq.test/"
            "index.php?c=share&a=index&title=麦霸从来都这么低调！%23Vexo：茉莉花%23;演唱分数:87.6 @Sonavera"
            "&url=https://site.test&appkey=512337640&site=https://site.test&pic=https://site.test/p.png");
  facts.singOn = false;
  facts.danceOn = true;
  facts.danceScore = 75.0f;
  EXPECT_EQ(stage::ShareTitle(facts), "舞神从来都这么低调！%23Vexo：茉莉花%23;跳舞分数:75.0");
  facts.singOn = true;
  facts.overallScore = 81.3f;
  facts.kcal = 2.5f;
  EXPECT_EQ(stage::ShareTitle(facts),
            "能歌善舞的奇葩！%23Vexo：茉莉花%23;综合得分:81.3分;演唱:87.6分;跳舞:75.0分;消耗卡路里大约： "
            "2.5Kcal！");
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ResultsText, ShareConfigurationAndTestFileAppend) {
  const std::string folder = ::testing::TempDir() + "stage_share_config/";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  stage::ShareConfig defaults = stage::ShareConfig::Load(folder);
  EXPECT_EQ(defaults.weiboUrl, "https://service.weibo.com");
  EXPECT_EQ(defaults.siteUrl, "");
  std::ofstream(folder + "sonavera.ini")
      << "[web]\nsiteUrl = https://a.test\n[share]\nweiboUrl=\ntencentWeiboUrl=https://t.test\n";
  const stage::ShareConfig read = stage::ShareConfig::Load(folder);
  EXPECT_EQ(read.siteUrl, "https://a.test");
  EXPECT_EQ(read.weiboUrl, "https://service.weibo.com");  // empty: the default
  EXPECT_EQ(read.tencentWeiboUrl, "https://t.test");

  std::ofstream(folder + "test.txt") << "kept\n";
  ASSERT_TRUE(stage::AppendTestLine(folder, "\xC4\xE3\xBA\xC3\n"));
  ASSERT_TRUE(stage::AppendTestLine(folder, "second\n"));
  EXPECT_EQ(ReadFile(folder + "test.txt"), "kept\n\xC4\xE3\xBA\xC3\nsecond\n");
  EXPECT_FALSE(stage::AppendTestLine(folder + "missing/", "x"));
}

// The real stage from the end of a song through the closing wipe to a settled results screen.
class ResultsScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.song = TwoLineSong();
    rig.app.songTitle = "Song";
    ASSERT_TRUE(rig.Init());
    rig.Start();
  }
  // Ends the performance and runs frames until the results screen has settled.
  void RunToResults() {
    rig.app.performanceActive = 0;
    int frames = 0;
    while (rig.stage.stageMode != stage::kResults && frames < 400) {
      rig.TickAt(0.0f);
      ++frames;
    }
    closingFrames = frames;
    for (int i = 0; i < 320; ++i) rig.TickAt(0.0f);
  }
  StageRig rig;
  int closingFrames = 0;
};

TEST_F(ResultsScreenTest, ClosingWipeFadeAndPanelSettle) {
  rig.app.finalScore = 87.64f;
  rig.stage.pitch.bestLine = 0;
  rig.stage.pitch.bestLineScore = 92.0f;
  RunToResults();
  EXPECT_EQ(closingFrames, 152);  // 151 frames move wipePos from 0 to 1510, the next one switches
  EXPECT_LT(rig.stage.results.fadeAlpha, 1);
  EXPECT_EQ(rig.shell.reportWindows, 1);
  EXPECT_GE(rig.stage.results.panelX, 22.0f);
  EXPECT_LE(rig.stage.results.titleRowY, 119.0f);
  EXPECT_LE(rig.stage.results.summaryRowY, 384.0f);
  EXPECT_LT(rig.stage.results.bigScoreStep, 0);
  EXPECT_NE(rig.stage.results.reportHtml.find("该句为演唱音准最高分：92.0分"), std::string::npos);
  EXPECT_NE(rig.stage.results.summaryText.find("时间段1:5～1:10"), std::string::npos);
  EXPECT_GT(rig.shell.recordingPolls, 0);
  // The big score is drawn: the digits' area differs from a frame without it.
  const QImage shown = rig.Frame();
  rig.app.finalScore = 0.0f;
  rig.stage.singOn = false;
  rig.TickAt(0.0f);
  EXPECT_FALSE(DiffBox(shown, rig.Frame(), QRect(280, 180, 200, 70)).isNull());
}

TEST_F(ResultsScreenTest, ShareButtonsOpenOnceAndTencentAppendsTheWorstLine) {
  rig.app.finalScore = 60.0f;
  rig.stage.pitch.worstLine = 1;
  rig.stage.pitch.worstLineScore = 30.0f;
  const std::string testFile = std::string(SONAVERA_PROGRAM_DIR) + "/test.txt";
  std::filesystem::remove(testFile);
  RunToResults();
  rig.Click(150, 500);
  rig.TickAt(0.0f);
  for (int i = 0; i < 5; ++i) rig.TickAt(0.0f);  // the button is still held
  ASSERT_EQ(rig.shell.urls.size(), 1u);
  EXPECT_NE(rig.shell.urls[0].find("/share/share.php?url="), std::string::npos);
  rig.Release();
  rig.TickAt(0.0f);
  rig.Click(200, 500);
  rig.TickAt(0.0f);
  rig.TickAt(0.0f);
  rig.Release();
  ASSERT_EQ(rig.shell.urls.size(), 2u);
  EXPECT_NE(rig.shell.urls[1].find("appkey=512337640"), std::string::npos);
  EXPECT_EQ(ReadFile(testFile), "a b\n");
  std::filesystem::remove(testFile);
  // Bounds are exclusive.
  rig.Click(128, 500);
  rig.TickAt(0.0f);
  rig.Release();
  rig.TickAt(0.0f);
  EXPECT_EQ(rig.shell.urls.size(), 2u);
}

TEST_F(ResultsScreenTest, PlaybackButtonTogglesTheRecordingAndShowsItsState) {
  RunToResults();
  const stage::HTEXTURE first = rig.stage.PlaybackButton()->GetTexture();
  rig.Click(700, 560);
  rig.TickAt(0.0f);
  rig.Release();
  rig.TickAt(0.0f);
  EXPECT_EQ(rig.shell.toggles, 1);
  const stage::HTEXTURE playing = rig.stage.PlaybackButton()->GetTexture();
  EXPECT_NE(playing, first);  // "backstop" while mixing or playing
  rig.Click(700, 560);
  rig.TickAt(0.0f);
  rig.Release();
  rig.TickAt(0.0f);
  EXPECT_EQ(rig.shell.toggles, 2);
  EXPECT_NE(rig.stage.PlaybackButton()->GetTexture(), playing);  // paused: "playback"
  rig.Click(50, 550);
  rig.TickAt(0.0f);
  EXPECT_EQ(rig.shell.returns, 1);
}

TEST_F(ResultsScreenTest, KtvSongReportAndHiddenLowScore) {
  rig.stage.ktvMode = true;
  rig.stage.singOn = false;
  rig.app.finalScore = 70.0f;
  RunToResults();
  EXPECT_EQ(rig.stage.results.reportHtml, "KTV版本歌曲作为娱乐性质歌曲，不做详细评价<br>");
  EXPECT_EQ(rig.stage.results.summaryText, "分数低了点，就不显示出来了哦\n");
}

}  // namespace
}  // namespace sonavera::testing
