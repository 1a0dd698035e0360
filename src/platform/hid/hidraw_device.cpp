#include "platform/hid/hidraw_device.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace sonavera::platform {
namespace {

constexpr uint16_t kGenericDesktopPage = 0x01;
constexpr uint16_t kJoystickUsage = 0x04;
constexpr size_t kMaxReportBytes = 16384;  // the kernel never delivers longer reports

}  // namespace

HidrawDevice::HidrawDevice(int fd, HidReportDescriptor descriptor, std::string path)
    : fd(fd), descriptor(std::move(descriptor)), path(std::move(path)) {}

HidrawDevice::~HidrawDevice() {
  if (fd >= 0) ::close(fd);
}

bool HidrawDevice::ReadReport(std::vector<uint8_t>& report) {
  if (gone || fd < 0) return false;
  report.resize(kMaxReportBytes);
  ssize_t n;
  do {
    n = ::read(fd, report.data(), report.size());
  } while (n < 0 && errno == EINTR);
  if (n > 0) {
    report.resize(static_cast<size_t>(n));
    return true;
  }
  report.clear();
  // A closed writer (0) or an unplugged device (ENODEV, EIO) ends the stream; EAGAIN just means later.
  if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) gone = true;
  return false;
}

bool IsJoystick(const HidReportDescriptor& descriptor) {
  return descriptor.Caps().usagePage == kGenericDesktopPage && descriptor.Caps().usage == kJoystickUsage;
}

std::unique_ptr<HidrawDevice> OpenHidrawDevice(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  int size = 0;
  hidraw_report_descriptor raw{};
  if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
    ::close(fd);
    return nullptr;
  }
  raw.size = static_cast<uint32_t>(size);
  if (::ioctl(fd, HIDIOCGRDESC, &raw) < 0) {
    ::close(fd);
    return nullptr;
  }
  auto descriptor = HidReportDescriptor::Parse(std::span<const uint8_t>(raw.value, raw.size));
  if (!descriptor) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<HidrawDevice>(fd, std::move(*descriptor), path);
}

std::vector<std::unique_ptr<HidrawDevice>> OpenJoysticks(const std::string& folder) {
  std::vector<std::string> paths;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.rfind("hidraw", 0) == 0) paths.push_back(it->path().string());
  }
  std::sort(paths.begin(), paths.end());
  std::vector<std::unique_ptr<HidrawDevice>> devices;
  for (const std::string& path : paths) {
    auto device = OpenHidrawDevice(path);
    if (device && IsJoystick(device->Descriptor())) devices.push_back(std::move(device));
  }
  return devices;
}

}  // namespace sonavera::platform
