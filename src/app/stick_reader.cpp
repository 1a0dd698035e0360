#include "app/stick_reader.h"

#include <QSocketNotifier>

namespace sonavera::app {

StickReader::StickReader(DanceStick& stick, QObject* parent) : QObject(parent), stick(stick) {}

StickReader::~StickReader() {
  // Notifiers go before the descriptors they watch are closed.
  for (auto& entry : watched) delete entry->notifier;
}

int StickReader::OpenJoysticks(const std::string& folder) {
  auto devices = platform::OpenJoysticks(folder);
  const int found = static_cast<int>(devices.size());
  for (auto& device : devices) AddDevice(std::move(device));
  return found;
}

void StickReader::AddDevice(std::unique_ptr<platform::HidrawDevice> device) {
  if (!device) return;
  auto entry = std::make_unique<Watched>();
  entry->device = std::move(device);
  entry->notifier = new QSocketNotifier(entry->device->Fd(), QSocketNotifier::Read);
  Watched* raw = entry.get();
  connect(entry->notifier, &QSocketNotifier::activated, this, [this, raw] { ReadWaiting(*raw); });
  watched.push_back(std::move(entry));
}

void StickReader::ReadWaiting(Watched& entry) {
  while (entry.device->ReadReport(report)) {
    stick.OnRawInput(entry.device->Descriptor(), report);
    if (onReport) onReport();
  }
  // An unplugged device stops being watched; its last button state stays as it was.
  if (entry.device->Gone()) entry.notifier->setEnabled(false);
}

}  // namespace sonavera::app
