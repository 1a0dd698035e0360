// A KTV song through the real window, judge and stage: its lanes, the calibration and the loudness
// score, the results and the way back to the list.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QThread>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>

#include "app/main_window.h"
#include "app/main_window_services.h"
#include "app/performance.h"
#include "app/qt_app.h"
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

constexpr int kRate = 8000;

// Three cues from 2.6 s, the last one ending at 5.6 s; the reference reached every block.
content::SongPackageSpec KtvSong() {
  content::SongPackageSpec spec;
  spec.ktv = true;
  spec.ktvReferenceRatio = 1.0f;
  for (const auto& [time, text] : {std::pair{2.6f, "一二三"}, {3.6f, "四五六"}, {4.6f, "七八九"}})
    spec.cues.push_back({time, platform::Utf8ToGbk(text).value()});
  spec.cueEndTime = 5.6f;
  return spec;
}

// Room noise while the calibration listens (its first 1.875 s), a pause, then a loud voice from
// 2.4 s on, or nothing more.
std::vector<int16_t> KtvTake(bool voice) {
  std::vector<int16_t> samples(20 * kRate, 0);
  for (size_t n = 0; n < samples.size(); ++n) {
    const double t = static_cast<double>(n) / kRate;
    const double amplitude = t < 1.5 ? 1000 : (voice && t >= 2.4 ? 6000 : 0);
    samples[n] = static_cast<int16_t>(amplitude * std::sin(2 * M_PI * 220.0 * t));
  }
  return samples;
}

void WriteLibrary(const TempFolder& program, bool voice) {
  std::string message;
  const std::string folder = program.Path("歌曲/单曲/小曲_KTV版/data");
  ASSERT_TRUE(content::WriteSongPackage(folder, KtvSong(), message)) << message;
  testing::WriteQuietMusic(folder + "/", 7);
  std::ofstream(program.Path("List.txt"), std::ios::binary)
      << platform::Utf8ToGbk("普通 流行\r\n小曲_KTV版 K 歌\r\n").value();
  testing::WriteTake(program.Path("take.wav"), KtvTake(voice));
}

class KtvSongRun : public ::testing::TestWithParam<bool> {};

TEST_P(KtvSongRun, LanesCalibrationLoudnessAndBack) {
  testing::TestApplication();
  platform::SetProgramFolder(SONAVERA_PROGRAM_DIR);
  const bool voice = GetParam();
  TempFolder program;
  WriteLibrary(program, voice);
  testing::TakeFedPerformance run(program.Path(), program.Path("take.wav"));
  Performance& performance = run.performance;
  const std::vector<std::string>& stageMessages = run.stageMessages;  // recorded, never a modal box
  std::optional<SongResult> result;
  performance.onSongEnd = [&](const SongResult& song) { result = song; };
  QuietServices services;
  CRating1Dlg window(program.Path(), services);
  window.SetPerformance(&performance);
  window.show();
  window.ControlAs<QPushButton>(1081)->click();
  auto* list = window.ControlAs<QListWidget>(1072);
  ASSERT_EQ(list->count(), 2);
  auto* sing = window.ControlAs<QPushButton>(1129);
  auto* dance = window.ControlAs<QPushButton>(1130);

  // The dance lane on for an ordinary song goes off when the KTV song is chosen.
  Pick(list, 0);
  dance->click();
  ASSERT_EQ(window.danceOn, 1);
  Pick(list, 1);
  EXPECT_EQ(window.danceOn, 0);
  EXPECT_EQ(window.singOn, 1);
  EXPECT_FALSE(dance->isChecked());
  EXPECT_TRUE(sing->isChecked());
  // Neither lane can be changed for it.
  dance->click();
  sing->click();
  EXPECT_EQ(services.messages, (std::vector<std::string>{"K歌模式下不能热舞", "K歌模式下必须选择狂歌"}));
  EXPECT_EQ(window.danceOn, 0);
  EXPECT_EQ(window.singOn, 1);
  EXPECT_FALSE(dance->isChecked());
  EXPECT_TRUE(sing->isChecked());
  services.messages.clear();

  window.ControlAs<QPushButton>(1064)->click();
  ASSERT_TRUE(services.messages.empty()) << services.messages.front();
  ASSERT_TRUE(stageMessages.empty()) << stageMessages.front();
  ASSERT_TRUE(performance.Running());
  EXPECT_EQ(window.ktvMode, 1);
  const judge::JudgeState& state = performance.GetJudge().state();
  EXPECT_EQ(state.ktvMode, 1);
  EXPECT_TRUE(performance.GetStage().ktvMode);
  EXPECT_FALSE(performance.GetStage().danceOn);

  // The calibration hears the room, not the voice: its floor sets the threshold.
  ASSERT_TRUE(RunUntil([&] { return state.noiseThreshold > 0.0; }, 20000)) << "no calibration";
  const double floorBlock = 80 * (2 / M_PI) * 1000 / 5000.0;  // mean |sin| over a block of noise
  EXPECT_NEAR(state.calibrationPeak, floorBlock, floorBlock * 0.1);
  EXPECT_NEAR(state.noiseThreshold, state.calibrationPeak * 2 / 3, 1e-9);

  ASSERT_TRUE(RunUntil([&] { return result.has_value(); }, 30000)) << "the song never reached its results";
  EXPECT_EQ(performance.App().performanceActive, 0);
  EXPECT_EQ(result->title, "小曲_KTV版");
  EXPECT_NE(result->reportHtml.find("KTV版本歌曲"), std::string::npos) << result->reportHtml;
  EXPECT_GT(state.totalBlocks, 100);
  if (voice) {
    // Nearly every block in the cues' windows was loud: the score is at least 80.
    EXPECT_GT(state.loudBlocks, state.totalBlocks * 8 / 10);
    EXPECT_GE(result->finalScore, 80.0f);
    EXPECT_LT(result->finalScore, 100.0f);
  } else {
    EXPECT_EQ(state.loudBlocks, 0);
    EXPECT_EQ(result->finalScore, 0.0f);
  }

  window.ReturnToList();
  EXPECT_FALSE(performance.Running());
  EXPECT_TRUE(list->isVisible());
  EXPECT_EQ(list->currentRow(), 1);
  EXPECT_EQ(window.singOn, 1);
  EXPECT_TRUE(sing->isChecked());
  EXPECT_TRUE(sing->isVisible());
}

INSTANTIATE_TEST_SUITE_P(LoudAndSilent, KtvSongRun, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Loud" : "Silent"; });

}  // namespace
}  // namespace sonavera::app
