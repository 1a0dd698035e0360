#pragma once

#include <QPointer>
#include <functional>
#include <memory>

#include "delivery/delivery.h"
#include "delivery/ui/url_down.h"

class QWidget;

namespace sonavera::delivery::ui {

/// The Qt side of the downloads: owns the download window, shows message boxes over the main
/// window and delivers the worker's events on the user-interface thread (queued to a receiver
/// that lives there). Create it on the user-interface thread, create the Delivery with it, call
/// Attach, and destroy the Delivery before this object.
class QtDeliveryUi : public DeliveryUi {
 public:
  /// `fillSongList` rebuilds the main window's song list (from "List.txt" and "AD.txt");
  /// `libraryChanged` runs after a song package was unpacked (the main window rebuilds its list
  /// when it shows the library).
  QtDeliveryUi(QWidget* mainWindow, std::function<void()> fillSongList, std::function<void()> libraryChanged);
  ~QtDeliveryUi() override;

  void Attach(Delivery* delivery);

  /// Both threads: queues the event for the user-interface thread.
  void Post(DownloadEvent event) override;
  void ShowMessage(const std::string& text) override;
  void FillSongList() override;
  void OpenDownloadWindow(const std::string& listText) override;
  void CloseDownloadWindow() override;

  /// The download window while it exists.
  UrlDown* Window() const { return window; }

 private:
  void Deliver(const DownloadEvent& event);

  QWidget* mainWindow;
  std::function<void()> fillSongList;
  std::function<void()> libraryChanged;
  Delivery* delivery = nullptr;
  std::unique_ptr<QObject> receiver;  // lives on the user-interface thread; queued events run here
  QPointer<UrlDown> window;
};

}  // namespace sonavera::delivery::ui
