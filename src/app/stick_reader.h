#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/dance_stick.h"
#include "platform/hid/hidraw_device.h"

class QSocketNotifier;

namespace sonavera::app {

/// Watches the joystick devices and hands each report to the DanceStick as it arrives, as an event on
/// the user-interface thread (a socket notifier on each device). No device attached is not an error.
class StickReader : public QObject {
 public:
  explicit StickReader(DanceStick& stick, QObject* parent = nullptr);
  ~StickReader() override;

  /// Opens every joystick under `folder` ("/dev" for the real ones); returns how many were found.
  int OpenJoysticks(const std::string& folder = "/dev");

  /// Watches one already open device (tests hand in a pipe with a descriptor of their own).
  void AddDevice(std::unique_ptr<platform::HidrawDevice> device);

  int DeviceCount() const { return static_cast<int>(watched.size()); }

  /// Called after each report has been parsed (the mapping dialog listens here).
  std::function<void()> onReport;

 private:
  struct Watched {
    std::unique_ptr<platform::HidrawDevice> device;
    QSocketNotifier* notifier = nullptr;
  };
  void ReadWaiting(Watched& entry);

  DanceStick& stick;
  std::vector<std::unique_ptr<Watched>> watched;
  std::vector<uint8_t> report;  // reused for every read
};

}  // namespace sonavera::app
