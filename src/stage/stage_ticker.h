#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace sonavera::stage {

/// The stage's 16 ms clock: a periodic timer on its own thread whose callback only hands a tick to
/// the user-interface thread. It stops itself at the first period that finds `timerOff` set (the
/// main window's stageTimerOff), and can be started again for the next performance.
class StageTicker {
 public:
  static constexpr std::chrono::milliseconds kPeriod{16};

  /// `post` runs on the timer thread and must only queue the tick (e.g. post an event).
  StageTicker(std::function<void()> post, const std::atomic<int>& timerOff);
  ~StageTicker();
  StageTicker(const StageTicker&) = delete;
  StageTicker& operator=(const StageTicker&) = delete;

  /// Starts ticking unless a tick thread is already running. Called from the user-interface thread.
  void Start();
  /// Stops at once and waits for the thread (the owner is going away).
  void Stop();
  /// True while the timer thread runs. Called from any thread.
  bool Running() const { return running.load(); }
  /// Ticks posted since construction. Called from any thread.
  long Posted() const { return posted.load(); }

 private:
  void Run();

  std::function<void()> post;
  const std::atomic<int>& timerOff;
  std::atomic<bool> running{false};
  std::atomic<bool> quit{false};
  std::atomic<long> posted{0};
  std::thread thread;
};

}  // namespace sonavera::stage
