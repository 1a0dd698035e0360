#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/microphone.h"

namespace sonavera::platform {

/// A buffer handed to the capture device, owned by the caller until the device returns it.
struct CaptureBuffer {
  std::uint8_t* data = nullptr;
  std::uint32_t length = 0;         ///< bytes the buffer holds
  std::uint32_t bytesRecorded = 0;  ///< bytes filled when the device returned it
  std::uint32_t flags = 0;          ///< kCaptureBufferQueued / kCaptureBufferDone
  std::uint32_t loops = 1;
  std::uintptr_t user = 0;
};

inline constexpr std::uint32_t kCaptureBufferDone = 1;
inline constexpr std::uint32_t kCaptureBufferQueued = 16;

/// What the device tells its owner, the equivalent of the wave-in open, data and close messages.
enum class CaptureEventType { Open, Data, Close };

struct CaptureEvent {
  CaptureEventType type;
  CaptureBuffer* buffer;  ///< the returned buffer for Data, nullptr otherwise
};

/// Carries device events to the owner's thread (in the program a queued Qt event to the main
/// window). Called from the microphone's delivery thread and from the thread that calls the device;
/// it must only hand the event on and never call back into the device.
class CaptureEventSink {
 public:
  virtual ~CaptureEventSink() = default;
  virtual void PostCaptureEvent(const CaptureEvent& event) = 0;
};

/// Error codes of the capture operations besides the MicError codes of Open.
enum CaptureError : int {
  kCaptureNotOpen = 5,
  kCaptureInvalidBuffer = 11,
  kCaptureStillQueued = 33,
};

/// The analysis microphone: 8000 Hz, mono, 16-bit. Buffers are queued with AddBuffer, filled in
/// order while the device is started and returned full through the sink; when no buffer is queued
/// the audio is dropped. Reset returns every queued buffer, the partly filled one with what it has.
/// All operations are called from the owner's (user-interface) thread.
class CaptureDevice : private MicListener {
 public:
  static constexpr int kSampleRate = 8000;
  static constexpr int kChannels = 1;
  static constexpr int kBitsPerSample = 16;
  static constexpr std::uint32_t kStreamBufferCount = 4;
  static constexpr std::uint32_t kStreamBufferBytes = 2560;  // 1280 samples, 0.16 s
  static constexpr std::uint32_t kCalibrationBytes = 30000;  // 15000 samples, KTV noise floor

  explicit CaptureDevice(CaptureEventSink& sink, MicSettings settings = {});
  ~CaptureDevice() override;
  CaptureDevice(const CaptureDevice&) = delete;
  CaptureDevice& operator=(const CaptureDevice&) = delete;

  /// Sets the --mic-file replacement and its pace for the next Open (the device number is Open's).
  void SetMicSettings(const MicSettings& settings) { micSettings = settings; }

  /// Opens capture device `device` (-1 = the system default). Returns 0 or a MicError; posts Open.
  int Open(int device);
  bool IsOpen() const { return mic != nullptr; }
  /// Queues a buffer (its bytesRecorded is cleared). Returns 0 or a CaptureError.
  int AddBuffer(CaptureBuffer* buffer);
  /// Starts filling the queued buffers.
  int Start();
  /// Stops filling; a partly filled buffer is returned, empty ones stay queued.
  int Stop();
  /// Stops and returns every queued buffer in order, partly filled or empty.
  int Reset();
  /// Resets and closes the device; posts Close.
  int Close();

  /// Buffers currently queued (for tests and diagnostics).
  std::size_t queuedCount() const;

  /// Names for the settings' microphone list, in device-number order.
  static std::vector<std::string> DeviceNames();

 private:
  void OnMicSamples(const std::int16_t* samples, std::size_t count) override;
  void ReturnHead();  // with `mutex` held

  CaptureEventSink& sink;
  MicSettings micSettings;
  std::shared_ptr<Microphone> mic;
  mutable std::mutex mutex;  // guards queue between the owner's thread and the delivery thread
  std::deque<CaptureBuffer*> queue;
};

/// The text shown when the capture device cannot be opened, with its error code.
std::string CaptureOpenErrorText(int code);

}  // namespace sonavera::platform
