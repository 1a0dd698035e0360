#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio/whole_file_writer.h"

namespace sonavera::audio {

/// A 16-bit PCM WAV file being written. The sample rate may change until the writer is closed.
struct WavWriter {
  explicit WavWriter(const std::string& path) : file(path) {}
  platform::WholeFileWriter file;  // a temporary file until WavWriterClose renames it
  std::uint32_t sampleRate = 0;
  int channels = 0;
  std::uint64_t total = 0;  // sample values written, all channels counted
  bool failed = false;      // a write fell short: the file is not put in place
};

/// Creates the file (under a temporary name) with the 44-byte header for zero samples. nullptr when
/// the file cannot be created.
std::unique_ptr<WavWriter> WavWriterOpen(const std::string& path, std::uint32_t sampleRate, int channels);

/// Appends `count` sample values from `samples` + `offset`. Returns the number of values written.
std::size_t WavWriterWrite(WavWriter& writer, const std::int16_t* samples, std::size_t count, std::size_t offset);

/// Rewrites the header with the final total and the current sample rate, closes the file and puts it
/// in place. False (and no file) when any write failed.
bool WavWriterClose(std::unique_ptr<WavWriter> writer);

}  // namespace sonavera::audio
