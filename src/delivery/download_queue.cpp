#include "delivery/download_queue.h"

namespace sonavera::delivery {

std::optional<uint64_t> DownloadQueue::Append(const std::string& name) {
  std::lock_guard guard(lock);
  names.push_back(name);
  if (held) return std::nullopt;
  held = true;
  return ++generation;
}

std::optional<std::string> DownloadQueue::NextOrRelease(uint64_t worker) {
  std::lock_guard guard(lock);
  if (!held || worker != generation) return std::nullopt;
  if (names.empty()) {
    held = false;
    return std::nullopt;
  }
  return names.front();
}

void DownloadQueue::RemoveHead(const std::string& name, uint64_t worker) {
  std::lock_guard guard(lock);
  if (held && worker == generation && !names.empty() && names.front() == name) names.pop_front();
}

void DownloadQueue::Clear() {
  std::lock_guard guard(lock);
  names.clear();
  held = false;
  ++generation;
}

bool DownloadQueue::Contains(const std::string& name) const {
  std::lock_guard guard(lock);
  for (const auto& queued : names) {
    if (queued == name) return true;
  }
  return false;
}

bool DownloadQueue::Empty() const {
  std::lock_guard guard(lock);
  return names.empty();
}

bool DownloadQueue::Held() const {
  std::lock_guard guard(lock);
  return held;
}

std::string DownloadQueue::Text() const {
  std::lock_guard guard(lock);
  std::string text;
  for (const auto& name : names) text += name + "\r\n";
  return text;
}

}  // namespace sonavera::delivery
