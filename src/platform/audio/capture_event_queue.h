#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/audio/capture_device.h"

namespace sonavera::platform {

/// A plain thread-safe queue of capture events, for programs without a window (the tool, tests):
/// the device posts, the owner's thread waits for the next event and handles it.
class CaptureEventQueue : public CaptureEventSink {
 public:
  /// Called from the delivery thread and the owner's thread.
  void PostCaptureEvent(const CaptureEvent& event) override {
    {
      std::lock_guard<std::mutex> lock(mutex);
      events.push_back(event);
    }
    ready.notify_one();
  }

  /// The next event, or nothing when none arrives within `timeout`.
  std::optional<CaptureEvent> WaitNext(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex);
    if (!ready.wait_for(lock, timeout, [this] { return !events.empty(); })) return std::nullopt;
    CaptureEvent event = events.front();
    events.pop_front();
    return event;
  }

  /// The next event if one is waiting.
  std::optional<CaptureEvent> TryNext() { return WaitNext(std::chrono::milliseconds(0)); }

 private:
  std::mutex mutex;
  std::condition_variable ready;
  std::deque<CaptureEvent> events;
};

}  // namespace sonavera::platform
