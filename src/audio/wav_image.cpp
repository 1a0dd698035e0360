#include "audio/wav_image.h"

#include <algorithm>
#include <cstdio>

#include "platform/audio/whole_file_writer.h"

namespace sonavera::audio {
namespace {

constexpr const char* kPcmOnlyMessage = "此程序只支持PCM格式编码，不支持其它编码格式!\n";
constexpr const char* kEmptyMessage = "数据为空, 不能保存!\n";

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  bytes.clear();
  std::uint8_t block[65536];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.insert(bytes.end(), block, block + got);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  // The image's length is a 32-bit value, like every size in a WAV file.
  return ok && bytes.size() <= 0xFFFFFFFFu;
}

void Put32(std::uint8_t* p, std::uint32_t v) {
  p[0] = v & 0xFF;
  p[1] = (v >> 8) & 0xFF;
  p[2] = (v >> 16) & 0xFF;
  p[3] = (v >> 24) & 0xFF;
}

void Mix16(std::uint8_t* into, const std::uint8_t* voice, std::size_t bytes) {
  for (std::size_t i = 0; i + 1 < bytes; i += 2) {
    const int a = static_cast<std::int16_t>(into[i] | (into[i + 1] << 8));
    const int v = static_cast<std::int16_t>(voice[i] | (voice[i + 1] << 8));
    const auto sum = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(a + v, -32768, 32767)));
    into[i] = static_cast<std::uint8_t>(sum & 0xFF);
    into[i + 1] = static_cast<std::uint8_t>(sum >> 8);
  }
}

void Mix8(std::uint8_t* into, const std::uint8_t* voice, std::size_t bytes) {
  for (std::size_t i = 0; i < bytes; ++i) into[i] = static_cast<std::uint8_t>(std::clamp(into[i] + voice[i] - 128, 0, 255));
}

}  // namespace

bool WavImage::ReadAndParse(const std::string& path, std::vector<std::uint8_t>& bytes, WavHeader& header) {
  if (!ReadWholeFile(path, bytes)) return false;
  header = ParseWavHeader(bytes.data(), bytes.size());
  if (header.status == WavHeaderStatus::NotPcm && messages != nullptr) messages->ShowMessage(kPcmOnlyMessage);
  return header.status == WavHeaderStatus::Ok;
}

bool WavImage::Load(const std::string& path) {
  image.clear();
  imageFormat = {};
  imageDataOffset = 0;
  grown = false;
  std::vector<std::uint8_t> bytes;
  WavHeader header;
  if (!ReadAndParse(path, bytes, header)) return false;
  image = std::move(bytes);
  imageFormat = header.format;
  imageDataOffset = header.dataOffset;
  return true;
}

bool WavImage::MixFile(const std::string& path) {
  std::vector<std::uint8_t> voice;
  WavHeader header;
  if (!ReadAndParse(path, voice, header)) return false;
  // Different formats (or nothing loaded) are left as they are: no sample of the file is used.
  if (image.empty() || !(header.format == imageFormat)) return true;
  const unsigned width = imageFormat.bitsPerSample / 8u;
  if (imageFormat.bitsPerSample != 8 && imageFormat.bitsPerSample != 16) return true;

  const std::size_t accompanimentBytes = image.size() - imageDataOffset;
  const std::size_t voiceBytes = voice.size() - header.dataOffset;
  const std::uint8_t* voiceData = voice.data() + header.dataOffset;
  const std::size_t overlap = std::min(accompanimentBytes, voiceBytes) / width * width;
  if (voiceBytes > accompanimentBytes) {
    if (imageDataOffset + voiceBytes > 0xFFFFFFFFu) return true;  // would not fit a WAV file
    image.resize(imageDataOffset + voiceBytes, 0);
    Put32(image.data() + imageDataOffset - 4, static_cast<std::uint32_t>(voiceBytes));
    grown = true;
    // The voice outlasts the accompaniment: its tail is copied as it is.
    std::copy(voiceData + overlap, voiceData + voiceBytes, image.begin() + imageDataOffset + overlap);
  }
  if (width == 2) {
    Mix16(image.data() + imageDataOffset, voiceData, overlap);
  } else {
    Mix8(image.data() + imageDataOffset, voiceData, overlap);
  }
  return true;
}

bool WavImage::Save(const std::string& path) {
  if (image.empty()) {
    if (messages != nullptr) messages->ShowMessage(kEmptyMessage);
    return false;
  }
  if (grown) Put32(image.data() + 4, static_cast<std::uint32_t>(image.size() - 8));
  return platform::WriteWholeFile(path, image.data(), image.size());
}

}  // namespace sonavera::audio
