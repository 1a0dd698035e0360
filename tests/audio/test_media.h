#pragma once

// Media made at test time: tones, WAV files written byte by byte, MP3s from the LAME encoder, and an
// independent reading of an MP3 through the decoder library's own file reader.

#include <cstdint>
#include <string>
#include <vector>

namespace sonavera::testing {

/// A folder under /tmp removed with everything in it when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  /// The folder with a trailing '/'.
  const std::string& path() const { return folder; }
  std::string operator/(const std::string& name) const { return folder + name; }
  /// Names of the files in the folder, sorted.
  std::vector<std::string> Files() const;

 private:
  std::string folder;
};

/// Interleaved 16-bit sine tone.
std::vector<std::int16_t> Tone(int rate, int channels, double seconds, double hz, double amplitude = 12000);

/// Interleaved samples counting upward from `first` (wrapping), distinct over long stretches.
std::vector<std::int16_t> Ramp(std::size_t count, int first = 0);

/// A canonical PCM WAV file image (8-bit samples are stored as value / 256 + 128).
std::vector<std::uint8_t> WavBytes(int rate, int channels, int bits, const std::vector<std::int16_t>& samples);

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFile(const std::string& path);
bool FileExists(const std::string& path);

/// Encodes interleaved samples as MP3 at `rate` Hz with `channels` (1 or 2).
std::vector<std::uint8_t> Mp3Bytes(int rate, int channels, const std::vector<std::int16_t>& samples);

/// Decodes an MP3 with the decoder's file reader, as 16-bit stereo: number of sample values.
std::size_t DecodedSampleValues(const std::string& mp3Path, long* rate = nullptr);

/// Little-endian fields of a file image.
std::uint32_t Le32At(const std::vector<std::uint8_t>& bytes, std::size_t offset);
std::uint16_t Le16At(const std::vector<std::uint8_t>& bytes, std::size_t offset);
std::int16_t SampleAt(const std::vector<std::uint8_t>& bytes, std::size_t offset);

}  // namespace sonavera::testing
