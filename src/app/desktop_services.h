#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/main_window_services.h"

namespace sonavera::platform {
class Config;
}
namespace sonavera::delivery {
class Delivery;
namespace ui {
class QtDeliveryUi;
}
}  // namespace sonavera::delivery

namespace sonavera::app {

/// The main window's services on the desktop: real message boxes and the download question.
class DesktopServices : public MainWindowServices {
 public:
  /// `micFile`: a WAV that stands in for the microphone (empty: the sound card).
  explicit DesktopServices(std::string micFile);
  ~DesktopServices() override;
  void SetParent(QWidget* parent) { this->parent = parent; }

  /// Starts the downloads when a server is configured. `fillSongList` refills the main window's
  /// list, `libraryChanged` marks it stale after a package was unpacked.
  void StartDelivery(const std::string& programFolder, const platform::Config& config,
                     std::function<void()> fillSongList, std::function<void()> libraryChanged);
  /// Stops a running download and waits for it, before the main window goes.
  void StopDelivery();

  void ShowMessage(const std::string& text, const std::string& caption, bool information) override;
  bool OpenCaptureDevice() override;
  void RefreshSongList() override;
  bool IsDownloading(const std::string& name) override;
  bool AskDownload(const std::string& name) override;
  void RequestSongDownload(const std::string& name) override;

 private:
  std::string micFile;
  QWidget* parent = nullptr;
  std::unique_ptr<delivery::ui::QtDeliveryUi> deliveryUi;
  std::unique_ptr<delivery::Delivery> delivery;  // goes before deliveryUi
};

}  // namespace sonavera::app
