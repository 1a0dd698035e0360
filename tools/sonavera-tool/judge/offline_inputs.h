#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "content/song_package.h"
#include "judge/judge.h"
#include "platform/program_folder.h"
#include "platform/wav_file.h"

// What the offline judge and the stage snapshot read: a recorded take and a song folder, as the
// program would have them.

namespace sonavera::tool {

/// Reads the take at `path`: it must be 16-bit mono PCM at the capture rate. On failure `error` is
/// the one-line message, starting with "<command>: ".
inline bool ReadVoiceTake(const std::string& command, const std::string& path, std::vector<int16_t>& take,
                          std::string& error) {
  platform::WavAudio voice;
  if (!platform::ReadWavFile(path, voice, error)) {
    error = command + ": " + error;
    return false;
  }
  if (voice.format.channels != 1 || voice.format.sampleRate != judge::kCaptureRate ||
      voice.format.bitsPerSample != 16) {
    error = command + ": the voice must be a 16-bit mono PCM WAV at 8000 Hz: " + path;
    return false;
  }
  take = std::move(voice.samples);
  return true;
}

/// How the program loads the song in `songFolder`: from its data folder, with the program's folder
/// and the folder's name as the title when the song names none.
inline content::SongLoadOptions SongFolderLoad(const std::string& songFolder) {
  content::SongLoadOptions load;
  load.programFolder = platform::ProgramFolder();
  load.dataFolder = content::FindSongDataFolder(songFolder);
  std::filesystem::path folder(songFolder);
  while (folder.has_relative_path() && !folder.has_filename()) folder = folder.parent_path();
  load.fallbackTitle = folder.filename().string();
  return load;
}

}  // namespace sonavera::tool
