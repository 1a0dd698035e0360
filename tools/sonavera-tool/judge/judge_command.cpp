// sonavera-tool judge --song FOLDER --voice WAV [--woman] [--ktv] [--trace]: judges a recorded take
// against a song with the program's own capture handler, line scoring and line model on a virtual
// clock of 16 ms ticks. Only the clock, the capture device and the recorder are stand-ins.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "command.h"
#include "content/song_package.h"
#include "folder_files.h"
#include "json_writer.h"
#include "judge/final_score.h"
#include "judge/judge.h"
#include "judge/ktv_loudness.h"
#include "judge/line_scoring.h"
#include "judge/line_tracker.h"
#include "judge/offline_ports.h"
#include "offline_inputs.h"
#include "platform/program_folder.h"
#include "platform/text_encoding.h"

namespace sonavera::tool {
namespace {

constexpr float kTickSeconds = 0.016f;
constexpr float kCalibrationTime = 1.875f;  // KTV: the noise floor is measured from here
constexpr int kTicksPerBuffer = 10;         // 0.16 s buffers on 16 ms ticks
constexpr float kOverrun = 5.0f;            // give up this long after the song's last time

struct Options {
  std::string songFolder;
  std::string voicePath;
  bool woman = false;
  bool ktv = false;
  bool trace = false;
};

// What a person reads about one line.
struct LineResult {
  bool closed = false;
  float score = 0.0f;
};

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--song" || arg == "--voice") {
      if (i + 1 >= args.size()) {
        error = "judge: " + arg + " needs a value";
        return false;
      }
      (arg == "--song" ? options.songFolder : options.voicePath) = args[++i];
    } else if (arg == "--woman") {
      options.woman = true;
    } else if (arg == "--ktv") {
      options.ktv = true;
    } else if (arg == "--trace") {
      options.trace = true;
    } else {
      error = "judge: unknown argument '" + arg + "'";
      return false;
    }
  }
  if (options.songFolder.empty() || options.voicePath.empty()) {
    error = "judge: usage: judge --song FOLDER --voice WAV [--woman] [--ktv] [--trace]";
    return false;
  }
  return true;
}

class OfflineJudge {
 public:
  OfflineJudge(const Options& options, content::SongTables& song, const std::vector<int16_t>& take)
      : options_(options),
        song_(song),
        device_(take),
        files_(platform::ProgramFolder()),
        judge_(judge::JudgeLinks{&device_, &recorder_, &stage_, &shell_, &files_, platform::ProgramFolder()},
               app_, shared_),
        tracker_(shared_),
        lines_(song.lineCount > 1 ? song.lineCount - 1 : 0) {}

  void Run() {
    Start();
    const float lastTime =
        options_.ktv ? song_.lyricEndTime : (song_.lineEnd.empty() ? 0.0f : song_.lineEnd.back());
    for (int tick = 0;; ++tick) {
      if (Tick(tick)) break;
      if (static_cast<float>(tick) * kTickSeconds > lastTime + kOverrun) break;
    }
    if (!options_.trace) PrintTable();
  }

 private:
  void Start() {
    // The stage's reset and song start, then the start of the performance (no opening wipe).
    tracker_.Reset();
    judge::JudgeState& state = judge_.state();
    state.loudBlocks = 0;
    state.totalBlocks = 1;
    state.ktvMode = options_.ktv ? 1 : 0;
    state.maleVoice = options_.woman ? 0 : 1;
    tracker_.StartSong(song_, options_.ktv);
    app_.performanceActive = 1;
    app_.lineTotal = song_.lineCount;
    app_.songTitle = song_.songTitle;
    judge_.SetSongTables(&song_);
    judge_.BeginPerformance();
  }

  // One 16 ms tick; true when the judging is over.
  bool Tick(int tick) {
    shared_.playbackTime = static_cast<float>(tick) * kTickSeconds;
    tracker_.FrameUpdate();
    tracker_.RowLoop();
    tracker_.Tick();
    return options_.ktv ? KtvTick(tick) : ScoredTick(tick);
  }

  bool ScoredTick(int tick) {
    if (tick == 0 || tick % kTicksPerBuffer != 0) return false;
    const size_t k = static_cast<size_t>(tick / kTicksPerBuffer - 1);
    judge::CaptureBuffer* buffer = device_.Fill(k * judge::kBufferSamples);
    if (buffer == nullptr) return false;
    const judge::JudgeState& state = judge_.state();
    const int lineBefore = state.lineIndex;
    const int closesBefore = state.lineCloseCount;
    judge_.OnCaptureData(*buffer);
    if (options_.trace) TraceBuffer(tick);
    if (state.lineCloseCount != closesBefore) {
      NoteClose(lineBefore);
      if (options_.trace) TraceClose(tick);
    }
    if (app_.performanceActive == 0) {
      songEnded_ = true;
      if (options_.trace) {
        JsonWriter json;
        json.BeginObject().Key("event").String("end").Key("finalScore").Float(app_.finalScore).EndObject();
        std::printf("%s\n", json.Text().c_str());
      }
      return true;
    }
    return false;
  }

  bool KtvTick(int tick) {
    if (calibrationTick_ < 0 && shared_.playbackTime >= kCalibrationTime) {
      calibrationTick_ = tick;
      if (judge::CaptureBuffer* buffer = device_.Fill(0)) judge_.OnCaptureData(*buffer);
    } else if (calibrationTick_ >= 0 && tick > calibrationTick_ &&
               (tick - calibrationTick_) % kTicksPerBuffer == 0) {
      const size_t k = static_cast<size_t>((tick - calibrationTick_) / kTicksPerBuffer - 1);
      if (judge::CaptureBuffer* buffer =
              device_.Fill(judge::kCalibrationSamples + k * judge::kBufferSamples)) {
        judge_.OnCaptureData(*buffer);
      }
    }
    judge::AdvanceLyricCue(shared_, song_);
    if (!(shared_.playbackTime > song_.lyricEndTime)) return false;

    const judge::JudgeState& state = judge_.state();
    const int loud = state.loudBlocks;
    const int total = state.totalBlocks;
    judge_.FinishKtvSong();
    songEnded_ = true;
    if (options_.trace) {
      JsonWriter json;
      json.BeginObject().Key("event").String("ktv").Key("loudBlocks").Int(loud).Key("totalBlocks").Int(total);
      json.Key("noiseThreshold").Float(state.noiseThreshold);
      json.Key("ratio").Float(judge::KtvLoudnessRatio(loud, total, song_.ktvReferenceRatio));
      json.EndObject();
      std::printf("%s\n", json.Text().c_str());
    }
    return true;
  }

  void TraceBuffer(int tick) {
    const judge::JudgeState& state = judge_.state();
    JsonWriter json;
    json.BeginObject();
    json.Key("event").String("buffer");
    json.Key("tick").Int(tick);
    json.Key("t").Float(shared_.playbackTime);
    json.Key("lineIndex").Int(state.lineIndex);
    json.Key("samples").Int(state.lastBufferPreviewed ? judge::kBufferSamples : state.bufferSampleCount);
    json.Key("frames").BeginArray();
    const int* frames = judge_.pitchFrames();
    for (int i = 0; frames != nullptr && i < state.pitchFrameCount; ++i) json.Int(frames[i]);
    json.EndArray();
    json.Key("refIndex").Int(shared_.refIndex);
    json.Key("lineScore").Float(app_.lineScore);
    json.Key("markerY").Int(stage_.marker.markerY);
    json.Key("markerKind").Int(stage_.marker.markerKind);
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
  }

  void TraceClose(int tick) {
    JsonWriter json;
    json.BeginObject();
    json.Key("event").String("close");
    json.Key("tick").Int(tick);
    json.Key("t").Float(shared_.playbackTime);
    json.Key("lineIndex").Int(judge_.state().lineIndex);
    json.Key("lastLineScore").Float(judge_.state().lastLineScore);
    json.Key("lineGrade").Int(app_.lineGrade);
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
  }

  // A close run belongs to the line that was open when the buffer arrived. The last sung line is
  // closed on every buffer of its final 1.2 s: people see its best showing.
  void NoteClose(int line) {
    if (line < 0 || line >= static_cast<int>(lines_.size())) return;
    LineResult& result = lines_[line];
    const float score = judge_.state().lastLineScore;
    if (!result.closed || score > result.score) result.score = score;
    result.closed = true;
  }

  std::string LineLyric(int line) const {
    int first = 0;
    for (int l = 0; l < line && l < static_cast<int>(song_.lineNoteCount.size()); ++l)
      first += song_.lineNoteCount[l];
    std::string lyric;
    const int count = line < static_cast<int>(song_.lineNoteCount.size()) ? song_.lineNoteCount[line] : 0;
    for (int k = first; k < first + count && k < static_cast<int>(song_.noteLyrics.size()); ++k) {
      lyric += song_.noteLyrics[k];
    }
    const size_t from = lyric.find_first_not_of(' ');
    if (from == std::string::npos) return "";
    return platform::GbkToUtf8(lyric.substr(from, lyric.find_last_not_of(' ') - from + 1));
  }

  void PrintTable() {
    std::printf("%s (%s voice)\n", platform::GbkToUtf8(song_.songTitle).c_str(),
                options_.woman ? "woman's" : "man's");
    if (options_.ktv) {
      const judge::JudgeState& state = judge_.state();
      std::printf("loud blocks: %d of %d (%.1f %% of the reference)\n", state.loudBlocks, state.totalBlocks,
                  judge::KtvLoudnessRatio(state.loudBlocks, state.totalBlocks, song_.ktvReferenceRatio));
      std::printf("final score: %.1f\n", app_.finalScore);
      return;
    }
    std::printf("%4s  %-15s  %6s  %5s  %s\n", "line", "time", "score", "grade", "lyric");
    for (size_t i = 0; i < lines_.size(); ++i) {
      const LineResult& result = lines_[i];
      char span[40];
      std::snprintf(span, sizeof span, "%.2f-%.2f", song_.lineStart[i], song_.lineEnd[i]);
      const std::string lyric = LineLyric(static_cast<int>(i));
      if (result.closed) {
        std::printf("%4zu  %-15s  %6.1f  %5d  %s\n", i + 1, span, result.score,
                    judge::GradeForScore(result.score), lyric.c_str());
      } else {
        std::printf("%4zu  %-15s  %6s  %5s  %s\n", i + 1, span, "-", "-", lyric.c_str());
      }
    }
    if (!lines_.empty()) std::printf("(the last line is graded but does not count in the final score)\n");
    if (songEnded_) {
      std::printf("final score: %.1f\n", app_.finalScore);
    } else {
      std::printf("final score: none (the song did not end within %.0f s of its last line)\n", kOverrun);
    }
  }

  const Options& options_;
  content::SongTables& song_;
  judge::AppState app_;
  judge::StageShared shared_;
  judge::TakeCaptureDevice device_;
  judge::SilentRecorder recorder_;
  judge::MarkerStage stage_;
  judge::QuietShell shell_;
  FolderFiles files_;
  judge::Judge judge_;
  judge::LineTracker tracker_;
  std::vector<LineResult> lines_;
  int calibrationTick_ = -1;
  bool songEnded_ = false;
};

int RunJudge(const std::vector<std::string>& args) {
  Options options;
  std::string error;
  if (!ParseOptions(args, options, error)) return Fail(error);
  if (!std::filesystem::is_directory(options.songFolder))
    return Fail("judge: not a folder: " + options.songFolder);

  std::vector<int16_t> take;
  if (!ReadVoiceTake("judge", options.voicePath, take, error)) return Fail(error);

  content::SongLoadOptions load = SongFolderLoad(options.songFolder);
  load.ktvMode = options.ktv;
  content::SongTables song;
  std::string message;
  if (!content::LoadSongPackage(load, song, message)) return Fail("judge: " + message);

  OfflineJudge offline(options, song, take);
  offline.Run();
  return 0;
}

}  // namespace
}  // namespace sonavera::tool

SONAVERA_TOOL_COMMAND("judge",
                      "judge --song FOLDER --voice WAV [--woman] [--ktv] [--trace]   judge a recorded take",
                      sonavera::tool::RunJudge);
