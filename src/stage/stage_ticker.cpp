#include "stage/stage_ticker.h"

#include <utility>

namespace sonavera::stage {

StageTicker::StageTicker(std::function<void()> postTick, const std::atomic<int>& off)
    : post(std::move(postTick)), timerOff(off) {}

StageTicker::~StageTicker() {
  Stop();
}

void StageTicker::Start() {
  if (running.load()) return;
  if (thread.joinable()) thread.join();  // a timer that stopped itself
  quit = false;
  running = true;
  thread = std::thread([this] { Run(); });
}

void StageTicker::Stop() {
  quit = true;
  if (thread.joinable()) thread.join();
  running = false;
}

void StageTicker::Run() {
  // Deadlines advance by whole periods, so a late wake-up does not shift the following ticks.
  auto next = std::chrono::steady_clock::now();
  while (!quit.load()) {
    next += kPeriod;
    std::this_thread::sleep_until(next);
    if (quit.load()) break;
    if (timerOff.load() != 0) break;
    post();
    ++posted;
  }
  running = false;
}

}  // namespace sonavera::stage
