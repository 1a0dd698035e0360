#include "platform/audio/sound_output.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

namespace sonavera::platform {

SoundPlayer::~SoundPlayer() { Close(); }

bool SoundPlayer::Open(PcmAudio audio, std::string* error) {
  Close();
  if (audio.channels < 1 || audio.channels > 2 || audio.sampleRate <= 0) {
    if (error != nullptr) *error = "unsupported sound format";
    return false;
  }
  sdl = std::make_unique<SdlAudio>();
  if (!sdl->ok()) {
    if (error != nullptr) *error = SDL_GetError();
    sdl.reset();
    return false;
  }
  sound = std::move(audio);
  nextFrame = 0;
  reachedEnd = sound.frameCount() == 0;
  SDL_AudioSpec want{};
  want.freq = sound.sampleRate;
  want.format = AUDIO_S16SYS;
  want.channels = static_cast<Uint8>(sound.channels);
  want.samples = 2048;
  want.callback = &SoundPlayer::Callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device == 0) {
    if (error != nullptr) *error = SDL_GetError();
    sound = {};
    sdl.reset();
    return false;
  }
  return true;
}

void SoundPlayer::Close() {
  if (device != 0) SDL_CloseAudioDevice(device);
  device = 0;
  playing = false;
  sound = {};
  sdl.reset();
}

bool SoundPlayer::Play(std::int64_t fromMs) {
  if (device == 0) return false;
  const std::size_t frames = sound.frameCount();
  const auto from = static_cast<std::size_t>(
      std::clamp<std::int64_t>(fromMs, 0, LengthMs()) * sound.sampleRate / 1000);
  SDL_LockAudioDevice(device);
  nextFrame = std::min(from, frames);
  reachedEnd = nextFrame >= frames;
  SDL_UnlockAudioDevice(device);
  SDL_PauseAudioDevice(device, 0);
  playing = true;
  return true;
}

void SoundPlayer::Pause() {
  if (device != 0) SDL_PauseAudioDevice(device, 1);
  playing = false;
}

bool SoundPlayer::IsPlaying() const { return playing && !reachedEnd.load(); }

std::int64_t SoundPlayer::PositionMs() const { return FramesToMs(nextFrame.load()); }

std::int64_t SoundPlayer::LengthMs() const { return FramesToMs(sound.frameCount()); }

std::int64_t SoundPlayer::FramesToMs(std::size_t frames) const {
  return sound.sampleRate > 0 ? static_cast<std::int64_t>(frames) * 1000 / sound.sampleRate : 0;
}

// SDL's audio thread: copy the next stretch of the sound, silence after its end.
void SoundPlayer::Callback(void* self, std::uint8_t* stream, int length) {
  auto* player = static_cast<SoundPlayer*>(self);
  const std::size_t channels = static_cast<std::size_t>(player->sound.channels);
  const std::size_t frames = player->sound.frameCount();
  const std::size_t wanted = static_cast<std::size_t>(length) / (2 * channels);
  const std::size_t from = player->nextFrame.load(std::memory_order_relaxed);
  const std::size_t take = from < frames ? std::min(wanted, frames - from) : 0;
  if (take > 0) std::memcpy(stream, player->sound.samples.data() + from * channels, take * channels * 2);
  std::memset(stream + take * channels * 2, 0, static_cast<std::size_t>(length) - take * channels * 2);
  player->nextFrame.store(from + take, std::memory_order_relaxed);
  if (from + take >= frames) player->reachedEnd.store(true);
}

}  // namespace sonavera::platform
