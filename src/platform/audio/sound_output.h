#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio/pcm_audio.h"
#include "platform/audio/sdl_audio.h"

namespace sonavera::platform {

/// Plays one sound held in memory through the default output device. The audio callback only copies
/// from the sound into the device; position and end are published as atomics.
/// All operations are called from the owner's (user-interface) thread.
class SoundPlayer {
 public:
  SoundPlayer() = default;
  ~SoundPlayer();
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  /// Opens the output for `audio` (stopped at its start). False with a reason in `error`.
  bool Open(PcmAudio audio, std::string* error = nullptr);
  void Close();
  bool IsOpen() const { return device != 0; }

  /// Plays from `fromMs` milliseconds (clamped to the length) to the end.
  bool Play(std::int64_t fromMs);
  /// Pauses where it is.
  void Pause();
  /// True while playing and the end has not been reached.
  bool IsPlaying() const;
  std::int64_t PositionMs() const;
  std::int64_t LengthMs() const;

 private:
  static void Callback(void* self, std::uint8_t* stream, int length);
  std::int64_t FramesToMs(std::size_t frames) const;

  std::unique_ptr<SdlAudio> sdl;
  PcmAudio sound;
  std::uint32_t device = 0;
  bool playing = false;
  std::atomic<std::size_t> nextFrame{0};
  std::atomic<bool> reachedEnd{false};
};

}  // namespace sonavera::platform
