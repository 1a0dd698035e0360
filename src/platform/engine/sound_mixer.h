#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/engine/sound_decoder.h"

namespace sonavera::platform {

/// The engine's sound output: decoded effects held in memory and a fixed set of channels mixed into
/// one SDL2 stereo output at 44100 Hz. The user-interface thread owns effects and starts, stops and
/// adjusts channels; the audio callback only reads preloaded samples and publishes positions through
/// atomics. Channel positions count the frames handed to the device, so they are the song clock.
class SoundMixer {
 public:
  static constexpr int kChannels = 32;
  static constexpr int kDeviceFrames = 512;  // one callback: 11.6 ms

  SoundMixer();
  ~SoundMixer();
  SoundMixer(const SoundMixer&) = delete;
  SoundMixer& operator=(const SoundMixer&) = delete;

  /// Opens the audio output (once); false when there is none. Channels still keep their state
  /// without an output, but their positions then only move through Mix().
  bool OpenOutput();
  void CloseOutput();
  bool OutputOpen() const { return device != 0; }

  std::uint32_t AddEffect(std::unique_ptr<Sound> sound);
  /// Stops the effect's channels and frees its samples.
  void FreeEffect(std::uint32_t effect);
  void FreeAll();

  /// Starts a channel; volume 0..100, pan -100..100. 0 for an unknown effect.
  std::uint32_t Play(std::uint32_t effect, int volume, int pan, bool loop);
  void Stop(std::uint32_t channel);
  void StopAll();
  void SetVolume(std::uint32_t channel, int volume);
  void SetPan(std::uint32_t channel, int pan);
  void SetPaused(std::uint32_t channel, bool paused);
  bool IsPlaying(std::uint32_t channel) const;
  /// Frames of the channel's sound; -1 for a null or stale channel.
  std::int64_t LengthFrames(std::uint32_t channel) const;
  /// Frames handed out so far (wrapped for a looping channel); -1 for a null or stale channel.
  std::int64_t PositionFrames(std::uint32_t channel) const;
  void SetPositionFrames(std::uint32_t channel, std::int64_t frame);

  /// Mixes `frames` stereo frames into `out` and advances the channels. Called by the audio thread,
  /// or by the caller itself while no output is open (offline mixing and tests).
  void Mix(std::int16_t* out, int frames);

 private:
  struct Slot {
    std::atomic<const Sound*> sound{nullptr};  // null: silent and free for the callback
    std::atomic<std::int64_t> position{0};     // frames
    std::atomic<int> volume{100};
    std::atomic<int> pan{0};
    std::atomic<bool> loop{false};
    std::atomic<bool> paused{false};
    std::atomic<bool> finished{false};
    std::atomic<bool> busy{false};  // set by the mixer while it reads this slot
    // User-interface thread only:
    std::uint32_t generation = 0;
    std::uint32_t effect = 0;
  };

  Slot* Find(std::uint32_t channel);
  const Slot* Find(std::uint32_t channel) const;
  /// Takes the sound away from the mixer and waits until the mixer is no longer reading it.
  void Detach(Slot& slot);
  void MixSlot(Slot& slot, std::int32_t* accumulator, int frames);
  static void Callback(void* user, unsigned char* stream, int length);

  std::array<Slot, kChannels> channelSlots;
  std::unordered_map<std::uint32_t, std::unique_ptr<Sound>> effects;
  std::uint32_t nextEffect = 1;
  std::vector<std::int32_t> accumulator;  // allocated once, used only while mixing
  std::uint32_t device = 0;
  bool audioInitialised = false;
};

}  // namespace sonavera::platform
