#pragma once

#include <optional>
#include <string>

#include "platform/audio/pcm_audio.h"

namespace sonavera::platform {

/// Reads a PCM WAV file (8, 16, 24 or 32-bit integer samples, 1 to 8 channels, plain or extensible
/// format) into 16-bit samples. The chunk walk never reads past the file: a header that is cut short
/// or a chunk that points outside the file is rejected with a one-line reason in `error`. A data
/// chunk that claims more bytes than the file holds keeps the whole frames that are there.
std::optional<PcmAudio> ReadPcmWav(const std::string& path, std::string* error = nullptr);

/// The same over a file image in memory.
std::optional<PcmAudio> ParsePcmWav(const unsigned char* bytes, std::size_t size, std::string* error = nullptr);

}  // namespace sonavera::platform
