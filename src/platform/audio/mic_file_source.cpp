#include "platform/audio/mic_file_source.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace sonavera::platform {

MicFileSource::MicFileSource(PcmAudio pcm, double pace, SampleRing& target)
    : audio(std::move(pcm)), speed(pace > 0 ? pace : 1.0), ring(target) {
  thread = std::thread([this] { Run(); });
}

MicFileSource::~MicFileSource() {
  stopping = true;
  thread.join();
}

PcmAudio MicFileSource::ToMonoOrStereo(PcmAudio in) {
  if (in.channels <= 2) return in;
  PcmAudio out;
  out.sampleRate = in.sampleRate;
  out.channels = 2;
  const std::size_t frames = in.frameCount();
  out.samples.resize(frames * 2);
  for (std::size_t f = 0; f < frames; ++f) {
    out.samples[2 * f] = in.samples[f * in.channels];
    out.samples[2 * f + 1] = in.samples[f * in.channels + 1];
  }
  return out;
}

void MicFileSource::Run() {
  using Clock = std::chrono::steady_clock;
  const std::size_t channels = static_cast<std::size_t>(audio.channels);
  const std::size_t totalFrames = audio.frameCount();
  std::vector<std::int16_t> silence(4096 * channels, 0);
  std::size_t sentFrames = 0;
  bool wasRunning = false;
  Clock::time_point runStart;
  std::size_t framesAtRunStart = 0;
  while (!stopping.load()) {
    const bool running = runRequested.load();
    if (running && !wasRunning) {
      runStart = Clock::now();
      framesAtRunStart = sentFrames;
    }
    wasRunning = running;
    if (running) {
      // The frames due are counted from the start of this run, so the pace never drifts.
      const double elapsed = std::chrono::duration<double>(Clock::now() - runStart).count();
      const auto dueFrames = framesAtRunStart + static_cast<std::size_t>(elapsed * audio.sampleRate * speed);
      while (sentFrames < dueFrames) {
        const std::size_t frames = std::min<std::size_t>(dueFrames - sentFrames, 4096);
        if (sentFrames < totalFrames) {
          const std::size_t fromFile = std::min(frames, totalFrames - sentFrames);
          ring.Write(audio.samples.data() + sentFrames * channels, fromFile * channels);
          sentFrames += fromFile;
        } else {
          ring.Write(silence.data(), frames * channels);
          sentFrames += frames;
        }
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace sonavera::platform
