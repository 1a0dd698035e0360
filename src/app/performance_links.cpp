#include "app/performance_links.h"

#include <QMetaObject>
#include <filesystem>
#include <fstream>

namespace sonavera::app {

CaptureLink::CaptureLink(platform::MicSettings settings) : settings(settings), device(*this, settings) {}

CaptureLink::~CaptureLink() {
  Close();
}

int CaptureLink::Open(int deviceNumber) {
  if (device.IsOpen()) return 0;  // opened once for the window's life
  settings.device = deviceNumber;
  device.SetMicSettings(settings);
  return device.Open(deviceNumber);
}

void CaptureLink::Queue(judge::CaptureBuffer& buffer) {
  platform::CaptureBuffer& own = buffers[&buffer];
  own.data = reinterpret_cast<std::uint8_t*>(buffer.data);
  own.length = static_cast<std::uint32_t>(buffer.byteLength);
  own.user = reinterpret_cast<std::uintptr_t>(&buffer);
  buffer.bytesRecorded = 0;
  device.AddBuffer(&own);
}

void CaptureLink::Start() {
  device.Start();
}

void CaptureLink::Reset() {
  device.Reset();
  // Every buffer handed back so far, including those Reset returned, belongs to the old generation.
  generation.fetch_add(1);
}

void CaptureLink::Close() {
  if (!device.IsOpen()) return;
  device.Close();
  generation.fetch_add(1);
}

void CaptureLink::PostCaptureEvent(const platform::CaptureEvent& event) {
  if (event.type != platform::CaptureEventType::Data || event.buffer == nullptr) return;
  platform::CaptureBuffer* buffer = event.buffer;
  const int postedIn = generation.load();
  QMetaObject::invokeMethod(
      &receiver, [this, buffer, postedIn] { Deliver(buffer, postedIn); }, Qt::QueuedConnection);
}

void CaptureLink::Deliver(platform::CaptureBuffer* buffer, int generationAtPost) {
  if (generationAtPost != generation.load() || judge == nullptr) return;
  auto* target = reinterpret_cast<judge::CaptureBuffer*>(buffer->user);
  target->bytesRecorded = static_cast<int>(buffer->bytesRecorded);
  judge->OnCaptureData(*target);
}

bool FolderFiles::Exists(const std::string& name) {
  std::error_code error;
  return std::filesystem::exists(folder + name, error);
}

void FolderFiles::WriteText(const std::string& name, const std::string& text) {
  std::ofstream out(folder + name, std::ios::binary | std::ios::trunc);
  out << text;
}

void UiMessageSink::ShowMessage(const std::string& text) {
  QMetaObject::invokeMethod(
      &context,
      [this, text] {
        if (show) show(text);
      },
      Qt::QueuedConnection);
}

}  // namespace sonavera::app
