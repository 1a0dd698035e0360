#pragma once

#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <mutex>

#include "delivery/delivery.h"
#include "delivery/ui/url_down.h"

class QWidget;

namespace sonavera::delivery::ui {

/// The Qt side of the downloads: owns the download window, shows message boxes over the main
/// window and delivers the worker's events on the user-interface thread (queued to a receiver
/// that lives there). Create it on the user-interface thread, create the Delivery with it, call
/// Attach; the Delivery may go first (it detaches itself) but must not outlive this object.
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
  void DeliveryClosing() override { delivery = nullptr; }

  /// The download window while it exists.
  UrlDown* Window() const { return window; }

 private:
  void Deliver(const DownloadEvent& event);
  void FlushProgress();

  QWidget* mainWindow;
  std::function<void()> fillSongList;
  std::function<void()> libraryChanged;
  Delivery* delivery = nullptr;
  std::unique_ptr<QObject> receiver;  // lives on the user-interface thread; queued events run here
  QPointer<UrlDown> window;

  // The worker reports every 512-byte block: position, size, speed and percentage are kept here
  // as their latest values and applied by one queued call at a time, so a fast download cannot
  // flood the event queue. Guarded by progressLock (both threads).
  std::mutex progressLock;
  std::array<DownloadEvent, 4> latestProgress;
  std::array<bool, 4> progressPending{};
  bool flushQueued = false;
};

}  // namespace sonavera::delivery::ui
