// One performance frame (frame function, render with both lanes, line tracker) of a bundled song,
// with the engine headless at 800 x 600.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "content/song_package.h"
#include "platform/program_folder.h"
#include "stage/stage.h"

namespace {

using namespace sonavera;

class NoShell : public stage::StageShell {
 public:
  void BeginPerformance() override {}
  void ReturnToList() override {}
  void EndPerformance() override {}
  void OpenReportWindow() override {}
  void ToggleRecording() override {}
  int RecordingState() override { return 0; }
  void StartRecordingIfReady() override {}
  void OpenUrl(const std::string&) override {}
};

void BM_PerformanceFrame(benchmark::State& state) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  static int argc = 1;
  static char name[] = "stage_bench";
  static char* argv[] = {name, nullptr};
  static QApplication application(argc, argv);
  platform::SetProgramFolder(SONAVERA_PROGRAM_DIR);

  const std::string folder = std::string(SONAVERA_PROGRAM_DIR) + "/歌曲/单曲/茉莉花";
  content::SongLoadOptions load;
  load.programFolder = platform::ProgramFolder();
  load.dataFolder = content::FindSongDataFolder(folder);
  load.danceOn = true;
  content::SongTables song;
  std::string message;
  if (!content::LoadSongPackage(load, song, message)) {
    state.SkipWithError(("no demo song: " + message).c_str());
    return;
  }
  judge::AppState app;
  judge::StageShared shared;
  judge::JudgeState judgeState;
  NoShell shell;
  stage::Stage stage(app, shared, shell);
  if (!stage.initStage(nullptr)) {
    state.SkipWithError("the stage could not start");
    return;
  }
  stage.hge->Timer_SetFixedDelta(0.016f);
  stage.SetExternalClock(true);
  stage.SetJudgeState(&judgeState);
  stage.singOn = true;
  stage.danceOn = true;
  app.performanceActive = 1;
  stage.resetStage();
  stage.startSong(song, load.dataFolder, false);
  stage.SkipOpening();
  app.songLengthSec = 120;
  // Play into the song so rows, arrows and lyrics are on screen, then measure frames from there on.
  const float from = song.lineStart.empty() ? 10.0f : song.lineStart[song.lineStart.size() / 2];
  int n = 0;
  for (; static_cast<float>(n) * 0.016f < from - 4.0f; ++n) {
    shared.playbackTime = static_cast<float>(n) * 0.016f;
    stage.onStageTick();
  }
  app.lineScore = 60.0f;
  stage.SetSingerMarker(120, 0, 1, 0);
  for (auto _ : state) {
    shared.playbackTime = static_cast<float>(n++) * 0.016f;
    stage.onStageTick();
  }
}
BENCHMARK(BM_PerformanceFrame)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(300)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
