#include "judge/offline_ports.h"

namespace sonavera::judge {

int TakeCaptureDevice::Open(int) {
  return 0;
}

void TakeCaptureDevice::Queue(CaptureBuffer& buffer) {
  buffer.bytesRecorded = 0;
  // A full ring drops the buffer: it is never handed back, as with a device that refused it.
  if (count_ < ring_.size()) ring_[(head_ + count_++) % ring_.size()] = &buffer;
}

void TakeCaptureDevice::Start() {
  started_ = true;
}

void TakeCaptureDevice::Reset() {
  head_ = count_ = 0;
  started_ = false;
}

CaptureBuffer* TakeCaptureDevice::Take() {
  if (count_ == 0) return nullptr;
  CaptureBuffer* buffer = ring_[head_];
  head_ = (head_ + 1) % ring_.size();
  --count_;
  buffer->bytesRecorded = buffer->byteLength;
  return buffer;
}

CaptureBuffer* TakeCaptureDevice::Fill(size_t first) {
  if (!started_) return nullptr;
  CaptureBuffer* buffer = Take();
  if (buffer == nullptr) return nullptr;
  const size_t samples = static_cast<size_t>(buffer->byteLength / 2);
  for (size_t i = 0; i < samples; ++i) {
    buffer->data[i] = first + i < take_.size() ? take_[first + i] : 0;
  }
  return buffer;
}

void MarkerStage::SetSingerMarker(int y, int nearFlag, int hitFlag, int missFlag) {
  marker.markerY = y;
  marker.markerKind = MarkerKind(nearFlag, hitFlag, missFlag);
}

}  // namespace sonavera::judge
