#pragma once

#include <string>

namespace sonavera::audio {

/// Decodes `songFolder`/music.mp3 into `programFolder`accompany.wav: 16-bit PCM, 2 channels, at the
/// stream's sample rate (11025 Hz when the file holds no frame). Damaged stretches are skipped.
/// Returns false, writing nothing, when music.mp3 cannot be opened or accompany.wav cannot be written.
/// Runs on the mixdown worker thread (or any one thread at a time).
bool DecodeAccompaniment(const std::string& songFolder, const std::string& programFolder);

/// The same from and to explicit paths.
bool DecodeMp3ToWav(const std::string& mp3Path, const std::string& wavPath);

}  // namespace sonavera::audio
