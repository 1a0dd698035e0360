#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <vector>

namespace sonavera::echo {

/// Carries the microphone's samples to the speakers: the capture callback writes, the playback
/// callback reads (one writer and one reader, each on its own audio thread; no locks).
class EchoRing {
 public:
  explicit EchoRing(std::size_t capacity) : samples(capacity) {}
  /// Capture thread.
  void Write(const std::int16_t* data, std::size_t count);
  /// Playback thread. Keeps at most `keep` samples queued so the delay cannot grow; silence when
  /// the microphone is behind.
  void Read(std::int16_t* out, std::size_t count, std::size_t keep);

 private:
  std::vector<std::int16_t> samples;
  std::atomic<std::size_t> written{0};
  std::atomic<std::size_t> read{0};
};

/// A WAV file played in a loop in place of the microphone (for tests and demonstrations).
struct LoopedFile {
  std::vector<std::int16_t> samples;  ///< mono at the output rate
  std::size_t position = 0;
  /// Playback thread.
  void Read(std::int16_t* out, std::size_t count);
};

/// Loads `path` as mono 16-bit at `rate`; false with SDL's error when it cannot.
bool LoadLoopedFile(const char* path, int rate, LoopedFile& file);

}  // namespace sonavera::echo
