#include "audio/mixdown.h"

#include <cstdio>

#include "audio/accompaniment_decoder.h"
#include "audio/wav_image.h"

namespace sonavera::audio {

Mixdown::Mixdown(std::string folder, MessageSink& sink) : programFolder(std::move(folder)), messages(sink) {}

Mixdown::~Mixdown() { Wait(); }

bool Mixdown::RunMixdown(const std::string& songFolder, const std::string& programFolder, MessageSink* messages) {
  // A mix of an earlier song must never be played as this one's.
  std::remove((programFolder + "uion.wav").c_str());
  if (!DecodeAccompaniment(songFolder, programFolder)) return false;
  WavImage image(messages);
  image.Load(programFolder + "accompany.wav");
  image.MixFile(programFolder + "temp.wav");
  image.Save(programFolder + "uion.wav");
  return true;
}

void Mixdown::ToggleRecording(CHwMCI& recorder, const std::string& songFolder) {
  if (state == kPlaying && recorder.IsStopped()) state = kPaused;  // playback ran to its end
  switch (state.load()) {
    case kIdle:
      // A request while the mix is being made does nothing: one mixdown at a time.
      if (!busy) Start(songFolder);
      break;
    case kPlaying:
      recorder.Stop();
      state = kPaused;
      break;
    default:
      recorder.PlayFrom(0, 0);
      state = kPlaying;
      break;
  }
}

void Mixdown::StartPlaybackIfReady(CHwMCI& recorder) {
  if (ready == 0) return;
  if (!recorder.IsOpen()) recorder.Open(programFolder + "uion.wav");
  recorder.PlayFrom(0, 0);
  ready = 0;
}

void Mixdown::ResetForNextSong() {
  ++generation;
  state = kIdle;
  ready = 0;
}

void Mixdown::Wait() {
  if (worker.joinable()) worker.join();
}

void Mixdown::Start(const std::string& songFolder) {
  Wait();  // the previous worker has ended (busy is false); collect it
  busy = true;
  const unsigned startedFor = generation.load();
  worker = std::thread([this, songFolder, startedFor] {
    const bool mixed = RunMixdown(songFolder, programFolder, &messages);
    if (mixed && generation.load() == startedFor) {
      state = kPlaying;
      ready = 1;
    }
    busy = false;
  });
}

}  // namespace sonavera::audio
