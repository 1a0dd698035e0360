#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/sample_ring.h"

namespace sonavera::platform {

/// Which microphone to listen to.
struct MicSettings {
  int device = -1;      ///< capture device number from CaptureDeviceNames(); -1 = the system default
  std::string micFile;  ///< when set, this PCM WAV replaces the microphone (then silence after its end)
  double speed = 1.0;   ///< pace of micFile: 1 = real time, as the program runs; tests may go faster
};

/// Error codes of opening the microphone, the numbers the user sees in the open-failure message.
enum MicError : int {
  kMicNoError = 0,
  kMicError = 1,        ///< the audio back end refused to open the device
  kMicBadDeviceId = 2,  ///< no capture device with that number
  kMicNoDriver = 6,     ///< no audio back end could be started
  kMicBadFile = 11,     ///< the --mic-file WAV cannot be read or is not PCM
};

/// Receives microphone samples, converted to the rate and channel count it subscribed with.
class MicListener {
 public:
  virtual ~MicListener() = default;
  /// Interleaved 16-bit samples. Called on the microphone's delivery thread.
  virtual void OnMicSamples(const std::int16_t* samples, std::size_t count) = 0;
};

class MicInput;

/// One open microphone shared by every path that listens to it (the judge's 8000 Hz mono capture and
/// the 44100 Hz stereo recorder hear the same device or the same --mic-file, at the same time). The
/// audio callback only copies into a ring; a delivery thread converts and hands samples to listeners.
class Microphone {
 public:
  /// Opens the microphone of `settings`, or shares the one already open. nullptr on failure with a
  /// MicError in `errorCode`.
  static std::shared_ptr<Microphone> Open(const MicSettings& settings, int* errorCode);
  ~Microphone();
  Microphone(const Microphone&) = delete;
  Microphone& operator=(const Microphone&) = delete;

  /// Adds a listener (inactive) that will get `rate` Hz with `channels` (1 or 2). False when the
  /// conversion cannot be set up.
  bool Subscribe(MicListener* listener, int rate, int channels);
  /// Starts or stops deliveries to a listener. When it returns after deactivating, no delivery to the
  /// listener is running and none will follow. Called from the user-interface thread.
  void SetActive(MicListener* listener, bool active);
  void Unsubscribe(MicListener* listener);

  /// Samples lost because the delivery thread fell behind the device.
  std::size_t droppedSamples() const { return ring.dropped(); }

 private:
  struct Listener;
  Microphone(int sourceRate, int sourceChannels);
  void DeliveryLoop();
  void UpdateRunning();  // with `mutex` held

  int sourceRate;
  int sourceChannels;
  SampleRing ring;
  std::unique_ptr<MicInput> input;
  std::mutex mutex;  // guards listeners; held by the delivery thread while it delivers
  std::vector<std::unique_ptr<Listener>> listeners;
  bool running = false;
  std::mutex wakeMutex;
  std::condition_variable wake;
  bool stopping = false;
  std::vector<std::int16_t> scratch;
  std::vector<std::int16_t> converted;
  std::thread deliveryThread;
};

/// A running source of raw samples that writes into the microphone's ring (an SDL capture device or
/// a --mic-file pacer). A file is heard only while someone listens: it pauses when the last listener
/// stops and goes on where it was when one starts again.
class MicInput {
 public:
  virtual ~MicInput() = default;
  /// Told when the first listener becomes active and when the last one stops. Called with the
  /// microphone's listener lock held, from the user-interface thread.
  virtual void SetRunning(bool /*running*/) {}
};

}  // namespace sonavera::platform
