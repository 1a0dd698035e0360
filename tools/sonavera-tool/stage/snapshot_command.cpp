// sonavera-tool snapshot --song FOLDER [--voice WAV] [--woman] [--dance] [--ktv] [--keys FILE]
//                        --at SECONDS --out FILE.png [--results]
// Runs the stage and the judge on the offline judge's virtual clock with the engine headless and
// writes the frame shown at that time; with --results it plays the song to its end, through the
// closing wipe, and writes the results screen once it has settled.
#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "command.h"
#include "content/song_package.h"
#include "judge/folder_files.h"
#include "judge/judge.h"
#include "judge/ktv_loudness.h"
#include "judge/offline_inputs.h"
#include "judge/offline_ports.h"
#include "stage/stage.h"
#include "stage/stage_judge_link.h"

namespace sonavera::tool {
namespace {

constexpr float kTickSeconds = 0.016f;
constexpr int kTicksPerBuffer = 10;
constexpr float kCalibrationTime = 1.875f;
constexpr int kResultsFrames = 600;  // closing wipe, fade-in and the rows, with room to spare

struct KeyEvent {
  float time = 0.0f;
  int key = 0;
  bool down = false;
};

struct Options {
  std::string songFolder, voicePath, keysPath, outPath;
  float at = -1.0f;
  bool woman = false, dance = false, ktv = false, results = false;
};

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool takesValue =
        arg == "--song" || arg == "--voice" || arg == "--keys" || arg == "--at" || arg == "--out";
    if (takesValue && i + 1 >= args.size()) {
      error = "snapshot: " + arg + " needs a value";
      return false;
    }
    if (arg == "--song") {
      options.songFolder = args[++i];
    } else if (arg == "--voice") {
      options.voicePath = args[++i];
    } else if (arg == "--keys") {
      options.keysPath = args[++i];
    } else if (arg == "--out") {
      options.outPath = args[++i];
    } else if (arg == "--at") {
      char* end = nullptr;
      const std::string& text = args[++i];
      options.at = std::strtof(text.c_str(), &end);
      if (end == text.c_str() || *end != '\0' || !(options.at >= 0.0f) || options.at > 36000.0f) {
        error = "snapshot: --at needs seconds from 0 to 36000, not '" + text + "'";
        return false;
      }
    } else if (arg == "--woman") {
      options.woman = true;
    } else if (arg == "--dance") {
      options.dance = true;
    } else if (arg == "--ktv") {
      options.ktv = true;
    } else if (arg == "--results") {
      options.results = true;
    } else {
      error = "snapshot: unknown argument '" + arg + "'";
      return false;
    }
  }
  if (options.songFolder.empty() || options.outPath.empty() || (options.at < 0.0f && !options.results)) {
    error =
        "snapshot: usage: snapshot --song FOLDER [--voice WAV] [--woman] [--dance] [--ktv] [--keys FILE] "
        "--at SECONDS --out FILE.png [--results]";
    return false;
  }
  return true;
}

// Lines "seconds direction down|up"; blank lines and lines starting with '#' are skipped.
bool ReadKeys(const std::string& path, std::vector<KeyEvent>& keys, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "snapshot: cannot read the keys file " + path;
    return false;
  }
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.find_first_not_of(" \t\r") == std::string::npos || line[line.find_first_not_of(" \t")] == '#')
      continue;
    std::istringstream fields(line);
    KeyEvent event;
    std::string direction, state;
    if (!(fields >> event.time >> direction >> state) || !(event.time >= 0.0f)) {
      error = "snapshot: " + path + ":" + std::to_string(number) + ": expected \"seconds direction down|up\"";
      return false;
    }
    if (direction == "left") event.key = stage::HGEK_LEFT;
    if (direction == "down") event.key = stage::HGEK_DOWN;
    if (direction == "up") event.key = stage::HGEK_UP;
    if (direction == "right") event.key = stage::HGEK_RIGHT;
    if (event.key == 0 || (state != "down" && state != "up")) {
      error =
          "snapshot: " + path + ":" + std::to_string(number) + ": direction left|down|up|right, then down|up";
      return false;
    }
    event.down = state == "down";
    keys.push_back(event);
  }
  return true;
}

// The main window's side: the judge starts and ends with the performance.
class SnapshotShell : public stage::StageShell {
 public:
  explicit SnapshotShell(judge::Judge*& judgeRef) : judge(judgeRef) {}
  void BeginPerformance() override { judge->BeginPerformance(); }
  void ReturnToList() override {}
  void EndPerformance() override { judge->EndPerformance(); }
  void OpenReportWindow() override {}
  void ToggleRecording() override {}
  int RecordingState() override { return 0; }
  void StartRecordingIfReady() override {}
  void OpenUrl(const std::string&) override {}

 private:
  judge::Judge*& judge;
};

std::string FirstLine(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

int RunSnapshot(const std::vector<std::string>& args) {
  Options options;
  std::string error;
  if (!ParseOptions(args, options, error)) return Fail(error);
  if (!std::filesystem::is_directory(options.songFolder))
    return Fail("snapshot: not a folder: " + options.songFolder);
  std::vector<KeyEvent> keys;
  if (!options.keysPath.empty() && !ReadKeys(options.keysPath, keys, error)) return Fail(error);

  std::vector<int16_t> take;
  if (!options.voicePath.empty() && !ReadVoiceTake("snapshot", options.voicePath, take, error))
    return Fail(error);

  content::SongLoadOptions load = SongFolderLoad(options.songFolder);
  const std::string programFolder = load.programFolder;
  load.ktvMode = options.ktv;
  load.danceOn = options.dance;
  content::SongTables song;
  std::string message;
  if (!content::LoadSongPackage(load, song, message)) return Fail("snapshot: " + message);

  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (std::getenv("SDL_AUDIODRIVER") == nullptr) setenv("SDL_AUDIODRIVER", "dummy", 1);
  static int argc = 1;
  static char name[] = "sonavera-tool";
  static char* argv[] = {name, nullptr};
  QApplication application(argc, argv);

  judge::AppState app;
  judge::StageShared shared;
  judge::Judge* judgePointer = nullptr;
  SnapshotShell shell(judgePointer);
  stage::Stage stage(app, shared, shell);
  stage::StageJudgeLink stageEnd(stage);
  judge::TakeCaptureDevice device(take);
  judge::SilentRecorder recorder;
  judge::QuietShell quiet;
  FolderFiles files(programFolder);
  judge::Judge judge(judge::JudgeLinks{&device, &recorder, &stageEnd, &quiet, &files, programFolder}, app,
                     shared);
  judgePointer = &judge;

  stage.showMessage = [](const std::string& text, const std::string&) {
    std::fprintf(stderr, "%s\n", text.c_str());
  };
  if (!stage.initStage(nullptr))
    return Fail("snapshot: the stage could not start (are the stage pictures built?)");
  stage.hge->Timer_SetFixedDelta(kTickSeconds);
  stage.SetExternalClock(true);
  stage.SetJudgeState(&judge.state());
  stage.SetMarqueeLine(FirstLine(programFolder + "AD.txt"));
  stage.ktvMode = options.ktv;
  stage.danceOn = options.dance;
  stage.singOn = true;

  judge::JudgeState& state = judge.state();
  state.ktvMode = options.ktv ? 1 : 0;
  state.maleVoice = options.woman ? 0 : 1;
  app.performanceActive = 1;
  app.lineTotal = song.lineCount;
  app.songTitle = song.songTitle;
  judge.SetSongTables(&song);
  stage.resetStage();
  const bool video = !song.videoPath.empty() && std::filesystem::exists(song.videoPath);
  stage.startSong(song, load.dataFolder, video);
  stage.SkipOpening();

  const float lastTime =
      options.ktv ? song.lyricEndTime : (song.lineEnd.empty() ? 0.0f : song.lineEnd.back());
  const int lastTick = static_cast<int>((std::max(lastTime, options.at) + 6.0f) / kTickSeconds);
  size_t nextKey = 0;
  int calibrationTick = -1;
  int resultsFrames = 0;
  for (int n = 0; n <= lastTick + kResultsFrames; ++n) {
    const float t = static_cast<float>(n) * kTickSeconds;
    if (!options.results && t >= options.at) break;
    if (options.results && stage.stageMode == stage::kResults && ++resultsFrames > 360) break;
    while (nextKey < keys.size() && keys[nextKey].time <= t) {
      stage.hge->Input_Feed(keys[nextKey].key, keys[nextKey].down);
      ++nextKey;
    }
    // The clock stops with the performance (the judge's end sets it to 0 and stops the music).
    shared.playbackTime = app.performanceActive != 0 ? t : 0.0f;
    stage.onStageTick();
    if (app.performanceActive == 0) continue;
    if (!options.ktv) {
      if (n > 0 && n % kTicksPerBuffer == 0) {
        if (judge::CaptureBuffer* buffer =
                device.Fill(static_cast<size_t>(n / kTicksPerBuffer - 1) * judge::kBufferSamples)) {
          judge.OnCaptureData(*buffer);
        }
      }
    } else if (calibrationTick < 0 && shared.playbackTime >= kCalibrationTime) {
      calibrationTick = n;
      if (judge::CaptureBuffer* buffer = device.Fill(0)) judge.OnCaptureData(*buffer);
    } else if (calibrationTick >= 0 && n > calibrationTick && (n - calibrationTick) % kTicksPerBuffer == 0) {
      const size_t k = static_cast<size_t>((n - calibrationTick) / kTicksPerBuffer - 1);
      if (judge::CaptureBuffer* buffer =
              device.Fill(judge::kCalibrationSamples + k * judge::kBufferSamples)) {
        judge.OnCaptureData(*buffer);
      }
    }
    // A song that never ends by itself (no lines) is ended for the results screen.
    if (options.results && n > lastTick && app.performanceActive != 0) judge.EndPerformance();
  }
  if (options.results && stage.stageMode != stage::kResults)
    return Fail("snapshot: the song did not reach its results");
  if (!stage.hge->Gfx_SaveFrame(options.outPath.c_str()))
    return Fail("snapshot: cannot write " + options.outPath);
  return 0;
}

}  // namespace
}  // namespace sonavera::tool

SONAVERA_TOOL_COMMAND(
    "snapshot",
    "snapshot --song FOLDER [--voice WAV] [--woman] [--dance] [--ktv] [--keys FILE] --at SECONDS "
    "--out FILE.png [--results]   write a stage frame as PNG",
    sonavera::tool::RunSnapshot);
