#include "audio/accompaniment_decoder.h"

#include <cstdio>
#include <vector>

#include "audio/wav_writer.h"
#include "platform/audio/mp3_feed_decoder.h"

namespace sonavera::audio {
namespace {

constexpr std::size_t kReadBlock = 10000;
constexpr std::uint32_t kPlaceholderRate = 11025;  // replaced by the stream's rate once it is known
constexpr int kChannels = 2;

std::string Join(const std::string& folder, const char* name) {
  if (!folder.empty() && folder.back() != '/') return folder + "/" + name;
  return folder + name;
}

}  // namespace

bool DecodeMp3ToWav(const std::string& mp3Path, const std::string& wavPath) {
  std::FILE* input = std::fopen(mp3Path.c_str(), "rb");
  if (input == nullptr) return false;
  auto writer = WavWriterOpen(wavPath, kPlaceholderRate, kChannels);
  if (writer == nullptr) {
    std::fclose(input);
    return false;
  }
  platform::Mp3FeedDecoder decoder;
  std::vector<std::uint8_t> block(kReadBlock);
  std::vector<std::uint8_t> frame(platform::Mp3FeedDecoder::kOutputBytes);
  bool rateKnown = false;
  for (;;) {
    const std::size_t got = std::fread(block.data(), 1, block.size(), input);
    if (got == 0) break;
    const std::uint8_t* feed = block.data();
    std::size_t bytes = 0;
    while (decoder.Decode(feed, got, frame.data(), frame.size(), &bytes) == platform::Mp3FeedDecoder::Result::Frame) {
      feed = nullptr;  // the next frames come from what was already fed
      // The rate is taken from the first frame header the decoder reads (normally right after the
      // first feed; later when a large tag comes first).
      if (!rateKnown && decoder.sampleRate() > 0) {
        writer->sampleRate = static_cast<std::uint32_t>(decoder.sampleRate());
        rateKnown = true;
      }
      if (bytes > 0) {
        WavWriterWrite(*writer, reinterpret_cast<const std::int16_t*>(frame.data()), bytes / 2, 0);
      }
    }
    // Need more input or an error: both go back to reading.
  }
  std::fclose(input);
  return WavWriterClose(std::move(writer));
}

bool DecodeAccompaniment(const std::string& songFolder, const std::string& programFolder) {
  return DecodeMp3ToWav(Join(songFolder, "music.mp3"), programFolder + "accompany.wav");
}

}  // namespace sonavera::audio
