#include "app/performance.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QPushButton>
#include <QThread>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>

#include "app/main_window.h"
#include "app/main_window_services.h"
#include "app/qt_app.h"
#include "app/results_file.h"
#include "app/song_run.h"
#include "app/stage_report_window.h"
#include "audio/test_media.h"
#include "content/package_writer.h"
#include "content/temp_folder.h"
#include "platform/program_folder.h"
#include "platform/text_encoding.h"
#include "platform/wav_file.h"

namespace sonavera::app {
namespace {

using content::testing::TempFolder;
using testing::QuietServices;
using testing::RunUntil;
namespace fs = std::filesystem;

// The short song with a quiet accompaniment in a program folder of its own, and the take.
void WriteLibrary(const TempFolder& program, bool voice) {
  std::string message;
  // Three short lines; the last one closes the song about 9 s in.
  ASSERT_TRUE(content::WriteSongPackage(program.Path("歌曲/单曲/短歌/data"),
                                        testing::MiddleCSong("短歌", {1.0f, 3.0f, 5.0f}, 100), message))
      << message;
  testing::WriteQuietMusic(program.Path("歌曲/单曲/短歌/data/"), 12);
  std::ofstream(program.Path("List.txt"), std::ios::binary) << platform::Utf8ToGbk("短歌 测试\r\n").value();
  // A man singing middle C an octave low, or silence.
  testing::WriteTake(program.Path("take.wav"), testing::HeldNoteTake(voice, 48, 30));
}

class WholeSong : public ::testing::TestWithParam<bool> {};

// Start page -> "开始演唱" -> the list -> the short song, sung from the WAV -> results -> back to the
// list; the results file holds the song's result.
TEST_P(WholeSong, SungFromMicFileToResultsAndBack) {
  testing::TestApplication();
  platform::SetProgramFolder(SONAVERA_PROGRAM_DIR);  // the stage's artwork
  const bool voice = GetParam();
  TempFolder program;
  WriteLibrary(program, voice);
  testing::TakeFedPerformance run(program.Path(), program.Path("take.wav"));
  Performance& performance = run.performance;
  const std::vector<std::string>& stageMessages = run.stageMessages;  // recorded, never a modal box
  std::optional<SongResult> result;
  const std::string resultsPath = program.Path("results.json");
  performance.onSongEnd = [&](const SongResult& song) {
    result = song;
    WriteResultsFile(resultsPath, song);
  };
  QuietServices services;
  {
    CRating1Dlg window(program.Path(), services);
    window.SetPerformance(&performance);
    StageReportWindow reportWindow(performance.GetStage(), &window, program.Path(), "");
    performance.reportWindow = &reportWindow;
    struct Unhook {
      Performance& performance;
      ~Unhook() { performance.reportWindow = nullptr; }
    } unhook{performance};
    window.show();
    window.ControlAs<QPushButton>(1081)->click();  // "开始演唱"
    auto* list = window.ControlAs<QListWidget>(1072);
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), 1);
    list->setCurrentRow(0);
    window.ControlAs<QPushButton>(1064)->click();  // start the song
    ASSERT_TRUE(services.messages.empty()) << services.messages.front();
    ASSERT_TRUE(stageMessages.empty()) << stageMessages.front();
    EXPECT_TRUE(performance.Running());
    EXPECT_TRUE(window.Control(1014)->isVisible());
    EXPECT_FALSE(list->isVisible());

    ASSERT_TRUE(RunUntil([&] { return result.has_value(); }, 40000)) << "the song never reached its results";
    EXPECT_EQ(result->title, "短歌");
    EXPECT_EQ(performance.App().performanceActive, 0);
    if (voice) {
      EXPECT_GT(result->finalScore, 50.0f);
      EXPECT_GE(result->bestLine, 0);
      EXPECT_FALSE(result->reportHtml.empty());
    } else {
      EXPECT_EQ(result->finalScore, 0.0f);
    }

    // The report window opens beside the results with the song's lines to replay.
    EvaluDlg* report = reportWindow.Window();
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isVisible());
    const ReplaySource& replay = reportWindow.LastReplay();
    EXPECT_EQ(replay.bestLine, result->bestLine);
    EXPECT_EQ(replay.worstLine, result->worstLine);
    ASSERT_GE(replay.lineStart.size(), 3u);
    EXPECT_FLOAT_EQ(replay.lineStart[1], 3.0f);
    EXPECT_EQ(replay.programFolder, program.Path());
    EXPECT_TRUE(replay.songFolder.ends_with("短歌/data")) << replay.songFolder;
    if (!result->reportHtml.empty()) {
      ASSERT_TRUE(
          RunUntil([&] { return report->ShownHtml().find(result->reportHtml) != std::string::npos; }, 5000))
          << report->ShownHtml();
    }
    if (voice) {
      report->OnReplayBestLine();  // what "app:ok" posts
      EXPECT_EQ(report->ReplayPhase(), 1);

      // The replay button mixes the take with the accompaniment, then plays the mix.
      EXPECT_TRUE(fs::exists(program.Path("temp.wav")));
      EXPECT_EQ(performance.RecordingState(), audio::Mixdown::kIdle);
      performance.ToggleRecording();
      ASSERT_TRUE(RunUntil([&] { return performance.RecordingState() == audio::Mixdown::kPlaying; }, 20000))
          << (stageMessages.empty() ? "" : stageMessages.front());
      EXPECT_GT(fs::file_size(program.Path("uion.wav")), 44u);
    }

    window.ReturnToList();  // the results screen's back button
    EXPECT_EQ(reportWindow.Window(), nullptr);
    EXPECT_FALSE(performance.Running());
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(window.Control(1014)->isVisible());
  }
  std::ifstream in(resultsPath, std::ios::binary);
  const std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
  EXPECT_EQ(object["title"].toString().toStdString(), "短歌");
  EXPECT_FLOAT_EQ(static_cast<float>(object["finalScore"].toDouble()), result->finalScore);
  EXPECT_EQ(object["reportHtml"].toString().toStdString(), result->reportHtml);
}

// Closing the window in the middle of the song winds the performance down: capture stops and the
// next song could start.
TEST(WholeSongClose, ClosingTheWindowMidSongEndsThePerformance) {
  testing::TestApplication();
  platform::SetProgramFolder(SONAVERA_PROGRAM_DIR);
  TempFolder program;
  WriteLibrary(program, true);
  testing::TakeFedPerformance run(program.Path(), program.Path("take.wav"));
  Performance& performance = run.performance;
  bool resultShown = false;
  performance.onSongEnd = [&](const SongResult&) { resultShown = true; };
  QuietServices services;
  CRating1Dlg window(program.Path(), services);
  window.SetPerformance(&performance);
  window.show();
  window.ControlAs<QPushButton>(1081)->click();
  window.ControlAs<QListWidget>(1072)->setCurrentRow(0);
  window.ControlAs<QPushButton>(1064)->click();
  // Into the second line: the judge has been fed buffers.
  ASSERT_TRUE(RunUntil([&] { return performance.GetStage().shared.playbackTime > 3.2f; }, 20000));
  window.close();
  EXPECT_FALSE(performance.Running());
  EXPECT_FALSE(window.songRunning);
  EXPECT_EQ(performance.App().performanceActive, 0);
  EXPECT_EQ(performance.GetStage().shared.playbackTime, 0.0f);
  // Buffers the device handed back before the close are dropped, not judged into a result.
  RunUntil([] { return false; }, 300);
  EXPECT_FALSE(resultShown);
  EXPECT_EQ(performance.App().performanceActive, 0);
}

INSTANTIATE_TEST_SUITE_P(VoiceAndSilence, WholeSong, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Voice" : "Silence"; });

// Quotes, backslashes, newlines and Chinese survive the results file; a file that cannot be written
// is reported and leaves nothing behind.
TEST(ResultsFile, EscapesTextAndReportsUnwritablePaths) {
  TempFolder temp;
  SongResult song{"“引号” \"q\" \\ 歌", 87.5f, 12.0f, 2, 0, "<b>好</b>\n\"line\""};
  ASSERT_TRUE(WriteResultsFile(temp.Path("r.json"), song));
  std::ifstream in(temp.Path("r.json"), std::ios::binary);
  const std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  QJsonParseError parseError;
  const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(json), &parseError).object();
  ASSERT_EQ(parseError.error, QJsonParseError::NoError);
  EXPECT_EQ(object["title"].toString().toStdString(), song.title);
  EXPECT_DOUBLE_EQ(object["finalScore"].toDouble(), 87.5);
  EXPECT_DOUBLE_EQ(object["danceScore"].toDouble(), 12.0);
  EXPECT_EQ(object["bestLine"].toInt(), 2);
  EXPECT_EQ(object["worstLine"].toInt(), 0);
  EXPECT_EQ(object["reportHtml"].toString().toStdString(), song.reportHtml);
  EXPECT_FALSE(fs::exists(temp.Path("r.json.part")));

  EXPECT_FALSE(WriteResultsFile(temp.Path("missing/r.json"), song));
  EXPECT_FALSE(fs::exists(temp.Path("missing")));
}

}  // namespace
}  // namespace sonavera::app
