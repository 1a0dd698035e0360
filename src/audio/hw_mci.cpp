#include "audio/hw_mci.h"

namespace sonavera::audio {

CHwMCI::~CHwMCI() { Close(); }

bool CHwMCI::Failed(const std::string& text) {
  lastErrorText = text.substr(0, 255);
  return false;
}

bool CHwMCI::Open() {
  Close();
  device = platform::RecorderDevice::CreateEmpty(micSettings);
  return true;
}

bool CHwMCI::Open(const std::string& path) {
  Close();
  std::string error;
  device = platform::RecorderDevice::OpenFile(path, &error);
  if (device == nullptr) return Failed("cannot open " + path + ": " + error);
  return true;
}

void CHwMCI::Close() { device.reset(); }

bool CHwMCI::Stop() {
  if (device == nullptr) return false;
  std::string error;
  return device->Stop(&error) || Failed(error);
}

bool CHwMCI::IsStopped() {
  return device != nullptr && device->mode() == platform::RecorderDevice::Mode::Stopped;
}

bool CHwMCI::SaveAs(const std::string& path) {
  if (device == nullptr) return Failed("no device is open");
  Stop();
  std::string error;
  return device->Save(path, &error) || Failed(error);
}

bool CHwMCI::SetFormat(int formatTag, int channels, int samplesPerSecond, int bytesPerSecond, int blockAlign,
                       int bitsPerSample) {
  if (device == nullptr) return Failed("no device is open");
  std::string error;
  return device->SetFormat(formatTag, channels, samplesPerSecond, bytesPerSecond, blockAlign, bitsPerSample,
                           &error) ||
         Failed(error);
}

bool CHwMCI::PlayFrom(std::int64_t startMs, std::int64_t /*endMs*/) {
  if (device == nullptr) return Failed("no device is open");
  Stop();
  std::string error;
  return device->Play(startMs, &error) || Failed(error);
}

bool CHwMCI::StartRecording(int channels, int samplesPerSecond, int bitsPerSample) {
  if (channels != 1 && channels != 2) return false;
  Close();
  if (!Open()) return false;
  SetFormat(1, channels, samplesPerSecond, channels * samplesPerSecond * bitsPerSample / 8,
            channels * bitsPerSample / 8, bitsPerSample);
  std::string error;
  return device->Record(&error) || Failed(error);
}

}  // namespace sonavera::audio
