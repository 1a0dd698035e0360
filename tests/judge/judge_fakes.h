#pragma once

#include <map>
#include <string>
#include <vector>

#include "content/song_tables.h"
#include "judge/judge.h"
#include "judge/line_tracker.h"
#include "judge/offline_ports.h"

// Stand-ins for the microphone, the recorder, the stage and the main window, recording what the judge
// asked of them; and a small song built in memory.

namespace sonavera::judge::testing {

/// The take device with counts of what the judge asked of it, and a settable open error.
class FakeCaptureDevice : public TakeCaptureDevice {
 public:
  int Open(int deviceNumber) override {
    openedDevice = deviceNumber;
    return openError;
  }
  void Start() override {
    TakeCaptureDevice::Start();
    ++starts;
  }
  void Reset() override {
    TakeCaptureDevice::Reset();
    ++resets;
  }

  int starts = 0;
  int resets = 0;
  int openError = 0;
  int openedDevice = -2;
};

class FakeRecorder : public PerformanceRecorder {
 public:
  bool StartRecording(int channels, int rate, int bits) override {
    calls.push_back("start " + std::to_string(channels) + " " + std::to_string(rate) + " " +
                    std::to_string(bits));
    return true;
  }
  bool Stop() override {
    calls.push_back("stop");
    return true;
  }
  bool SaveAs(const std::string& path) override {
    calls.push_back("save " + path);
    return true;
  }
  void Close() override { calls.push_back("close"); }
  std::vector<std::string> calls;
};

class FakeStage : public MarkerStage {
 public:
  void SetSingerMarker(int y, int nearFlag, int hitFlag, int missFlag) override {
    ++markerCalls;
    MarkerStage::SetSingerMarker(y, nearFlag, hitFlag, missFlag);
  }
  void StopMusic() override { ++musicStops; }
  int markerCalls = 0;
  int musicStops = 0;
};

class FakeShell : public PerformanceShell {
 public:
  void ForgetStageWindow() override { ++stageForgotten; }
  void ShowManVoiceSelected() override { ++manVoiceShown; }
  void PrepareNextMedleySong(int number) override {
    preparedSongs.push_back(number);
    if (tables != nullptr) *tables = nextSong;
  }
  void ShowMedleyScore(float score) override { medleyScores.push_back(score); }
  void ClearMixdownFlags() override { ++mixdownCleared; }

  int stageForgotten = 0;
  int manVoiceShown = 0;
  int mixdownCleared = 0;
  std::vector<int> preparedSongs;
  std::vector<float> medleyScores;
  content::SongTables* tables = nullptr;  // where the next medley song is loaded
  content::SongTables nextSong;
};

class FakeFiles : public ProgramFiles {
 public:
  bool Exists(const std::string& name) override { return files.count(name) != 0; }
  void WriteText(const std::string& name, const std::string& text) override { files[name] = text; }
  std::map<std::string, std::string> files;
};

/// One sung line of an in-memory song.
struct TestLine {
  float start;
  float end;
  std::vector<int> frames;
};

/// Song tables as the loader builds them (timing, packed references, voiced counts, work buffers).
inline content::SongTables MakeSong(const std::vector<TestLine>& lines, float closingEnd = -1.0f) {
  content::SongTables song;
  song.lineCount = static_cast<int>(lines.size()) + 1;
  for (const TestLine& line : lines) {
    song.lineStart.push_back(line.start);
    song.lineEnd.push_back(line.end);
    song.lineRefs.push_back(static_cast<int>(line.frames.size()));
    int voiced = 0;
    for (int frame : line.frames) {
      song.lineRefs.push_back(frame);
      voiced += frame > 0 ? 1 : 0;
    }
    song.lineFrameCount.push_back(static_cast<int>(line.frames.size()));
    song.lineVoiced.push_back(voiced);
    song.lineNoteCount.push_back(0);
  }
  const float lastEnd = lines.empty() ? 0.0f : lines.back().end;
  song.lineStart.push_back(lastEnd);
  song.lineEnd.push_back((closingEnd < 0.0f ? lastEnd : closingEnd) + 2.5f);
  song.lineFrameCount.push_back(0);
  song.lineVoiced.push_back(0);
  song.lineNoteCount.push_back(0);
  song.lineBytes.assign(song.lineCount, 0);
  song.pitchFrames.assign(kPitchFrameCapacity, 0);
  return song;
}

/// A judge wired to fakes, with the song attached and the performance marked active.
struct JudgeRig {
  explicit JudgeRig(content::SongTables tables = {})
      : song(std::move(tables)),
        judge(JudgeLinks{&device, &recorder, &stage, &shell, &files, "/prog/"}, app, shared) {
    judge.SetSongTables(&song);
    shell.tables = &song;
    app.performanceActive = 1;
  }

  /// Delivers the next queued buffer filled with `samples` (cycled) at clock `time`.
  CaptureBuffer* Deliver(float time, const std::vector<int16_t>& samples) {
    CaptureBuffer* buffer = device.Take();
    if (buffer == nullptr) return nullptr;
    const int count = buffer->byteLength / 2;
    for (int i = 0; i < count; ++i) buffer->data[i] = samples.empty() ? 0 : samples[i % samples.size()];
    shared.playbackTime = time;
    judge.OnCaptureData(*buffer);
    return buffer;
  }

  FakeCaptureDevice device;
  FakeRecorder recorder;
  FakeStage stage;
  FakeShell shell;
  FakeFiles files;
  AppState app;
  StageShared shared;
  content::SongTables song;
  Judge judge;
};

}  // namespace sonavera::judge::testing
