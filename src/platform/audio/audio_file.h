#pragma once

#include <optional>
#include <string>

#include "platform/audio/pcm_audio.h"

namespace sonavera::platform {

/// Decodes a whole sound file for playback: a PCM WAV or an MPEG audio file (MP3).
std::optional<PcmAudio> LoadAudioFile(const std::string& path, std::string* error = nullptr);

}  // namespace sonavera::platform
