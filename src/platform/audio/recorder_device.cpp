#include "platform/audio/recorder_device.h"

#include "platform/audio/audio_file.h"
#include "platform/audio/wav_header_bytes.h"
#include "platform/audio/whole_file_writer.h"

namespace sonavera::platform {
namespace {

bool Fail(std::string* error, const std::string& reason) {
  if (error != nullptr) *error = reason;
  return false;
}

}  // namespace

std::unique_ptr<RecorderDevice> RecorderDevice::CreateEmpty(const MicSettings& mic) {
  std::unique_ptr<RecorderDevice> device(new RecorderDevice());
  device->micSettings = mic;
  return device;
}

std::unique_ptr<RecorderDevice> RecorderDevice::OpenFile(const std::string& path, std::string* error) {
  auto audio = LoadAudioFile(path, error);
  if (!audio) return nullptr;
  std::unique_ptr<RecorderDevice> device(new RecorderDevice());
  device->fromFile = true;
  device->formatChannels = audio->channels;
  device->formatRate = audio->sampleRate;
  if (!device->player.Open(std::move(*audio), error)) return nullptr;
  device->playerLoaded = true;
  return device;
}

RecorderDevice::~RecorderDevice() {
  if (mic != nullptr) {
    mic->SetActive(this, false);
    mic->Unsubscribe(this);
  }
}

bool RecorderDevice::SetFormat(int tag, int channels, int rate, int bytesPerSecond, int blockAlign, int bits,
                               std::string* error) {
  if (fromFile || mic != nullptr || recordedBytes() > 0) return Fail(error, "the format can no longer be changed");
  if (tag != 1) return Fail(error, "only PCM can be recorded");
  if (channels != 1 && channels != 2) return Fail(error, "1 or 2 channels can be recorded");
  if (bits != 8 && bits != 16) return Fail(error, "8 or 16 bits per sample can be recorded");
  // The rate travels as a 16-bit value to the device.
  if (rate < 1000 || rate > 65535) return Fail(error, "unsupported sample rate");
  if (blockAlign != channels * bits / 8 || bytesPerSecond != rate * blockAlign) {
    return Fail(error, "bytes per second and block alignment do not match the format");
  }
  formatChannels = channels;
  formatRate = rate;
  formatBits = bits;
  return true;
}

bool RecorderDevice::Record(std::string* error) {
  if (fromFile) return Fail(error, "a file opened for playback cannot record");
  if (mic == nullptr) {
    int code = kMicNoError;
    auto opened = Microphone::Open(micSettings, &code);
    if (opened == nullptr) return Fail(error, "cannot open the microphone (error " + std::to_string(code) + ")");
    if (!opened->Subscribe(this, formatRate, formatChannels)) return Fail(error, "unsupported recording format");
    mic = std::move(opened);
  }
  player.Close();  // what plays next is the recording as it will then be
  playerLoaded = false;
  mic->SetActive(this, true);
  return true;
}

bool RecorderDevice::Stop(std::string*) {
  if (mic != nullptr) {
    // After this no delivery is running, so `recorded` ends where the recording was stopped.
    mic->SetActive(this, false);
    mic->Unsubscribe(this);
    mic.reset();
  }
  player.Pause();
  return true;
}

RecorderDevice::Mode RecorderDevice::mode() const {
  if (mic != nullptr) return Mode::Recording;
  if (player.IsPlaying()) return Mode::Playing;
  return Mode::Stopped;
}

bool RecorderDevice::Save(const std::string& path, std::string* error) {
  if (fromFile) return Fail(error, "only a recording can be saved");
  std::lock_guard<std::mutex> lock(mutex);
  const auto header = CanonicalWavHeader(formatChannels, static_cast<std::uint32_t>(formatRate), formatBits,
                                         recorded.size());
  WholeFileWriter writer(path);
  if (!writer.Open()) return Fail(error, "cannot create " + path);
  bool ok = std::fwrite(header.data(), 1, header.size(), writer.stream()) == header.size();
  if (ok && !recorded.empty()) {
    ok = std::fwrite(recorded.data(), 1, recorded.size(), writer.stream()) == recorded.size();
  }
  if (!ok || !writer.Commit()) return Fail(error, "cannot write " + path);
  return true;
}

bool RecorderDevice::Play(std::int64_t fromMs, std::string* error) {
  if (mic != nullptr) Stop(nullptr);
  if (!playerLoaded) {
    // A recording plays what it holds.
    PcmAudio audio;
    audio.channels = formatChannels;
    audio.sampleRate = formatRate;
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (formatBits == 16) {
        audio.samples.resize(recorded.size() / 2);
        for (std::size_t i = 0; i < audio.samples.size(); ++i) {
          audio.samples[i] = static_cast<std::int16_t>(recorded[2 * i] | (recorded[2 * i + 1] << 8));
        }
      } else {
        audio.samples.resize(recorded.size());
        for (std::size_t i = 0; i < recorded.size(); ++i) {
          audio.samples[i] = static_cast<std::int16_t>((recorded[i] - 128) * 256);
        }
      }
    }
    if (!player.Open(std::move(audio), error)) return false;
    playerLoaded = true;
  }
  return player.Play(fromMs) || Fail(error, "cannot start playback");
}

std::size_t RecorderDevice::recordedBytes() const {
  std::lock_guard<std::mutex> lock(mutex);
  return recorded.size();
}

// Delivery thread: append the samples in the recording's format.
void RecorderDevice::OnMicSamples(const std::int16_t* samples, std::size_t count) {
  std::lock_guard<std::mutex> lock(mutex);
  if (formatBits == 16) {
    for (std::size_t i = 0; i < count; ++i) {
      const auto v = static_cast<std::uint16_t>(samples[i]);
      recorded.push_back(static_cast<std::uint8_t>(v & 0xFF));
      recorded.push_back(static_cast<std::uint8_t>(v >> 8));
    }
  } else {
    for (std::size_t i = 0; i < count; ++i) recorded.push_back(static_cast<std::uint8_t>((samples[i] >> 8) + 128));
  }
}

}  // namespace sonavera::platform
