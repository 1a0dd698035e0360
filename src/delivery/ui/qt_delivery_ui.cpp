#include "delivery/ui/qt_delivery_ui.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>

namespace sonavera::delivery::ui {
namespace {

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

// The slot of a progress event among the coalesced ones; -1 for events delivered one by one.
int ProgressSlot(DownloadEvent::Kind kind) {
  switch (kind) {
    case DownloadEvent::Kind::kProgressPos:
      return 0;
    case DownloadEvent::Kind::kSize:
      return 1;
    case DownloadEvent::Kind::kSpeed:
      return 2;
    case DownloadEvent::Kind::kPercent:
      return 3;
    default:
      return -1;
  }
}

}  // namespace

QtDeliveryUi::QtDeliveryUi(QWidget* owner, std::function<void()> fill, std::function<void()> changed)
    : mainWindow(owner),
      fillSongList(std::move(fill)),
      libraryChanged(std::move(changed)),
      receiver(std::make_unique<QObject>()) {}

QtDeliveryUi::~QtDeliveryUi() {
  if (window) delete window.data();
}

void QtDeliveryUi::Attach(Delivery* owner) {
  delivery = owner;
}

void QtDeliveryUi::Post(DownloadEvent event) {
  if (const int slot = ProgressSlot(event.kind); slot >= 0) {
    std::lock_guard guard(progressLock);
    latestProgress[static_cast<size_t>(slot)] = std::move(event);
    progressPending[static_cast<size_t>(slot)] = true;
    if (flushQueued) return;
    flushQueued = true;
    QMetaObject::invokeMethod(
        receiver.get(), [this] { FlushProgress(); }, Qt::QueuedConnection);
    return;
  }
  // Queued to the receiver's thread; calls still queued when the receiver is gone are dropped.
  QMetaObject::invokeMethod(
      receiver.get(), [this, event = std::move(event)] { Deliver(event); }, Qt::QueuedConnection);
}

void QtDeliveryUi::ShowMessage(const std::string& text) {
  QApplication::beep();
  QMessageBox::warning(mainWindow, QStringLiteral("Sonavera"), Text(text));
}

void QtDeliveryUi::FillSongList() {
  if (fillSongList) fillSongList();
}

void QtDeliveryUi::OpenDownloadWindow(const std::string& listText) {
  if (window) delete window.data();
  window = new UrlDown(mainWindow, [this] {
    if (delivery) delivery->PressExit();
  });
  window->PlaceAtLowerRight();
  window->show();
  window->SetQueueText(Text(listText));
}

void QtDeliveryUi::CloseDownloadWindow() {
  if (!window) return;
  UrlDown* closing = window.data();
  window.clear();
  closing->hide();
  closing->deleteLater();  // may be called from the window's own button
}

void QtDeliveryUi::FlushProgress() {
  std::vector<DownloadEvent> events;
  {
    std::lock_guard guard(progressLock);
    for (size_t i = 0; i < latestProgress.size(); ++i) {
      if (progressPending[i]) events.push_back(latestProgress[i]);
      progressPending[i] = false;
    }
    flushQueued = false;
  }
  for (const auto& event : events) Deliver(event);
}

void QtDeliveryUi::Deliver(const DownloadEvent& event) {
  using Kind = DownloadEvent::Kind;
  switch (event.kind) {
    case Kind::kMessage:
      ShowMessage(event.text);
      return;
    case Kind::kLibraryChanged:
      if (libraryChanged) libraryChanged();
      return;
    case Kind::kQueueDone:
      if (delivery) delivery->OnQueueDone();
      return;
    default:
      break;
  }
  if (!window) return;
  switch (event.kind) {
    case Kind::kStatus:
      window->SetStatusText(Text(event.text));
      break;
    case Kind::kSize:
      window->SetSizeText(Text(event.text));
      break;
    case Kind::kSpeed:
      window->SetSpeedText(Text(event.text));
      break;
    case Kind::kPercent:
      window->SetPercentText(Text(event.text));
      break;
    case Kind::kProgressRange:
      window->SetProgressRange(event.value);
      break;
    case Kind::kProgressPos:
      window->SetProgressPosition(event.value);
      break;
    case Kind::kQueueText:
      window->SetQueueText(Text(event.text));
      break;
    default:
      break;
  }
}

}  // namespace sonavera::delivery::ui
