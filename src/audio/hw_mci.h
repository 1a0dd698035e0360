#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio/microphone.h"
#include "platform/audio/recorder_device.h"

namespace sonavera::audio {

/// The performance recorder: records the singer at CD quality while the judge listens to the same
/// microphone, saves the take as a WAV file, and later opens the mixed file and plays it. Each
/// operation returns false on failure and leaves the reason in lastError(); nothing is shown to the
/// user. Used from the user-interface thread only.
class CHwMCI {
 public:
  CHwMCI() = default;
  virtual ~CHwMCI();
  CHwMCI(const CHwMCI&) = delete;
  CHwMCI& operator=(const CHwMCI&) = delete;

  /// The microphone StartRecording records: the judge's capture device (and --mic-file).
  void SetMicSettings(const platform::MicSettings& settings) { micSettings = settings; }

  /// Opens a new, empty recording element.
  bool Open();
  /// Opens a sound file (WAV or MP3) for playback.
  bool Open(const std::string& path);
  void Close();
  bool Stop();
  /// True when a device is open and neither recording nor playing (also once playback reached the end).
  bool IsStopped();
  /// Stops, then writes the recording as a PCM WAV file.
  bool SaveAs(const std::string& path);
  bool SetFormat(int formatTag, int channels, int samplesPerSecond, int bytesPerSecond, int blockAlign,
                 int bitsPerSample);
  /// Stops, then plays from `startMs` to the end of the sound (`endMs` is not used).
  bool PlayFrom(std::int64_t startMs, std::int64_t endMs);
  /// Closes any open device and records the microphone with 1 or 2 channels.
  bool StartRecording(int channels, int samplesPerSecond, int bitsPerSample);
  bool IsOpen() const { return device != nullptr; }

  /// Text of the last failure (at most 255 bytes).
  const std::string& lastError() const { return lastErrorText; }

 private:
  bool Failed(const std::string& text);

  platform::MicSettings micSettings;
  std::unique_ptr<platform::RecorderDevice> device;
  std::string lastErrorText;
};

}  // namespace sonavera::audio
