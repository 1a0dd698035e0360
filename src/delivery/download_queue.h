#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

namespace sonavera::delivery {

/// The names still to download, in request order; the head is the one in progress. Shared by the
/// user-interface thread (appends, clears, shows the text) and the worker (reads and removes its
/// head): every method is called from both threads and takes the one lock.
///
/// The queue also records whether a worker is working on it. A worker holds the queue under a
/// generation number and lets go of it only when it finds the queue empty, in the same step, so
/// a name appended just as the worker finishes is never left without a worker. Clear() drops the
/// hold: a worker of an older generation touches nothing afterwards.
class DownloadQueue {
 public:
  /// Appends the name. When no worker holds the queue, the queue is now held under the returned
  /// generation and the caller must start a worker with it.
  std::optional<uint64_t> Append(const std::string& name);

  /// For the worker of `generation`: the head, or nullopt when the queue is empty (the hold is then
  /// released) or when the generation no longer holds the queue.
  std::optional<std::string> NextOrRelease(uint64_t generation);

  /// Removes the head when it is `name` and `generation` still holds the queue.
  void RemoveHead(const std::string& name, uint64_t generation);

  /// Empties the queue and drops the hold.
  void Clear();

  bool Contains(const std::string& name) const;  // exact, case-sensitive
  bool Empty() const;
  bool Held() const;
  /// Every name followed by "\r\n".
  std::string Text() const;

 private:
  mutable std::mutex lock;
  std::deque<std::string> names;
  uint64_t generation = 0;
  bool held = false;
};

}  // namespace sonavera::delivery
