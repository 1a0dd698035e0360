#include "platform/engine/sound_mixer.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <thread>

namespace sonavera::platform {

namespace {

// A channel handle carries its slot (low 8 bits, 1-based) and the slot's generation.
std::uint32_t MakeHandle(int slot, std::uint32_t generation) {
  return (generation << 8) | static_cast<std::uint32_t>(slot + 1);
}

}  // namespace

SoundMixer::SoundMixer() : accumulator(2 * kDeviceFrames) {}

SoundMixer::~SoundMixer() {
  CloseOutput();
  FreeAll();
}

bool SoundMixer::OpenOutput() {
  if (device != 0) return true;
  if (!audioInitialised) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    audioInitialised = true;
  }
  SDL_AudioSpec want{};
  want.freq = kSoundRate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = kDeviceFrames;
  want.callback = &SoundMixer::Callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  // No changes allowed: SDL converts if the device differs, so the callback always mixes 44100 stereo.
  device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device == 0) return false;
  SDL_PauseAudioDevice(device, 0);
  return true;
}

void SoundMixer::CloseOutput() {
  if (device != 0) {
    SDL_CloseAudioDevice(device);  // returns after the last callback has finished
    device = 0;
  }
  if (audioInitialised) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioInitialised = false;
  }
}

std::uint32_t SoundMixer::AddEffect(std::unique_ptr<Sound> sound) {
  if (!sound || sound->Frames() == 0) return 0;
  const std::uint32_t handle = nextEffect++;
  effects.emplace(handle, std::move(sound));
  return handle;
}

void SoundMixer::FreeEffect(std::uint32_t effect) {
  auto it = effects.find(effect);
  if (it == effects.end()) return;
  for (Slot& slot : channelSlots) {
    if (slot.effect == effect) {
      Detach(slot);
      slot.effect = 0;
    }
  }
  effects.erase(it);
}

void SoundMixer::FreeAll() {
  StopAll();
  effects.clear();
}

void SoundMixer::Detach(Slot& slot) {
  slot.sound.store(nullptr);
  // The mixer sets busy before it loads the sound pointer, so once busy is seen clear it either saw
  // null or has finished with the old samples. The wait is at most one slot's mixing.
  while (slot.busy.load()) std::this_thread::yield();
}

SoundMixer::Slot* SoundMixer::Find(std::uint32_t channel) {
  const int index = static_cast<int>(channel & 0xFF) - 1;
  if (index < 0 || index >= kChannels) return nullptr;
  Slot& slot = channelSlots[static_cast<std::size_t>(index)];
  if (slot.effect == 0 || slot.generation != channel >> 8) return nullptr;
  return &slot;
}

const SoundMixer::Slot* SoundMixer::Find(std::uint32_t channel) const {
  return const_cast<SoundMixer*>(this)->Find(channel);
}

std::uint32_t SoundMixer::Play(std::uint32_t effect, int volume, int pan, bool loop) {
  auto it = effects.find(effect);
  if (it == effects.end()) return 0;
  // A free slot first, else the oldest finished one, else the first (it is cut off).
  int chosen = -1;
  for (int i = 0; i < kChannels && chosen < 0; ++i) {
    if (channelSlots[static_cast<std::size_t>(i)].effect == 0) chosen = i;
  }
  for (int i = 0; i < kChannels && chosen < 0; ++i) {
    if (channelSlots[static_cast<std::size_t>(i)].finished.load()) chosen = i;
  }
  if (chosen < 0) chosen = 0;
  Slot& slot = channelSlots[static_cast<std::size_t>(chosen)];
  Detach(slot);
  slot.generation = (slot.generation + 1) & 0xFFFFFF;
  if (slot.generation == 0) slot.generation = 1;
  slot.effect = effect;
  slot.position.store(0);
  slot.volume.store(std::clamp(volume, 0, 100));
  slot.pan.store(std::clamp(pan, -100, 100));
  slot.loop.store(loop);
  slot.paused.store(false);
  slot.finished.store(false);
  slot.sound.store(it->second.get());  // publishes the channel to the mixer
  return MakeHandle(chosen, slot.generation);
}

void SoundMixer::Stop(std::uint32_t channel) {
  if (Slot* slot = Find(channel)) {
    Detach(*slot);
    slot->effect = 0;
  }
}

void SoundMixer::StopAll() {
  for (Slot& slot : channelSlots) {
    Detach(slot);
    slot.effect = 0;
  }
}

void SoundMixer::SetVolume(std::uint32_t channel, int volume) {
  if (Slot* slot = Find(channel)) slot->volume.store(std::clamp(volume, 0, 100));
}

void SoundMixer::SetPan(std::uint32_t channel, int pan) {
  if (Slot* slot = Find(channel)) slot->pan.store(std::clamp(pan, -100, 100));
}

void SoundMixer::SetPaused(std::uint32_t channel, bool paused) {
  if (Slot* slot = Find(channel)) slot->paused.store(paused);
}

bool SoundMixer::IsPlaying(std::uint32_t channel) const {
  const Slot* slot = Find(channel);
  return slot != nullptr && !slot->paused.load() && !slot->finished.load();
}

std::int64_t SoundMixer::LengthFrames(std::uint32_t channel) const {
  const Slot* slot = Find(channel);
  if (slot == nullptr) return -1;
  return effects.at(slot->effect)->Frames();
}

std::int64_t SoundMixer::PositionFrames(std::uint32_t channel) const {
  const Slot* slot = Find(channel);
  return slot == nullptr ? -1 : slot->position.load();
}

void SoundMixer::SetPositionFrames(std::uint32_t channel, std::int64_t frame) {
  Slot* slot = Find(channel);
  if (slot == nullptr) return;
  const std::int64_t length = effects.at(slot->effect)->Frames();
  slot->position.store(std::clamp<std::int64_t>(frame, 0, length));
  // The mixer's own advance is a compare-and-swap, so a seek made while it mixes is kept.
}

void SoundMixer::Callback(void* user, unsigned char* stream, int length) {
  auto* mixer = static_cast<SoundMixer*>(user);
  mixer->Mix(reinterpret_cast<std::int16_t*>(stream), length / 4);
}

void SoundMixer::Mix(std::int16_t* out, int frames) {
  while (frames > 0) {
    const int chunk = std::min(frames, kDeviceFrames);
    std::fill_n(accumulator.begin(), 2 * chunk, 0);
    for (Slot& slot : channelSlots) MixSlot(slot, accumulator.data(), chunk);
    for (int i = 0; i < 2 * chunk; ++i) {
      out[i] = static_cast<std::int16_t>(std::clamp(accumulator[static_cast<std::size_t>(i)], -32768, 32767));
    }
    out += 2 * chunk;
    frames -= chunk;
  }
}

void SoundMixer::MixSlot(Slot& slot, std::int32_t* acc, int frames) {
  slot.busy.store(true);
  const Sound* sound = slot.sound.load();
  if (sound != nullptr && !slot.paused.load() && !slot.finished.load()) {
    const std::int64_t length = sound->Frames();
    const std::int64_t start = slot.position.load();
    const int volume = slot.volume.load(), pan = slot.pan.load();
    const bool loop = slot.loop.load();
    // Gains in 1/10000: the far side of the pan is attenuated, the near side stays.
    const std::int32_t gainLeft = volume * (pan > 0 ? 100 - pan : 100);
    const std::int32_t gainRight = volume * (pan < 0 ? 100 + pan : 100);
    std::int64_t pos = std::clamp<std::int64_t>(start, 0, length);
    bool ended = false;
    for (int i = 0; i < frames; ++i) {
      if (pos >= length) {
        if (!loop) {
          ended = true;
          break;
        }
        pos = 0;
      }
      const std::int16_t* frame = sound->samples.data() + 2 * pos;
      acc[2 * i] += frame[0] * gainLeft / 10000;
      acc[2 * i + 1] += frame[1] * gainRight / 10000;
      ++pos;
    }
    if (!ended && pos >= length && !loop) ended = true;
    std::int64_t expected = start;
    if (slot.position.compare_exchange_strong(expected, pos) && ended) slot.finished.store(true);
  }
  slot.busy.store(false);
}

}  // namespace sonavera::platform
