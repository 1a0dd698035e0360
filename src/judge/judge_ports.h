#pragma once

#include <cstdint>
#include <string>

// What the judge reaches outside itself. The audio, stage and main-window code implement these; tests
// and sonavera-tool put fakes where a device would be.

namespace sonavera::judge {

/// One buffer handed to the capture device: the memory is the judge's, the device fills it.
struct CaptureBuffer {
  int16_t* data = nullptr;
  int byteLength = 0;     // capacity in bytes
  int bytesRecorded = 0;  // bytes the device filled before handing the buffer back
};

/// The microphone at 8000 samples per second, mono, 16-bit. Filled buffers come back to the judge's
/// OnCaptureData on the main window's thread.
class CaptureDevice {
 public:
  virtual ~CaptureDevice() = default;
  /// Opens input device `deviceNumber` (-1 = the system default) in the capture format; returns 0 on
  /// success, else the device's error code.
  virtual int Open(int deviceNumber) = 0;
  /// Adds a buffer to the device's queue (bytesRecorded is reset to 0 first).
  virtual void Queue(CaptureBuffer& buffer) = 0;
  /// Starts filling the queued buffers.
  virtual void Start() = 0;
  /// Stops capturing and gives up every queued buffer; none of them is handed back afterwards.
  virtual void Reset() = 0;
};

/// The recorder of the performance (44100 Hz stereo take saved as "temp.wav").
class PerformanceRecorder {
 public:
  virtual ~PerformanceRecorder() = default;
  virtual bool StartRecording(int channels, int samplesPerSecond, int bitsPerSample) = 0;
  virtual bool Stop() = 0;
  virtual bool SaveAs(const std::string& path) = 0;
  virtual void Close() = 0;
};

/// The stage as the judge sees it.
class StageLink {
 public:
  virtual ~StageLink() = default;
  /// Places the singer's pitch marker at row y with its classification flags.
  virtual void SetSingerMarker(int y, int nearFlag, int hitFlag, int missFlag) = 0;
  /// Stops the accompaniment's playback channel.
  virtual void StopMusic() = 0;
};

/// The main window's side of a performance's end.
class PerformanceShell {
 public:
  virtual ~PerformanceShell() = default;
  /// The stage window is gone: the next song creates it anew; the medley's song controls are freed.
  virtual void ForgetStageWindow() = 0;
  /// The voice selection went back to the man's voice: show its button pressed.
  virtual void ShowManVoiceSelected() = 0;
  /// Medley: loads the song numbered medleySongNumber into the song tables and restarts the stage.
  virtual void PrepareNextMedleySong(int medleySongNumber) = 0;
  /// Medley end: shows the score panel with the medley's score.
  virtual void ShowMedleyScore(float score) = 0;
  /// Clears the mixdown's shared flags (mixState, playRecording).
  virtual void ClearMixdownFlags() = 0;
};

/// Files in the program's folder, named without a folder.
class ProgramFiles {
 public:
  virtual ~ProgramFiles() = default;
  virtual bool Exists(const std::string& name) = 0;
  /// Creates or truncates the file and writes the text.
  virtual void WriteText(const std::string& name, const std::string& text) = 0;
};

}  // namespace sonavera::judge
