#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "delivery/delivery.h"

namespace sonavera::testing {

/// A user interface for tests: the test's thread is the user-interface thread. Posted events wait
/// until Pump delivers them there, as the window's event loop would.
class RecordingUi : public delivery::DeliveryUi {
 public:
  using Kind = delivery::DownloadEvent::Kind;

  void Attach(delivery::Delivery* owner) { delivery = owner; }

  void Post(delivery::DownloadEvent event) override {
    std::lock_guard guard(lock);
    pending.push_back(std::move(event));
    arrived.notify_all();
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void FillSongList() override { ++fills; }
  void OpenDownloadWindow(const std::string& listText) override {
    windowOpen = true;
    ++opened;
    listTexts.push_back(listText);
  }
  void CloseDownloadWindow() override {
    windowOpen = false;
    ++closed;
  }

  /// Delivers the events posted so far.
  void Pump() {
    std::deque<delivery::DownloadEvent> batch;
    {
      std::lock_guard guard(lock);
      batch.swap(pending);
    }
    for (auto& event : batch) Deliver(event);
  }

  /// Pumps until `done` holds; false after 60 s.
  bool PumpUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < end) {
      Pump();
      if (done()) return true;
      std::unique_lock guard(lock);
      arrived.wait_for(guard, std::chrono::milliseconds(20), [this] { return !pending.empty(); });
    }
    return false;
  }

  std::vector<std::string> Texts(Kind kind) const {
    std::vector<std::string> out;
    for (const auto& event : delivered) {
      if (event.kind == kind) out.push_back(event.text);
    }
    return out;
  }
  long long LastValue(Kind kind) const {
    for (auto it = delivered.rbegin(); it != delivered.rend(); ++it) {
      if (it->kind == kind) return it->value;
    }
    return -1;
  }
  int Count(Kind kind) const {
    int n = 0;
    for (const auto& event : delivered) n += event.kind == kind ? 1 : 0;
    return n;
  }

  std::vector<delivery::DownloadEvent> delivered;
  std::vector<std::string> messages;
  std::vector<std::string> listTexts;
  bool windowOpen = false;
  int opened = 0;
  int closed = 0;
  int fills = 0;

 private:
  void Deliver(const delivery::DownloadEvent& event) {
    delivered.push_back(event);
    if (event.kind == Kind::kMessage) ShowMessage(event.text);
    if (event.kind == Kind::kQueueText) listTexts.push_back(event.text);
    if (event.kind == Kind::kQueueDone && delivery) delivery->OnQueueDone();
  }

  delivery::Delivery* delivery = nullptr;
  std::mutex lock;
  std::condition_variable arrived;
  std::deque<delivery::DownloadEvent> pending;
};

}  // namespace sonavera::testing
