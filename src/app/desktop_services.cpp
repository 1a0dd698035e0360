#include "app/desktop_services.h"

#include <QApplication>
#include <QMessageBox>
#include <fstream>

#include "delivery/delivery.h"
#include "delivery/ui/qt_delivery_ui.h"
#include "delivery/ui/wait_dlg.h"
#include "platform/config.h"

namespace sonavera::app {

DesktopServices::DesktopServices(std::string micFile) : micFile(std::move(micFile)) {}

DesktopServices::~DesktopServices() {
  StopDelivery();
}

void DesktopServices::StartDelivery(const std::string& programFolder, const platform::Config& config,
                                    std::function<void()> fillSongList,
                                    std::function<void()> libraryChanged) {
  const auto network = delivery::NetworkSettings::From(config);
  // Without a configured server the library on disk is all there is; that is no error.
  if (network.tokenUrl.empty()) return;
  deliveryUi = std::make_unique<delivery::ui::QtDeliveryUi>(parent, std::move(fillSongList),
                                                            std::move(libraryChanged));
  delivery = std::make_unique<delivery::Delivery>(programFolder, network, *deliveryUi);
  deliveryUi->Attach(delivery.get());
}

void DesktopServices::StopDelivery() {
  delivery.reset();  // presses exit and waits for the worker; a partial archive is removed
  deliveryUi.reset();
}

void DesktopServices::RefreshSongList() {
  if (!delivery) return;
  delivery::ui::WaitDlg notice(delivery::ui::WaitDlg::kLoading, parent,
                               [this] { delivery->RefreshSongList(); });
  notice.exec();
}

bool DesktopServices::IsDownloading(const std::string& name) {
  return delivery && delivery->IsQueued(name);
}

void DesktopServices::RequestSongDownload(const std::string& name) {
  if (delivery) delivery->RequestSongDownload(name);
}

void DesktopServices::ShowMessage(const std::string& text, const std::string& caption, bool information) {
  QApplication::beep();
  QMessageBox box(information ? QMessageBox::Information : QMessageBox::Warning,
                  QString::fromStdString(caption.empty() ? std::string("Sonavera") : caption),
                  QString::fromStdString(text), QMessageBox::Ok, parent);
  box.exec();
}

bool DesktopServices::OpenCaptureDevice() {
  // A microphone file must at least be readable; the sound card is opened by the capture handler.
  if (micFile.empty()) return true;
  return std::ifstream(micFile, std::ios::binary).good();
}

bool DesktopServices::AskDownload(const std::string&) {
  delivery::ui::WaitDlg notice(delivery::ui::WaitDlg::kNotDownloaded, parent);
  return notice.exec() == 1;
}

}  // namespace sonavera::app
