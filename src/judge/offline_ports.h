#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "judge/judge_ports.h"
#include "judge/line_tracker.h"

// The judge's ports when there is no hardware: a recorded take stands in for the microphone, and the
// recorder, the main window and the program's files do nothing. The offline judge, the stage snapshot
// and the tests and benchmarks of the judge run the real judge on these.

namespace sonavera::judge {

/// A capture device fed from a recorded take on the caller's clock: queued buffers wait until the
/// caller takes them back, one per call. The queue is a fixed ring, so queueing never allocates.
class TakeCaptureDevice : public CaptureDevice {
 public:
  /// More than the judge ever has queued at once (its streaming buffers and the calibration buffer).
  static constexpr size_t kQueueCapacity = 16;

  TakeCaptureDevice() = default;
  /// `take` (8000 Hz mono) must outlive the device.
  explicit TakeCaptureDevice(std::span<const int16_t> take) : take_(take) {}

  int Open(int deviceNumber) override;
  void Queue(CaptureBuffer& buffer) override;
  void Start() override;
  void Reset() override;

  /// The front buffer handed back full, its samples as they are; nullptr when none is queued.
  CaptureBuffer* Take();
  /// The front buffer filled from take sample `first` on (zeros past the end of the take); nullptr
  /// when the device is stopped or holds no buffer.
  CaptureBuffer* Fill(size_t first);

  size_t QueuedCount() const { return count_; }
  bool Started() const { return started_; }

 private:
  std::span<const int16_t> take_;
  std::array<CaptureBuffer*, kQueueCapacity> ring_{};
  size_t head_ = 0;
  size_t count_ = 0;
  bool started_ = false;
};

/// No performance recording is made.
class SilentRecorder : public PerformanceRecorder {
 public:
  bool StartRecording(int, int, int) override { return true; }
  bool Stop() override { return true; }
  bool SaveAs(const std::string&) override { return true; }
  void Close() override {}
};

/// The stage's end without a stage: keeps the singer's marker as the stage would.
class MarkerStage : public StageLink {
 public:
  void SetSingerMarker(int y, int nearFlag, int hitFlag, int missFlag) override;
  void StopMusic() override {}

  SingerMarkerState marker;
};

/// No window to update.
class QuietShell : public PerformanceShell {
 public:
  void ForgetStageWindow() override {}
  void ShowManVoiceSelected() override {}
  void PrepareNextMedleySong(int) override {}
  void ShowMedleyScore(float) override {}
  void ClearMixdownFlags() override {}
};

/// A program folder that holds nothing and keeps nothing written to it.
class NoProgramFiles : public ProgramFiles {
 public:
  bool Exists(const std::string&) override { return false; }
  void WriteText(const std::string&, const std::string&) override {}
};

}  // namespace sonavera::judge
