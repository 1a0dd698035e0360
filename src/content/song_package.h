#pragma once

#include <string>

#include "content/song_tables.h"

namespace sonavera::content {

/// What LoadSongPackage reads and how (the main window's switches at the time a song is prepared).
struct SongLoadOptions {
  std::string programFolder;  // the program's folder, with a trailing '/'
  std::string dataFolder;     // the song's data folder (FindSongDataFolder), UTF-8 path
  std::string fallbackTitle;  // title used when the package has none (the song folder's name, UTF-8)
  bool ktvMode = false;       // KTV song: cues and reference ratio only
  bool medleyMode = false;    // medley song: "sh", "st", "sp" only; notes get empty lyric units
  bool danceOn = false;       // read "dance.txt"
};

/// Reads the song package into `tables` (cleared first). Returns false with the text the user will
/// see in `message` when the package cannot be used (paths in it are UTF-8); `tables` is then
/// released. The dance chart is read first (not for medley songs), then the KTV or scored tables.
/// Never shows anything itself.
bool LoadSongPackage(const SongLoadOptions& options, SongTables& tables, std::string& message);

/// The data folder of a song folder: the last directory visited by a depth-first walk that takes the
/// entries in byte order of their names; the song folder itself when it has no subfolder.
std::string FindSongDataFolder(const std::string& songFolder);

/// Undoes a scrambled line: swaps its first two characters back and Base64-decodes the result.
/// A line that is not Base64 gives an empty text (TryDecodeScrambledLine in "content/scrambled_line.h"
/// tells the two apart).
std::string DecodeScrambledLine(const std::string& line);

/// Fills tables.lyricCues, lyricCueCount and lyricEndTime from an LRC file; a file that cannot be
/// opened changes nothing.
void LoadLyricCues(const std::string& path, SongTables& tables);

/// Fills the cue tables from the bytes of an LRC file (what LoadLyricCues does once it has them).
void ParseLyricCues(const std::string& bytes, SongTables& tables);

/// Seconds of a cue tag "mm:ss.xx"; -1 when the text holds no ':'.
float ParseCueTime(const std::string& tag);

/// Frees every table and resets the counts to 0.
void ReleaseSongTables(SongTables& tables);

}  // namespace sonavera::content
