#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sonavera::platform {

/// Format of a PCM WAV file as stored.
struct WavFormat {
  int channels = 0;
  int sampleRate = 0;
  int bitsPerSample = 0;      // 8, 16, 24 or 32 in the file; samples are always delivered as 16 bits
  bool floatSamples = false;  // 32-bit IEEE float in the file (only read with WavReadRules::acceptFloat)
};

/// What ParseWav accepts beyond a strict reading. The default is strict; the engine's sound effects
/// are read forgivingly, keeping what a damaged file still holds.
struct WavReadRules {
  /// 32-bit IEEE float samples (format code 3, plain or extensible) are converted to 16 bits:
  /// clamped to -1..1 and scaled by 32767; NaN and infinities become silence.
  bool acceptFloat = false;
  /// The RIFF size is not trusted (the chunks are walked to the end of the bytes); a chunk reaching
  /// past the end ends the walk, and a data chunk cut off there keeps its whole frames; a part frame
  /// at the end of the data is dropped; after the first format and data chunks, others are ignored;
  /// the block alignment is not checked (frames are as wide as channels and sample size make them).
  bool forgiving = false;
};

/// A decoded WAV file: `samples` are 16-bit, interleaved by channel (frames * channels values).
struct WavAudio {
  WavFormat format;
  std::vector<int16_t> samples;
};

/// Parses a complete RIFF/WAVE image held in memory. Walks the chunks strictly: a truncated header,
/// a chunk reaching past the end, a missing or repeated "fmt " / "data" chunk, a non-PCM format or
/// inconsistent format fields fail with a one-line message in `error` and leave `audio` empty.
/// 8-, 24- and 32-bit integer PCM are converted to 16 bits (top bits kept). `rules` relax the reading.
bool ParseWav(const uint8_t* bytes, size_t size, WavAudio& audio, std::string& error,
              const WavReadRules& rules = {});

/// Reads and parses a WAV file (see ParseWav); a file that cannot be read fails the same way.
bool ReadWavFile(const std::string& path, WavAudio& audio, std::string& error);

/// The canonical 44-byte header of 16-bit PCM followed by the samples (interleaved by channel).
/// Fails when the data would not fit a RIFF file or the format is impossible.
bool EncodeWav(const int16_t* samples, size_t count, int channels, int sampleRate,
               std::vector<uint8_t>& bytes, std::string& error);

/// Writes EncodeWav's bytes to `path`, replacing the file; a failed write is reported, not ignored.
bool WriteWavFile(const std::string& path, const int16_t* samples, size_t count, int channels, int sampleRate,
                  std::string& error);

}  // namespace sonavera::platform
