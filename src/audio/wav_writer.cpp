#include "audio/wav_writer.h"

#include <cstdio>

#include "platform/audio/wav_header_bytes.h"

namespace sonavera::audio {
namespace {

constexpr int kBytesPerSample = 2;

bool WriteHeader(WavWriter& writer) {
  const auto header = platform::CanonicalWavHeader(writer.channels, writer.sampleRate, 16,
                                                   writer.total * kBytesPerSample);
  return std::fwrite(header.data(), 1, header.size(), writer.file.stream()) == header.size();
}

}  // namespace

std::unique_ptr<WavWriter> WavWriterOpen(const std::string& path, std::uint32_t sampleRate, int channels) {
  auto writer = std::make_unique<WavWriter>(path);
  writer->sampleRate = sampleRate;
  writer->channels = channels;
  if (!writer->file.Open() || !WriteHeader(*writer)) return nullptr;
  return writer;
}

std::size_t WavWriterWrite(WavWriter& writer, const std::int16_t* samples, std::size_t count, std::size_t offset) {
  // Little-endian whatever the machine; converted in small blocks.
  unsigned char block[4096];
  std::size_t written = 0;
  while (written < count) {
    const std::size_t n = std::min<std::size_t>(count - written, sizeof block / 2);
    for (std::size_t i = 0; i < n; ++i) {
      const auto v = static_cast<std::uint16_t>(samples[offset + written + i]);
      block[2 * i] = static_cast<unsigned char>(v & 0xFF);
      block[2 * i + 1] = static_cast<unsigned char>(v >> 8);
    }
    const std::size_t put = std::fwrite(block, 2, n, writer.file.stream());
    written += put;
    if (put < n) {
      writer.failed = true;
      break;
    }
  }
  writer.total += written;
  return written;
}

bool WavWriterClose(std::unique_ptr<WavWriter> writer) {
  if (writer == nullptr) return false;
  bool ok = !writer->failed && std::fseek(writer->file.stream(), 0, SEEK_SET) == 0 && WriteHeader(*writer);
  ok = ok && writer->file.Commit();
  if (!ok) writer->file.Abandon();
  return ok;
}

}  // namespace sonavera::audio
