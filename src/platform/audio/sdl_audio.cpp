#include "platform/audio/sdl_audio.h"

#include <SDL2/SDL.h>

namespace sonavera::platform {

SdlAudio::SdlAudio() : started(SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {}

SdlAudio::~SdlAudio() {
  if (started) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::vector<std::string> CaptureDeviceNames() {
  SdlAudio audio;
  std::vector<std::string> names;
  if (!audio.ok()) return names;
  const int count = SDL_GetNumAudioDevices(1);
  for (int i = 0; i < count; ++i) {
    const char* name = SDL_GetAudioDeviceName(i, 1);
    names.emplace_back(name != nullptr ? name : "");
  }
  return names;
}

}  // namespace sonavera::platform
