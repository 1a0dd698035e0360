#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "content/song_tables.h"
#include "judge/judge_ports.h"
#include "judge/judge_state.h"
#include "judge/shared_state.h"

namespace sonavera::judge {

/// Capture format and buffers.
inline constexpr int kCaptureRate = 8000;
inline constexpr int kBufferSamples = 1280;  // one streaming buffer, 0.16 s
inline constexpr int kBufferBytes = kBufferSamples * 2;
inline constexpr int kStreamingBuffers = 4;
inline constexpr int kCalibrationBytes = 30000;
inline constexpr int kPitchFrameCapacity = 2560;

/// What the judge talks to. Every pointer must stay valid for the judge's life.
struct JudgeLinks {
  CaptureDevice* device = nullptr;
  PerformanceRecorder* recorder = nullptr;
  StageLink* stage = nullptr;
  PerformanceShell* shell = nullptr;
  ProgramFiles* files = nullptr;
  std::string programFolder;  // with a trailing '/', for "temp.wav"
};

/// The singing judge: follows the song line by line through the capture buffers, scores the lines,
/// counts loudness for KTV songs and ends the performance. Everything runs on the main window's
/// thread, the same thread that runs the stage.
class Judge {
 public:
  Judge(JudgeLinks links, AppState& app, StageShared& stage);
  Judge(const Judge&) = delete;
  Judge& operator=(const Judge&) = delete;

  /// The song tables of the performance (owned by the main window); nullptr when none is loaded.
  void SetSongTables(content::SongTables* tables) { song_ = tables; }

  JudgeState& state() { return state_; }
  const JudgeState& state() const { return state_; }
  /// The pitch track of the last analysed buffer.
  const int* pitchFrames() const;

  /// Opens the capture device; on failure `message` holds the text the user is shown.
  bool OpenCaptureDevice(std::string& message);
  /// Hands the four streaming buffers to the device.
  void QueueCaptureBuffers();
  /// KTV songs: queues one long buffer that measures the noise floor and starts the device.
  void StartCalibration();
  /// Called when the accompaniment has started: resets the line state and starts capture and recording.
  void BeginPerformance();
  /// A filled buffer came back from the device. Always returns 0.
  int OnCaptureData(CaptureBuffer& buffer);
  /// Before a line opens: tracks the whole buffer and moves the marker to the most frequent pitch.
  void PreviewPitch(const int16_t* samples, int count);
  /// Stops the clock, the accompaniment and the device.
  void StopCapture();
  /// Ends the performance (song end, KTV end or return to the list).
  void EndPerformance();
  /// KTV song past its last cue: publishes the loudness score and ends the performance.
  void FinishKtvSong();
  /// The main window's return to the list: forgets the song's sums and grades, then ends.
  void ReturnToList();
  /// Frees the song tables and rewinds the reference cursor.
  void ReleaseSongTables();

 private:
  void Calibrate(CaptureBuffer& buffer);
  void JudgeLineBuffer(int16_t* samples);
  void CloseLine();
  void EndSong();
  void EnsureWorkBuffers();

  JudgeLinks links_;
  AppState& app_;
  StageShared& stage_;
  content::SongTables* song_ = nullptr;
  JudgeState state_;

  // Allocated once for the judge's life; the device fills them in turn.
  std::array<std::array<int16_t, kBufferSamples>, kStreamingBuffers> streamingSamples_{};
  std::array<CaptureBuffer, kStreamingBuffers> streamingBuffers_{};
  // KTV: allocated per performance, freed once measured.
  std::vector<int16_t> calibrationSamples_;
  CaptureBuffer calibrationBuffer_;
  bool songEnded_ = false;  // the buffer being handled ended the song
};

}  // namespace sonavera::judge
