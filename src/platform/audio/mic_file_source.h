#pragma once

#include <atomic>
#include <thread>

#include "platform/audio/microphone.h"
#include "platform/audio/pcm_audio.h"

namespace sonavera::platform {

/// Plays a WAV file into the microphone's ring as if it were being sung now: `speed` times real time
/// (1 in the program) while running, then silence. Paused, it holds its place in the file.
class MicFileSource : public MicInput {
 public:
  /// `audio` must have 1 or 2 channels.
  MicFileSource(PcmAudio audio, double speed, SampleRing& ring);
  ~MicFileSource() override;
  void SetRunning(bool running) override { runRequested.store(running); }

  /// Reduces any channel count to at most two (first two channels kept).
  static PcmAudio ToMonoOrStereo(PcmAudio audio);

 private:
  void Run();

  PcmAudio audio;
  double speed;
  SampleRing& ring;
  std::atomic<bool> stopping{false};
  std::atomic<bool> runRequested{false};
  std::thread thread;
};

}  // namespace sonavera::platform
