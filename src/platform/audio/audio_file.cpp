#include "platform/audio/audio_file.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/audio/mp3_feed_decoder.h"
#include "platform/audio/pcm_wav_reader.h"

namespace sonavera::platform {
namespace {

std::optional<PcmAudio> DecodeMp3(std::FILE* file, std::string* error) {
  Mp3FeedDecoder decoder;
  if (!decoder.ok()) {
    if (error != nullptr) *error = "cannot start the MP3 decoder";
    return std::nullopt;
  }
  PcmAudio audio;
  audio.channels = Mp3FeedDecoder::kChannels;
  std::vector<std::uint8_t> input(16384);
  std::vector<std::uint8_t> output(Mp3FeedDecoder::kOutputBytes);
  std::size_t got;
  while ((got = std::fread(input.data(), 1, input.size(), file)) > 0) {
    const std::uint8_t* feed = input.data();
    std::size_t bytes = 0;
    while (decoder.Decode(feed, got, output.data(), output.size(), &bytes) == Mp3FeedDecoder::Result::Frame) {
      feed = nullptr;
      const auto* samples = reinterpret_cast<const std::int16_t*>(output.data());
      audio.samples.insert(audio.samples.end(), samples, samples + bytes / 2);
    }
  }
  audio.sampleRate = static_cast<int>(decoder.sampleRate());
  if (audio.sampleRate == 0 || audio.samples.empty()) {
    if (error != nullptr) *error = "no MPEG audio frames in the file";
    return std::nullopt;
  }
  return audio;
}

}  // namespace

std::optional<PcmAudio> LoadAudioFile(const std::string& path, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    if (error != nullptr) *error = "cannot open the file";
    return std::nullopt;
  }
  char magic[4] = {};
  const bool isWav = std::fread(magic, 1, 4, file) == 4 && std::memcmp(magic, "RIFF", 4) == 0;
  if (isWav) {
    std::fclose(file);
    return ReadPcmWav(path, error);
  }
  std::rewind(file);
  auto audio = DecodeMp3(file, error);
  std::fclose(file);
  return audio;
}

}  // namespace sonavera::platform
