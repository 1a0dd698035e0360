// sonavera-tool pitch WAV: the pitch track of a recorded voice, buffer by buffer as the judge sees it.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/pitch_tracker.h"
#include "command.h"
#include "platform/wav_file.h"

namespace {

constexpr int kCaptureRate = 8000;
constexpr int kBufferSamples = 1280;  // one capture buffer, 0.16 s
constexpr int kShortestBuffer = 257;  // a shorter tail is not tracked
constexpr int kFrameLength = 256;
constexpr int kHop = 128;

int RunPitch(const std::vector<std::string>& args) {
  if (args.size() != 1) return sonavera::tool::Fail("usage: sonavera-tool pitch WAV");
  sonavera::platform::WavAudio audio;
  std::string error;
  if (!sonavera::platform::ReadWavFile(args[0], audio, error)) return sonavera::tool::Fail(error);
  const auto& format = audio.format;
  if (format.bitsPerSample != 16 || format.channels != 1 || format.sampleRate != kCaptureRate) {
    return sonavera::tool::Fail(args[0] + ": need 16-bit PCM mono at 8000 Hz, got " +
                                std::to_string(format.bitsPerSample) + "-bit " + std::to_string(format.channels) +
                                " channel(s) at " + std::to_string(format.sampleRate) + " Hz");
  }
  int track[kBufferSamples];  // far more than the 11 frames of a full buffer
  const size_t total = audio.samples.size();
  int index = 0;
  for (size_t start = 0; start < total; start += kBufferSamples, ++index) {
    const int count = static_cast<int>(std::min<size_t>(kBufferSamples, total - start));
    if (count < kShortestBuffer) break;
    const int frames =
        sonavera::analysis::PitchTrack(audio.samples.data() + start, count, kCaptureRate, kFrameLength, kHop, track);
    std::printf("%d:", index);
    for (int k = 0; k < frames; ++k) std::printf(" %d", track[k]);
    std::printf("\n");
  }
  return std::fflush(stdout) == 0 ? 0 : sonavera::tool::Fail("cannot write the output");
}

}  // namespace

SONAVERA_TOOL_COMMAND("pitch", "pitch WAV",
                      RunPitch);
