#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <map>
#include <string>

#include "audio/hw_mci.h"
#include "audio/message_sink.h"
#include "judge/judge.h"
#include "platform/audio/capture_device.h"

namespace sonavera::app {

/// The judge's microphone: the SDL capture device (or the --mic-file WAV). Filled buffers come back
/// as queued calls on the user-interface thread into Judge::OnCaptureData. Buffers handed back after
/// a Reset are dropped, as the judge expects.
class CaptureLink : public judge::CaptureDevice, private platform::CaptureEventSink {
 public:
  explicit CaptureLink(platform::MicSettings settings);
  ~CaptureLink() override;
  void SetJudge(judge::Judge* target) { judge = target; }

  int Open(int deviceNumber) override;
  void Queue(judge::CaptureBuffer& buffer) override;
  void Start() override;
  void Reset() override;
  /// Closes the device (the window is going away).
  void Close();

 private:
  /// Called from the microphone's delivery thread and from the user-interface thread.
  void PostCaptureEvent(const platform::CaptureEvent& event) override;
  void Deliver(platform::CaptureBuffer* buffer, int generationAtPost);

  QObject receiver;  // the queued calls die with it
  platform::MicSettings settings;
  platform::CaptureDevice device;
  judge::Judge* judge = nullptr;
  std::map<judge::CaptureBuffer*, platform::CaptureBuffer> buffers;  // node addresses stay put
  std::atomic<int> generation{0};
};

/// The performance's take through the recorder device.
class RecorderLink : public judge::PerformanceRecorder {
 public:
  explicit RecorderLink(const platform::MicSettings& settings) { recorder.SetMicSettings(settings); }
  bool StartRecording(int channels, int samplesPerSecond, int bitsPerSample) override {
    return recorder.StartRecording(channels, samplesPerSecond, bitsPerSample);
  }
  bool Stop() override { return recorder.Stop(); }
  bool SaveAs(const std::string& path) override { return recorder.SaveAs(path); }
  void Close() override { recorder.Close(); }

 private:
  audio::CHwMCI recorder;
};

/// Hands the mixdown's messages to the user-interface thread, where `show` displays them. Messages
/// still queued when `context` goes are dropped.
class UiMessageSink : public audio::MessageSink {
 public:
  UiMessageSink(QObject& context, std::function<void(const std::string&)> show)
      : context(context), show(std::move(show)) {}
  /// Called from the mixdown worker thread and from the user-interface thread.
  void ShowMessage(const std::string& text) override;

 private:
  QObject& context;
  std::function<void(const std::string&)> show;
};

/// Files in the program folder.
class FolderFiles : public judge::ProgramFiles {
 public:
  explicit FolderFiles(std::string folder) : folder(std::move(folder)) {}
  bool Exists(const std::string& name) override;
  void WriteText(const std::string& name, const std::string& text) override;

 private:
  std::string folder;
};

}  // namespace sonavera::app
