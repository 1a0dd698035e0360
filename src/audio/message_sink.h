#pragma once

#include <string>

namespace sonavera::audio {

/// Shows the messages of the mixdown to the user. The mixdown worker calls it from its own thread, so
/// an implementation only hands the text to the user-interface thread, which shows the message box.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  /// Called from the mixdown worker thread and from the user-interface thread.
  virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace sonavera::audio
