#pragma once

#include <QWidget>
#include <string>

#include "app/main_window_services.h"

namespace sonavera::app {

/// The main window's services on the desktop: real message boxes and the download question.
class DesktopServices : public MainWindowServices {
 public:
  /// `micFile`: a WAV that stands in for the microphone (empty: the sound card).
  explicit DesktopServices(std::string micFile);
  void SetParent(QWidget* parent) { this->parent = parent; }

  void ShowMessage(const std::string& text, const std::string& caption, bool information) override;
  bool OpenCaptureDevice() override;
  bool AskDownload(const std::string& name) override;

 private:
  std::string micFile;
  QWidget* parent = nullptr;
};

}  // namespace sonavera::app
