#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "delivery/delivery_state.h"
#include "delivery/download_events.h"

namespace sonavera::delivery {

/// How the worker finished with one name.
enum class NameOutcome {
  kUnpacked,       // downloaded with some token and unpacked
  kNotDownloaded,  // every token ended in a network error
  kUnreadable,     // the archive could not be opened or holds no entries
  kRefused,        // not a plain name: nothing was requested or written
  kSizeError,      // the expected size is under 2048 bytes; the worker stops
  kCancelled,      // the exit button was pressed; the partial archive is deleted
};

struct NameResult {
  std::string name;
  NameOutcome outcome;
};

/// The download worker: takes the head of the queue, fetches its size and content with the first
/// token that gives an archive of more than 100 bytes, reading 512-byte blocks and posting the
/// progress, unpacks it and takes the name off the queue. It talks to the window only through
/// events. Runs on the worker thread, or on the user-interface thread for "List" and "AD".
class DownloadWorker {
 public:
  /// `generation` is the queue hold this worker works under; `cancel` is the exit button's flag of
  /// the window that started it.
  DownloadWorker(DeliveryState& state, DownloadEventSink& sink, std::shared_ptr<const std::atomic<bool>> cancel,
                 uint64_t generation, bool synchronous);

  /// Works the queue until it is empty, then asks for the exit button (unless synchronous). Ends
  /// early on cancel or a size error.
  void Run();

  /// Downloads and unpacks `name` (the head of the queue) and takes it off the queue.
  NameOutcome DownloadName(const std::string& name);

  /// The outcome of every name Run took up, in order.
  const std::vector<NameResult>& Results() const { return results; }

 private:
  bool Cancelled() const { return cancel->load(std::memory_order_relaxed); }
  void Post(DownloadEvent::Kind kind, std::string text = std::string(), long long value = 0);
  void TakeOffQueue(const std::string& name);
  std::string StorageUrl(const char* method, const std::string& token, const std::string& name) const;
  std::string RequestSizeText(const std::string& token, const std::string& name) const;
  NameOutcome Unpack(const std::string& name, bool special);

  DeliveryState& state;
  DownloadEventSink& sink;
  std::shared_ptr<const std::atomic<bool>> cancel;
  uint64_t generation;
  bool synchronous;
  std::vector<NameResult> results;
};

}  // namespace sonavera::delivery
