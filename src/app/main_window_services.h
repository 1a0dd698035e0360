#pragma once

#include <string>

namespace sonavera::app {

/// What the main window asks of the rest of the program: message boxes, the capture device, the
/// catalogue refresh, downloads and the stage. The desktop implementation shows real boxes and
/// dialogs; tests record what was asked.
class MainWindowServices {
 public:
  virtual ~MainWindowServices() = default;
  /// A modal message box with an OK button. `information` picks the information icon, else the
  /// exclamation.
  virtual void ShowMessage(const std::string& text, const std::string& caption, bool information) = 0;
  /// Opens the microphone; false when it cannot be opened.
  virtual bool OpenCaptureDevice() = 0;
  /// Refreshes the catalogue from the server, if one is configured (the list is filled afterwards).
  virtual void RefreshSongList() {}
  /// True while the song is waiting in the download queue.
  virtual bool IsDownloading(const std::string& /*name*/) { return false; }
  /// Asks whether a song that is not on disk should be downloaded; true for yes.
  virtual bool AskDownload(const std::string& /*name*/) { return false; }
  virtual void RequestSongDownload(const std::string& /*name*/) {}
};

}  // namespace sonavera::app
