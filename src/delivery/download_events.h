#pragma once

#include <string>

namespace sonavera::delivery {

/// One change the download worker asks of the user interface.
struct DownloadEvent {
  enum class Kind {
    kStatus,          // status line
    kSize,            // archive size box ("%0.2f" + "MB")
    kSpeed,           // speed box
    kPercent,         // percentage box
    kProgressRange,   // progress bar range 0 .. value
    kProgressPos,     // progress bar position = value
    kQueueText,       // list field: every queued name followed by "\r\n"
    kMessage,         // a modal message box with `text`
    kLibraryChanged,  // a song package was unpacked into the library
    kQueueDone,       // the worker emptied the queue: press the exit button
  };
  Kind kind = Kind::kStatus;
  std::string text;
  long long value = 0;
};

/// Where the worker's events go. Post is called from the download worker thread and from the
/// user-interface thread; the implementation delivers every event on the user-interface thread,
/// in the order posted.
class DownloadEventSink {
 public:
  virtual ~DownloadEventSink() = default;
  virtual void Post(DownloadEvent event) = 0;
};

}  // namespace sonavera::delivery
