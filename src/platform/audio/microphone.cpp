#include "platform/audio/microphone.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <map>

#include "platform/audio/mic_file_source.h"
#include "platform/audio/pcm_wav_reader.h"
#include "platform/audio/sdl_audio.h"

namespace sonavera::platform {
namespace {

// The hardware microphone is opened once at CD quality; each listener gets its own conversion.
constexpr int kDeviceRate = 44100;
constexpr int kDeviceChannels = 2;
// About three seconds of CD-quality stereo: room for a delivery thread that is briefly held up.
constexpr std::size_t kRingSamples = 1 << 18;
constexpr auto kDeliveryPeriod = std::chrono::milliseconds(10);

class SdlMicInput : public MicInput {
 public:
  explicit SdlMicInput(SampleRing& target) : ring(target) {}
  ~SdlMicInput() override {
    if (device != 0) SDL_CloseAudioDevice(device);
  }

  int Open(int index) {
    if (!sdl.ok()) return kMicNoDriver;
    const char* name = nullptr;
    if (index >= 0) {
      if (index >= SDL_GetNumAudioDevices(1)) return kMicBadDeviceId;
      name = SDL_GetAudioDeviceName(index, 1);
      if (name == nullptr) return kMicBadDeviceId;
    } else if (index != -1) {
      return kMicBadDeviceId;
    }
    SDL_AudioSpec want{};
    want.freq = kDeviceRate;
    want.format = AUDIO_S16SYS;
    want.channels = kDeviceChannels;
    want.samples = 1024;
    want.callback = &SdlMicInput::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No allowed changes: SDL converts whatever the hardware gives into the format asked for.
    device = SDL_OpenAudioDevice(name, 1, &want, &have, 0);
    if (device == 0) return kMicError;
    SDL_PauseAudioDevice(device, 0);
    return kMicNoError;
  }

 private:
  // SDL's audio thread: copy only.
  static void Callback(void* self, Uint8* stream, int length) {
    auto* input = static_cast<SdlMicInput*>(self);
    input->ring.Write(reinterpret_cast<const std::int16_t*>(stream), static_cast<std::size_t>(length) / 2);
  }

  SdlAudio sdl;
  SampleRing& ring;
  SDL_AudioDeviceID device = 0;
};

std::string KeyOf(const MicSettings& settings) {
  if (!settings.micFile.empty()) return "file:" + std::to_string(settings.speed) + ":" + settings.micFile;
  return "device:" + std::to_string(settings.device);
}

std::mutex registryMutex;
std::map<std::string, std::weak_ptr<Microphone>>& Registry() {
  static std::map<std::string, std::weak_ptr<Microphone>> registry;
  return registry;
}

}  // namespace

struct Microphone::Listener {
  MicListener* target = nullptr;
  SDL_AudioStream* stream = nullptr;
  bool active = false;

  ~Listener() {
    if (stream != nullptr) SDL_FreeAudioStream(stream);
  }
};

Microphone::Microphone(int rate, int channels)
    : sourceRate(rate), sourceChannels(channels), ring(kRingSamples), scratch(kRingSamples),
      converted(kRingSamples * 2) {}

std::shared_ptr<Microphone> Microphone::Open(const MicSettings& settings, int* errorCode) {
  std::lock_guard<std::mutex> lock(registryMutex);
  for (auto it = Registry().begin(); it != Registry().end();) {
    it = it->second.expired() ? Registry().erase(it) : std::next(it);
  }
  const std::string key = KeyOf(settings);
  if (auto existing = Registry()[key].lock()) {
    if (errorCode != nullptr) *errorCode = kMicNoError;
    return existing;
  }
  std::shared_ptr<Microphone> mic;
  if (!settings.micFile.empty()) {
    auto audio = ReadPcmWav(settings.micFile);
    if (!audio || audio->frameCount() == 0) {
      if (errorCode != nullptr) *errorCode = kMicBadFile;
      return nullptr;
    }
    PcmAudio pcm = MicFileSource::ToMonoOrStereo(std::move(*audio));
    mic.reset(new Microphone(pcm.sampleRate, pcm.channels));
    mic->input = std::make_unique<MicFileSource>(std::move(pcm), settings.speed, mic->ring);
  } else {
    mic.reset(new Microphone(kDeviceRate, kDeviceChannels));
    auto input = std::make_unique<SdlMicInput>(mic->ring);
    const int code = input->Open(settings.device);
    if (code != kMicNoError) {
      if (errorCode != nullptr) *errorCode = code;
      return nullptr;
    }
    mic->input = std::move(input);
  }
  mic->deliveryThread = std::thread([raw = mic.get()] { raw->DeliveryLoop(); });
  Registry()[key] = mic;
  if (errorCode != nullptr) *errorCode = kMicNoError;
  return mic;
}

Microphone::~Microphone() {
  input.reset();  // no more samples arrive
  {
    std::lock_guard<std::mutex> lock(wakeMutex);
    stopping = true;
  }
  wake.notify_all();
  if (deliveryThread.joinable()) deliveryThread.join();
}

bool Microphone::Subscribe(MicListener* target, int rate, int channels) {
  auto listener = std::make_unique<Listener>();
  listener->target = target;
  listener->stream = SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(sourceChannels), sourceRate,
                                        AUDIO_S16SYS, static_cast<Uint8>(channels), rate);
  if (listener->stream == nullptr) return false;
  std::lock_guard<std::mutex> lock(mutex);
  listeners.push_back(std::move(listener));
  return true;
}

void Microphone::SetActive(MicListener* target, bool active) {
  std::lock_guard<std::mutex> lock(mutex);
  for (auto& listener : listeners) {
    if (listener->target != target) continue;
    if (active && !listener->active) SDL_AudioStreamClear(listener->stream);
    listener->active = active;
  }
  UpdateRunning();
}

void Microphone::UpdateRunning() {
  const bool anyActive = std::any_of(listeners.begin(), listeners.end(), [](const auto& l) { return l->active; });
  if (anyActive != running && input != nullptr) input->SetRunning(anyActive);
  running = anyActive;
}

void Microphone::Unsubscribe(MicListener* target) {
  std::lock_guard<std::mutex> lock(mutex);
  listeners.erase(std::remove_if(listeners.begin(), listeners.end(),
                                 [target](const auto& listener) { return listener->target == target; }),
                  listeners.end());
  UpdateRunning();
}

// The delivery thread: drains the ring, converts for each active listener and hands samples over.
void Microphone::DeliveryLoop() {
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(wakeMutex);
      if (wake.wait_for(lock, kDeliveryPeriod, [this] { return stopping; })) return;
    }
    const std::size_t count = ring.Read(scratch.data(), scratch.size());
    if (count == 0) continue;
    std::lock_guard<std::mutex> lock(mutex);
    for (auto& listener : listeners) {
      if (!listener->active) continue;
      if (SDL_AudioStreamPut(listener->stream, scratch.data(), static_cast<int>(count * 2)) != 0) continue;
      for (;;) {
        const int bytes = SDL_AudioStreamGet(listener->stream, converted.data(),
                                             static_cast<int>(converted.size() * 2));
        if (bytes <= 0) break;
        listener->target->OnMicSamples(converted.data(), static_cast<std::size_t>(bytes) / 2);
      }
    }
  }
}

}  // namespace sonavera::platform
