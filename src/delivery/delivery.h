#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "delivery/delivery_state.h"
#include "delivery/download_events.h"

namespace sonavera::delivery {

/// What the downloads need from the user interface. Post (inherited) is called from both threads;
/// every other method is called on the user-interface thread only. When the implementation
/// delivers a kQueueDone event it calls Delivery::OnQueueDone, for kMessage it shows ShowMessage,
/// and kLibraryChanged lets the main window rebuild its song list when it shows the library.
class DeliveryUi : public DownloadEventSink {
 public:
  /// A modal message box with `text`.
  virtual void ShowMessage(const std::string& text) = 0;
  /// The main window rebuilds its song list from "List.txt" and "AD.txt".
  virtual void FillSongList() = 0;
  /// Creates the download window, places it at the lower-right corner of the work area, shows it
  /// and sets its list field to `listText`. Called only while no download window exists.
  virtual void OpenDownloadWindow(const std::string& listText) = 0;
  /// Destroys the download window; the interface forgets it.
  virtual void CloseDownloadWindow() = 0;
};

/// The catalogue refresh and the song downloads of one run of the program: the access tokens,
/// the download queue, its window and its worker thread. Every method is called on the
/// user-interface thread.
class Delivery {
 public:
  Delivery(std::string programFolder, NetworkSettings network, DeliveryUi& ui);
  ~Delivery();  // presses exit and waits for the worker
  Delivery(const Delivery&) = delete;
  Delivery& operator=(const Delivery&) = delete;

  /// Downloads the token file into "token.txt" and appends its tokens to the token list. True when
  /// the local token file could be read; false when no token address is configured or the
  /// network failed (the tokens kept are those of earlier fetches).
  bool FetchAccessToken();

  /// Run by the loading notice: the first time (no download attempted yet) fetches the tokens and
  /// downloads and unpacks "List" and "AD" into the program folder, then has the main window fill
  /// its song list. With no server or no network the user sees "网络连接出错" and the list is
  /// still filled from the library on disk.
  void RefreshSongList();

  /// Queues a song package name and makes sure a download window works on the queue. Refused with
  /// a message box when no download has been possible yet or the name is not a plain name.
  void RequestSongDownload(const std::string& name);

  /// Whether `name` is in the download queue (exact, case-sensitive).
  bool IsQueued(const std::string& name) const;

  /// The download window's exit button: stops the worker at its next block, empties the queue and
  /// destroys the window.
  void PressExit();

  /// Delivered kQueueDone: presses exit unless a name was queued (and a worker started) meanwhile.
  void OnQueueDone();

  bool DownloadWindowOpen() const { return windowOpen; }

  /// Waits until the worker thread has ended (the program's end, the tool, tests).
  void WaitForWorker();

  DeliveryState& State() { return state; }

 private:
  void StartWorker(uint64_t generation);
  std::shared_ptr<std::atomic<bool>> NewWindowSession();

  DeliveryState state;
  DeliveryUi& ui;
  bool windowOpen = false;
  std::shared_ptr<std::atomic<bool>> cancelDownload;  // the exit flag of the current window
  std::thread worker;
};

}  // namespace sonavera::delivery
