#include "platform/audio/capture_device.h"

#include <cstring>

#include "platform/audio/sdl_audio.h"

namespace sonavera::platform {

CaptureDevice::CaptureDevice(CaptureEventSink& eventSink, MicSettings settings)
    : sink(eventSink), micSettings(std::move(settings)) {}

CaptureDevice::~CaptureDevice() { Close(); }

int CaptureDevice::Open(int device) {
  Close();
  MicSettings settings = micSettings;
  settings.device = device;
  int code = kMicNoError;
  auto opened = Microphone::Open(settings, &code);
  if (opened == nullptr) return code;
  if (!opened->Subscribe(this, kSampleRate, kChannels)) return kMicError;
  mic = std::move(opened);
  sink.PostCaptureEvent({CaptureEventType::Open, nullptr});
  return kMicNoError;
}

int CaptureDevice::AddBuffer(CaptureBuffer* buffer) {
  if (mic == nullptr) return kCaptureNotOpen;
  if (buffer == nullptr || buffer->data == nullptr || buffer->length == 0) return kCaptureInvalidBuffer;
  std::lock_guard<std::mutex> lock(mutex);
  if ((buffer->flags & kCaptureBufferQueued) != 0) return kCaptureStillQueued;
  buffer->bytesRecorded = 0;
  buffer->flags = kCaptureBufferQueued;
  queue.push_back(buffer);
  return 0;
}

int CaptureDevice::Start() {
  if (mic == nullptr) return kCaptureNotOpen;
  mic->SetActive(this, true);
  return 0;
}

int CaptureDevice::Stop() {
  if (mic == nullptr) return kCaptureNotOpen;
  mic->SetActive(this, false);  // from here on no delivery is running
  std::lock_guard<std::mutex> lock(mutex);
  if (!queue.empty() && queue.front()->bytesRecorded > 0) ReturnHead();
  return 0;
}

int CaptureDevice::Reset() {
  if (mic == nullptr) return kCaptureNotOpen;
  mic->SetActive(this, false);
  std::lock_guard<std::mutex> lock(mutex);
  while (!queue.empty()) ReturnHead();
  return 0;
}

int CaptureDevice::Close() {
  if (mic == nullptr) return kCaptureNotOpen;
  Reset();
  mic->Unsubscribe(this);
  mic.reset();
  sink.PostCaptureEvent({CaptureEventType::Close, nullptr});
  return 0;
}

std::size_t CaptureDevice::queuedCount() const {
  std::lock_guard<std::mutex> lock(mutex);
  return queue.size();
}

std::vector<std::string> CaptureDevice::DeviceNames() { return CaptureDeviceNames(); }

void CaptureDevice::ReturnHead() {
  CaptureBuffer* buffer = queue.front();
  queue.pop_front();
  buffer->flags = kCaptureBufferDone;
  sink.PostCaptureEvent({CaptureEventType::Data, buffer});
}

// Delivery thread: fill the queued buffers in order; what finds no buffer is dropped.
void CaptureDevice::OnMicSamples(const std::int16_t* samples, std::size_t count) {
  std::lock_guard<std::mutex> lock(mutex);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(samples);
  std::size_t remaining = count * sizeof(std::int16_t);
  while (remaining > 0 && !queue.empty()) {
    CaptureBuffer* buffer = queue.front();
    const std::size_t room = buffer->length - buffer->bytesRecorded;
    const std::size_t take = remaining < room ? remaining : room;
    std::memcpy(buffer->data + buffer->bytesRecorded, bytes, take);
    buffer->bytesRecorded += static_cast<std::uint32_t>(take);
    bytes += take;
    remaining -= take;
    if (buffer->bytesRecorded == buffer->length) ReturnHead();
  }
}

std::string CaptureOpenErrorText(int code) {
  return "打开音频输入设备出错，错误代码：" + std::to_string(code);
}

}  // namespace sonavera::platform
