#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "audio/hw_mci.h"
#include "audio/message_sink.h"

namespace sonavera::audio {

/// Mixes the recorded voice with the accompaniment on a worker thread and drives the replay button:
/// not mixed yet -> mix (then play), playing -> pause, paused or finished -> play from the start.
/// Everything except the worker runs on the user-interface thread.
class Mixdown {
 public:
  /// `mixState` values.
  static constexpr int kIdle = 0;
  static constexpr int kPlaying = 1;
  static constexpr int kPaused = 2;

  /// `programFolder` ends with '/'; `messages` gets the worker's messages (it must hand them to the
  /// user-interface thread).
  Mixdown(std::string programFolder, MessageSink& messages);
  ~Mixdown();  // waits for a running worker
  Mixdown(const Mixdown&) = delete;
  Mixdown& operator=(const Mixdown&) = delete;

  /// The worker's body: decodes `songFolder`/music.mp3 into accompany.wav, mixes temp.wav into it and
  /// writes uion.wav, all in `programFolder`. False when the accompaniment could not be decoded.
  static bool RunMixdown(const std::string& songFolder, const std::string& programFolder, MessageSink* messages);

  /// The replay control of the results screen. `songFolder` is the song just sung.
  void ToggleRecording(CHwMCI& recorder, const std::string& songFolder);
  /// The results screen's per-frame check: once the mix is ready, open uion.wav (unless a device is
  /// open) and play it from the start.
  void StartPlaybackIfReady(CHwMCI& recorder);
  /// End of a song: the next replay request mixes afresh. A worker still running for the previous
  /// song no longer changes the state when it ends.
  void ResetForNextSong();

  /// Called from the user-interface thread and the worker.
  int mixState() const { return state.load(); }
  /// Called from the user-interface thread and the worker.
  bool playRecording() const { return ready.load() != 0; }
  /// True while a worker runs. Called from any thread.
  bool running() const { return busy.load(); }
  /// Waits for a running worker to end (the tool and tests).
  void Wait();

 private:
  void Start(const std::string& songFolder);

  std::string programFolder;
  MessageSink& messages;
  std::atomic<int> state{kIdle};
  std::atomic<int> ready{0};
  std::atomic<bool> busy{false};
  std::atomic<unsigned> generation{0};  // bumped by ResetForNextSong
  std::thread worker;
};

}  // namespace sonavera::audio
