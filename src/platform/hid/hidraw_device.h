#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/hid/hid_report_descriptor.h"

namespace sonavera::platform {

/// An open Linux hidraw device (or any readable descriptor that delivers one HID input report per
/// read) together with its parsed report descriptor. Closes the descriptor when destroyed.
class HidrawDevice {
 public:
  /// Takes ownership of `fd`, which must be non-blocking.
  HidrawDevice(int fd, HidReportDescriptor descriptor, std::string path);
  ~HidrawDevice();
  HidrawDevice(const HidrawDevice&) = delete;
  HidrawDevice& operator=(const HidrawDevice&) = delete;

  int Fd() const { return fd; }
  const std::string& Path() const { return path; }
  const HidReportDescriptor& Descriptor() const { return descriptor; }

  /// Reads the next waiting report into `report` (resized to what arrived). False when nothing is
  /// waiting, or the device is gone (then `Gone()` turns true).
  bool ReadReport(std::vector<uint8_t>& report);
  bool Gone() const { return gone; }

 private:
  int fd;
  HidReportDescriptor descriptor;
  std::string path;
  bool gone = false;
};

/// Opens `path` as a hidraw device and reads its report descriptor (HIDIOCGRDESCSIZE / HIDIOCGRDESC).
/// nullptr when it cannot be opened, is no hidraw device, or its descriptor does not parse.
std::unique_ptr<HidrawDevice> OpenHidrawDevice(const std::string& path);

/// The hidraw devices under `folder` ("hidraw*" entries, in name order) whose first application
/// collection is a joystick (generic desktop page 0x01, usage 0x04). None found is not an error.
std::vector<std::unique_ptr<HidrawDevice>> OpenJoysticks(const std::string& folder = "/dev");

/// True for a descriptor that declares a joystick: generic desktop page 0x01, usage 0x04.
bool IsJoystick(const HidReportDescriptor& descriptor);

}  // namespace sonavera::platform
