#pragma once

#include <string>

#include "songgen/audio_buffer.h"

namespace sonavera::songgen {

/// Encodes a stereo buffer at kSampleRate to a constant-bit-rate MP3 file with libmp3lame. Samples
/// beyond +-1 are clipped. False with `error` when the encoder or the file fails.
bool EncodeMp3(const StereoBuffer& audio, const std::string& path, std::string& error);

}  // namespace sonavera::songgen
