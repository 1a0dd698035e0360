// The medley of four through the real window, judge and stage, and its score panel.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "app/main_window_services.h"
#include "app/performance.h"
#include "app/qt_app.h"
#include "app/score_dlg.h"
#include "app/song_run.h"
#include "audio/test_media.h"
#include "content/package_writer.h"
#include "content/temp_folder.h"
#include "platform/program_folder.h"
#include "platform/text_encoding.h"
#include "platform/wav_file.h"

namespace sonavera::app {
namespace {

using content::testing::TempFolder;
using testing::Pick;
using testing::QuietServices;
using testing::RunUntil;
namespace fs = std::filesystem;

const char* const kSongs[] = {"甲", "乙", "丙", "丁"};

// The four songs exist only among the medley songs; the catalogue names a fifth that is not on disk.
void WriteLibrary(const TempFolder& program, bool voice) {
  std::string catalogue;
  for (const char* name : kSongs) {
    const std::string folder = program.Path(std::string("歌曲/串烧歌曲/") + name + "/data");
    std::string message;
    // Three short lines, all over about 4 s in.
    ASSERT_TRUE(
        content::WriteSongPackage(folder, testing::MiddleCSong(name, {0.5f, 1.7f, 2.9f}, 56), message))
        << message;
    testing::WriteQuietMusic(folder + "/", 6);
    catalogue += std::string(name) + " 串烧\r\n";
  }
  catalogue += "戊 串烧\r\n";
  fs::create_directories(program.Path("歌曲/单曲"));
  std::ofstream(program.Path("List.txt"), std::ios::binary) << platform::Utf8ToGbk(catalogue).value();
  // A woman singing middle C: 52 semitones plus the woman's offset of 8 make 60. Or silence.
  testing::WriteTake(program.Path("take.wav"), testing::HeldNoteTake(voice, 52, 60));
}

std::vector<std::string> SlotTexts(const CRating1Dlg& window) {
  std::vector<std::string> texts;
  for (int id : window.medleySlotIds) texts.push_back(window.ControlAs<QLineEdit>(id)->text().toStdString());
  return texts;
}

class Medley : public ::testing::TestWithParam<bool> {};

// The medley page: four slots filled by selecting, four songs one after the other on the same
// performance, the score panel over 1105 after the fourth, and back to the list.
TEST_P(Medley, FourSongsThenTheScorePanel) {
  testing::TestApplication();
  platform::SetProgramFolder(SONAVERA_PROGRAM_DIR);  // the stage's and the panel's artwork
  const bool voice = GetParam();
  TempFolder program;
  WriteLibrary(program, voice);
  testing::TakeFedPerformance run(program.Path(), program.Path("take.wav"));
  Performance& performance = run.performance;
  const std::vector<std::string>& stageMessages = run.stageMessages;  // recorded, never a modal box
  QuietServices services;
  CRating1Dlg window(program.Path(), services);
  window.SetPerformance(&performance);
  // Watch the judge hand over from song to song.
  struct Handover {
    int number;
    std::string title;
    float scoreSum;
  };
  std::vector<Handover> handovers;
  const auto nextSong = performance.onNextMedleySong;
  performance.onNextMedleySong = [&](int number) {
    const float sum = performance.GetJudge().state().songScoreSum;
    nextSong(number);
    handovers.push_back({number, platform::GbkToUtf8(window.songTitle), sum});
  };
  window.show();
  window.ControlAs<QPushButton>(1081)->click();
  window.ControlAs<QPushButton>(1085)->click();  // the medley list
  auto* list = window.ControlAs<QListWidget>(1072);
  ASSERT_EQ(list->count(), 5);
  EXPECT_FALSE(window.ScorePanel().isVisible());
  EXPECT_FALSE(window.Control(1105)->isVisible());

  // Selecting fills the slots in order; a fifth finds none empty.
  for (int row = 0; row < 5; ++row) Pick(list, row);
  EXPECT_EQ(SlotTexts(window), (std::vector<std::string>{"甲", "乙", "丙", "丁"}));

  window.ControlAs<QRadioButton>(1056)->click();  // the woman's voice
  window.ktvMode = 1;  // what a KTV song sung before leaves behind: the medley is no KTV song
  EXPECT_EQ(window.maleVoice, 0);
  window.ControlAs<QPushButton>(1064)->click();
  ASSERT_TRUE(services.messages.empty()) << services.messages.front();
  ASSERT_TRUE(stageMessages.empty()) << stageMessages.front();
  EXPECT_TRUE(performance.Running());
  EXPECT_EQ(window.medleyMode, 1);
  EXPECT_EQ(platform::GbkToUtf8(window.songTitle), "甲");
  EXPECT_TRUE(window.Control(1014)->isVisible());
  EXPECT_FALSE(list->isVisible());

  ASSERT_TRUE(RunUntil([&] { return window.scorePanelShown; }, 90000))
      << "the medley stopped after " << handovers.size() + 1 << " songs"
      << (services.messages.empty() ? "" : ": " + services.messages.front());
  ASSERT_TRUE(services.messages.empty()) << services.messages.front();
  ASSERT_EQ(handovers.size(), 3u);
  for (size_t i = 0; i < handovers.size(); ++i) {
    EXPECT_EQ(handovers[i].number, static_cast<int>(i) + 1);
    EXPECT_EQ(handovers[i].title, kSongs[i + 1]);
    if (i > 0) {
      EXPECT_GE(handovers[i].scoreSum, handovers[i - 1].scoreSum) << "the sum is carried over";
    }
  }
  const judge::JudgeState& state = performance.GetJudge().state();
  EXPECT_EQ(state.medleySongNumber, 3);
  EXPECT_EQ(performance.App().performanceActive, 0);
  // The judge leaves the medley's score (sum / line total) where the panel shows it.
  CScoreDlg& panel = window.ScorePanel();
  EXPECT_TRUE(panel.isVisible());
  EXPECT_FLOAT_EQ(panel.Player().score(), state.songScoreSum);
  if (voice) {
    EXPECT_GT(handovers.front().scoreSum, 0.0f);
    // Each song's last line adds nothing, so two of three lines count.
    EXPECT_GT(panel.Player().score(), 40.0f);
    EXPECT_LE(panel.Player().score(), 100.0f);
  } else {
    EXPECT_EQ(panel.Player().score(), 0.0f);
  }
  // The voice went back to the man's.
  EXPECT_EQ(window.maleVoice, 1);
  EXPECT_TRUE(window.ControlAs<QPushButton>(1121)->isChecked());
  EXPECT_FALSE(window.ControlAs<QPushButton>(1122)->isChecked());
  EXPECT_TRUE(window.ControlAs<QRadioButton>(1055)->isChecked());

  // It grows into the anchor's place.
  ASSERT_TRUE(RunUntil([&] { return !panel.Animating(); }, 5000));
  const QRect anchor = window.ScorePanelAnchor();
  EXPECT_EQ(panel.geometry(), QRect(window.mapToGlobal(anchor.topLeft()), anchor.size()));
  EXPECT_TRUE(fs::exists(program.Path("temp.wav")));

  // The button plays the take and flips its caption; pressed again it stops.
  QPushButton* play = panel.PlayButton();
  EXPECT_EQ(play->text().toStdString(), "演唱回放");
  play->click();
  EXPECT_EQ(play->text().toStdString(), "停止播放");
  EXPECT_TRUE(panel.Player().playing());
  play->click();
  EXPECT_EQ(play->text().toStdString(), "演唱回放");
  EXPECT_FALSE(panel.Player().playing());

  // Back to the list (the results screen's button; closing the window passes through it too): the
  // panel goes, the slots are empty, the next medley can start.
  play->click();
  if (voice) {
    window.ReturnToList();
  } else {
    window.close();
  }
  EXPECT_FALSE(panel.isVisible());
  EXPECT_FALSE(panel.Player().playing());
  EXPECT_FALSE(window.scorePanelShown);
  EXPECT_FALSE(performance.Running());
  EXPECT_EQ(SlotTexts(window), (std::vector<std::string>{"", "", "", ""}));
  if (voice) {
    EXPECT_TRUE(list->isVisible());
  }
}

INSTANTIATE_TEST_SUITE_P(VoiceAndSilence, Medley, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Voice" : "Silence"; });

// The panel on its own: placed at once where animation is not wanted, its button and OK, and its
// digits drawn on the picture.
TEST(ScorePanel, ShowsTheScoreAndClosesWithOk) {
  testing::TestApplication();
  TempFolder program;
  const std::vector<int16_t> tone(44100 * 2 * 3, 1000);
  std::string error;
  ASSERT_TRUE(platform::WriteWavFile(program.Path("take.wav"), tone.data(), tone.size(), 2, 44100, error));
  QWidget owner;
  CScoreDlg panel(program.Path(), std::string(SONAVERA_PROGRAM_DIR) + "/Images/medleyscore.png", &owner);
  EXPECT_FALSE(panel.isVisible());
  panel.SetResult(88.8f, program.Path("take.wav"), 3);
  const QRect place(100, 80, 400, 300);
  panel.ShowOver(place, false);
  EXPECT_TRUE(panel.isVisible());
  EXPECT_FALSE(panel.Animating());
  EXPECT_EQ(panel.geometry(), place);
  EXPECT_TRUE(panel.testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_TRUE(panel.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

  // Gold digits in the score's field.
  const auto goldPixels = [&] {
    const QImage image = panel.grab().toImage();
    int count = 0;
    for (int y = 66; y < 204; ++y)
      for (int x = 60; x < 340; ++x) {
        const QColor c = image.pixelColor(x, y);
        count += c.red() > 230 && c.green() > 150 && c.blue() < 140;
      }
    return count;
  };
  EXPECT_GT(goldPixels(), 500);

  panel.PlayButton()->click();
  EXPECT_TRUE(panel.Player().playing());
  EXPECT_EQ(panel.PlayButton()->text().toStdString(), "停止播放");
  panel.OkButton()->click();
  EXPECT_FALSE(panel.isVisible());
  EXPECT_FALSE(panel.Player().playing());
  EXPECT_EQ(panel.PlayButton()->text().toStdString(), "演唱回放");

  // A new medley's result resets a playing button.
  panel.ShowOver(place, true);
  panel.PlayButton()->click();
  panel.SetResult(12.5f, program.Path("take.wav"), 3);
  EXPECT_FALSE(panel.Player().playing());
  EXPECT_EQ(panel.PlayButton()->text().toStdString(), "演唱回放");
  EXPECT_FLOAT_EQ(panel.Player().score(), 12.5f);
}

struct ScoreTextCase {
  const char* name;
  float score;
  const char* text;
};
class ScorePanelText : public ::testing::TestWithParam<ScoreTextCase> {};

TEST_P(ScorePanelText, WritesOneDecimalAndAFullHundred) {
  EXPECT_EQ(CScoreDlg::ScoreText(GetParam().score).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Scores, ScorePanelText,
                         ::testing::Values(ScoreTextCase{"Full", 100.0f, "100"},
                                           ScoreTextCase{"AboveFull", 100.4f, "100"},
                                           ScoreTextCase{"JustBelowFull", 99.96f, "99.9"},
                                           ScoreTextCase{"Truncated", 57.25f, "57.2"},
                                           ScoreTextCase{"Zero", 0.0f, "0.0"},
                                           ScoreTextCase{"Negative", -3.0f, "0.0"},
                                           ScoreTextCase{"NotANumber", std::nanf(""), "0.0"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sonavera::app
