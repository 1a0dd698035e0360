#pragma once

#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "judge/judge_ports.h"
#include "judge/line_tracker.h"

// What stands in for hardware when a recorded take is judged: a capture device fed from the take on a
// virtual clock, a recorder that records nothing, and the stage's and main window's ends.

namespace sonavera::tool {

/// Hands the queued buffers back filled from the take, one per call of Deliver.
class TakeCaptureDevice : public judge::CaptureDevice {
 public:
  explicit TakeCaptureDevice(const std::vector<int16_t>& take) : take_(take) {}

  int Open(int) override { return 0; }
  void Queue(judge::CaptureBuffer& buffer) override {
    buffer.bytesRecorded = 0;
    queue_.push_back(&buffer);
  }
  void Start() override { started_ = true; }
  void Reset() override {
    queue_.clear();
    started_ = false;
  }

  /// The front buffer filled from take sample `first` on (zeros past the end of the take); nullptr
  /// when the device is stopped or holds no buffer.
  judge::CaptureBuffer* Fill(size_t first) {
    if (!started_ || queue_.empty()) return nullptr;
    judge::CaptureBuffer* buffer = queue_.front();
    queue_.pop_front();
    const size_t samples = static_cast<size_t>(buffer->byteLength / 2);
    for (size_t i = 0; i < samples; ++i) {
      buffer->data[i] = first + i < take_.size() ? take_[first + i] : 0;
    }
    buffer->bytesRecorded = buffer->byteLength;
    return buffer;
  }

 private:
  const std::vector<int16_t>& take_;
  std::deque<judge::CaptureBuffer*> queue_;
  bool started_ = false;
};

/// The performance recording is not made offline.
class SilentRecorder : public judge::PerformanceRecorder {
 public:
  bool StartRecording(int, int, int) override { return true; }
  bool Stop() override { return true; }
  bool SaveAs(const std::string&) override { return true; }
  void Close() override {}
};

/// The stage's end: keeps the marker as the stage would.
class MarkerStage : public judge::StageLink {
 public:
  void SetSingerMarker(int y, int nearFlag, int hitFlag, int missFlag) override {
    marker.markerY = y;
    marker.markerKind = judge::MarkerKind(nearFlag, hitFlag, missFlag);
  }
  void StopMusic() override {}

  judge::SingerMarkerState marker;
};

/// No window to update offline.
class QuietShell : public judge::PerformanceShell {
 public:
  void ForgetStageWindow() override {}
  void ShowManVoiceSelected() override {}
  void PrepareNextMedleySong(int) override {}
  void ShowMedleyScore(float) override {}
  void ClearMixdownFlags() override {}
};

/// Files in the program's folder, as the program uses them.
class FolderFiles : public judge::ProgramFiles {
 public:
  explicit FolderFiles(std::string folder) : folder_(std::move(folder)) {}
  bool Exists(const std::string& name) override {
    FILE* file = std::fopen((folder_ + name).c_str(), "rb");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
  }
  void WriteText(const std::string& name, const std::string& text) override {
    FILE* file = std::fopen((folder_ + name).c_str(), "w+");
    if (file == nullptr) return;
    std::fputs(text.c_str(), file);
    std::fclose(file);
  }

 private:
  std::string folder_;
};

}  // namespace sonavera::tool
