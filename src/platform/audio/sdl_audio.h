#pragma once

#include <string>
#include <vector>

namespace sonavera::platform {

/// Keeps SDL's audio subsystem started while alive (SDL counts the starts, so the sound engine and the
/// microphone can hold it independently). Construct and destroy on the user-interface thread.
class SdlAudio {
 public:
  SdlAudio();
  ~SdlAudio();
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;
  bool ok() const { return started; }

 private:
  bool started;
};

/// Names of the capture devices, in the order of their device numbers, for the settings' microphone
/// choice (device -1, the system default, is not listed). Empty when there is no audio back end.
std::vector<std::string> CaptureDeviceNames();

}  // namespace sonavera::platform
