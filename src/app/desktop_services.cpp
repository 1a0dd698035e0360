#include "app/desktop_services.h"

#include <QApplication>
#include <QMessageBox>
#include <fstream>

#include "delivery/ui/wait_dlg.h"

namespace sonavera::app {

DesktopServices::DesktopServices(std::string micFile) : micFile(std::move(micFile)) {}

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
