#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/message_sink.h"
#include "audio/wav_header.h"

namespace sonavera::audio {

/// A whole WAV file held in memory with the format read from its header; the voice is mixed into it.
class WavImage {
 public:
  /// `messages` receives the user-facing messages (nullptr: none are shown).
  explicit WavImage(MessageSink* messages = nullptr) : messages(messages) {}

  /// Reads the whole file and parses its header. False when the file cannot be read or the header is
  /// rejected; the image is then empty.
  bool Load(const std::string& path);
  /// Reads a second WAV file and mixes its samples into the image: 16-bit samples are summed and
  /// saturated, 8-bit ones summed around 128 and clipped; a longer file makes the image grow and its
  /// tail carries the second file alone. Nothing is mixed when the five format values differ, when
  /// the sample width is neither 8 nor 16 bits, or when the image is empty. False when the file
  /// cannot be read or its header is rejected.
  bool MixFile(const std::string& path);
  /// Writes the image (whole or not at all). An empty image shows "数据为空, 不能保存!\n" and writes
  /// nothing; false then and when the file cannot be written.
  bool Save(const std::string& path);

  const std::vector<std::uint8_t>& bytes() const { return image; }
  std::uint32_t length() const { return static_cast<std::uint32_t>(image.size()); }
  const WavFormat& format() const { return imageFormat; }
  std::uint32_t dataOffset() const { return imageDataOffset; }

 private:
  bool ReadAndParse(const std::string& path, std::vector<std::uint8_t>& bytes, WavHeader& header);

  MessageSink* messages;
  std::vector<std::uint8_t> image;
  WavFormat imageFormat;
  std::uint32_t imageDataOffset = 0;
  bool grown = false;
};

}  // namespace sonavera::audio
