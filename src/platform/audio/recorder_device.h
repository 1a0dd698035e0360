#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/microphone.h"
#include "platform/audio/sound_output.h"

namespace sonavera::platform {

/// A wave-audio element: either a new, empty one that records the microphone into memory and saves
/// itself as a PCM WAV file, or one opened on a sound file for playback. Failures return false with
/// a one-line reason. All operations are called from the owner's (user-interface) thread.
class RecorderDevice : private MicListener {
 public:
  enum class Mode { Stopped, Recording, Playing };

  /// A new, empty element that will record from the microphone of `mic` (8000 Hz mono 16-bit
  /// until SetFormat says otherwise).
  static std::unique_ptr<RecorderDevice> CreateEmpty(const MicSettings& mic);
  /// An element on a sound file (PCM WAV or MP3) for playback.
  static std::unique_ptr<RecorderDevice> OpenFile(const std::string& path, std::string* error);
  ~RecorderDevice() override;

  /// Sets the recording format: PCM (tag 1), 1 or 2 channels, 8 or 16 bits, a rate below 65536 Hz,
  /// with bytes per second and block alignment that agree. Only before anything was recorded.
  bool SetFormat(int formatTag, int channels, int samplesPerSecond, int bytesPerSecond, int blockAlign,
                 int bitsPerSample, std::string* error);
  /// Records from the end of what is held until stopped.
  bool Record(std::string* error);
  /// Stops recording or playback. Stopping a stopped element succeeds.
  bool Stop(std::string* error);
  Mode mode() const;
  /// Writes what was recorded as a PCM WAV file (whole or not at all).
  bool Save(const std::string& path, std::string* error);
  /// Plays from `fromMs` milliseconds to the end.
  bool Play(std::int64_t fromMs, std::string* error);

  std::size_t recordedBytes() const;
  int channels() const { return formatChannels; }
  int sampleRate() const { return formatRate; }
  int bitsPerSample() const { return formatBits; }

 private:
  RecorderDevice() = default;
  void OnMicSamples(const std::int16_t* samples, std::size_t count) override;

  MicSettings micSettings;
  bool fromFile = false;
  int formatChannels = 1;
  int formatRate = 8000;
  int formatBits = 16;
  std::shared_ptr<Microphone> mic;
  mutable std::mutex mutex;  // guards recorded between the delivery thread and the owner
  std::vector<std::uint8_t> recorded;
  SoundPlayer player;
  bool playerLoaded = false;
};

}  // namespace sonavera::platform
