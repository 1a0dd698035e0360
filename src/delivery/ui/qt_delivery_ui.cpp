#include "delivery/ui/qt_delivery_ui.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>

namespace sonavera::delivery::ui {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QtDeliveryUi::QtDeliveryUi(QWidget* owner, std::function<void()> fill, std::function<void()> changed)
    : mainWindow(owner),
      fillSongList(std::move(fill)),
      libraryChanged(std::move(changed)),
      receiver(std::make_unique<QObject>()) {}

QtDeliveryUi::~QtDeliveryUi() {
  if (window) delete window.data();
}

void QtDeliveryUi::Attach(Delivery* owner) { delivery = owner; }

void QtDeliveryUi::Post(DownloadEvent event) {
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
