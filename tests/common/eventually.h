#pragma once

// Waiting in a test for work done on another thread (playback under SDL's dummy audio driver, a
// mixdown worker), without timing it.
#include <chrono>
#include <thread>

namespace sonavera::testing {

/// Polls `done` every 20 ms until it holds, for up to ten seconds; true once it holds. The limit
/// catches a stuck thread, not a slow one: what is awaited ends well within it.
template <typename Done>
bool Eventually(Done done) {
  for (int i = 0; i < 500; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

}  // namespace sonavera::testing
