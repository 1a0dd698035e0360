#pragma once

#include <string>
#include <vector>

#include "songgen/reference_builder.h"
#include "songgen/score.h"

namespace sonavera::songgen {

/// Name of the subfolder of a single song's folder that holds the package files. The loader takes
/// the last folder of a depth-first walk in byte order as the data folder, so it must sort after
/// "Images" (the song's picture folder) and hold no folder itself.
inline constexpr const char* kDataFolderName = "data";

/// What building a song reports besides success.
struct BuildReport {
  std::vector<std::string> warnings;
};

/// Writes the whole package of a score into `songFolder` (created when missing): for a single song
/// "head.bmp", "Images/bgpic.png" and the data folder with the package files, "music.mp3"
/// (accompaniment) and "music1.mp3" (accompaniment and guide voice); for a medley song the package
/// files and the music directly in `songFolder`. False with `error` on failure.
bool BuildScoreSong(const Score& score, const std::string& songFolder, BuildReport& report, std::string& error);

/// Loads and parses a score file, then builds it as BuildScoreSong does.
bool BuildScoreFile(const std::string& scorePath, const std::string& songFolder, Score& score, BuildReport& report,
                    std::string& error);

/// Reads a whole file into `bytes`; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

/// Writes the song's pictures ("head.bmp" and "Images/bgpic.png") into a single song's folder.
bool WriteSongPictures(const std::string& songFolder, const std::string& seed, std::string& error);

}  // namespace sonavera::songgen
