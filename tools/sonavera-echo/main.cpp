// sonavera-echo [--mic-file WAV] [--no-window]
// Plays the microphone (or a looped WAV) through the speakers with the smallest buffers the devices
// accept, until its window is closed, it gets SIGTERM or SIGINT, or its stdin pipe is closed.
#include <SDL.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "echo_loop.h"

namespace {

using sonavera::echo::EchoRing;
using sonavera::echo::LoopedFile;

constexpr int kRate = 44100;
constexpr Uint16 kSmallestBuffer = 64;  // devices round this up to what they can do

volatile sig_atomic_t stopRequested = 0;
void OnSignal(int) {
  stopRequested = 1;
}

EchoRing ring(1 << 15);
LoopedFile micFile;
bool useFile = false;
std::size_t keepSamples = 0;

void OnCapture(void*, Uint8* stream, int len) {
  ring.Write(reinterpret_cast<const std::int16_t*>(stream), std::size_t(len) / sizeof(std::int16_t));
}

void OnPlayback(void*, Uint8* stream, int len) {
  auto* out = reinterpret_cast<std::int16_t*>(stream);
  const std::size_t count = std::size_t(len) / sizeof(std::int16_t);
  if (useFile)
    micFile.Read(out, count);
  else
    ring.Read(out, count, keepSamples);
}

// stdin closes when the program that started us through a pipe goes away.
bool StdinClosed() {
  struct stat info;
  if (fstat(STDIN_FILENO, &info) != 0 || !S_ISFIFO(info.st_mode)) return false;
  pollfd fd{STDIN_FILENO, POLLIN, 0};
  if (poll(&fd, 1, 0) <= 0) return false;
  char buffer[256];
  return read(STDIN_FILENO, buffer, sizeof buffer) <= 0;
}

int Fail(const char* what) {
  std::fprintf(stderr, "sonavera-echo: %s: %s\n", what, SDL_GetError());
  SDL_Quit();
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const char* micPath = nullptr;
  bool window = true;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--mic-file") == 0 && i + 1 < argc)
      micPath = argv[++i];
    else if (std::strcmp(argv[i], "--no-window") == 0)
      window = false;
    else {
      std::fprintf(stderr, "usage: sonavera-echo [--mic-file WAV] [--no-window]\n");
      return 2;
    }
  }
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);

  if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_EVENTS) != 0) return Fail("audio");
  SDL_Window* shown = nullptr;
  if (window && SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
    shown = SDL_CreateWindow("sonavera-echo", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 240, 60, 0);

  SDL_AudioSpec want{};
  want.freq = kRate;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = kSmallestBuffer;
  want.callback = OnPlayback;
  SDL_AudioSpec got{};
  if (micPath) {
    if (!sonavera::echo::LoadLoopedFile(micPath, kRate, micFile)) return Fail(micPath);
    useFile = true;
  }
  const SDL_AudioDeviceID speakers =
      SDL_OpenAudioDevice(nullptr, 0, &want, &got, SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
  if (!speakers) return Fail("speakers");
  keepSamples = got.samples;
  SDL_AudioDeviceID microphone = 0;
  if (!useFile) {
    SDL_AudioSpec capture = want;
    capture.callback = OnCapture;
    microphone = SDL_OpenAudioDevice(nullptr, 1, &capture, nullptr, 0);
    if (!microphone) {
      SDL_CloseAudioDevice(speakers);
      return Fail("microphone");
    }
    SDL_PauseAudioDevice(microphone, 0);
  }
  SDL_PauseAudioDevice(speakers, 0);
  std::printf("ready %d\n", int(got.samples));
  std::fflush(stdout);

  while (!stopRequested && !StdinClosed()) {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, 50) && event.type == SDL_QUIT) break;
  }

  if (microphone) SDL_CloseAudioDevice(microphone);
  SDL_CloseAudioDevice(speakers);
  if (shown) SDL_DestroyWindow(shown);
  SDL_Quit();
  return 0;
}
