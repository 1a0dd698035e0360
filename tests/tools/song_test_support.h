#pragma once

// Helpers of the song library tests: running sonavera-tool, a temporary folder, and a synthetic
// singer that follows a loaded song's reference melody.
#include <string>
#include <vector>

#include "common/tool_run.h"
#include "content/song_tables.h"
#include "content/temp_folder.h"

namespace sonavera::songtest {

using sonavera::testing::Quoted;
using sonavera::testing::RunTool;
using sonavera::testing::ToolRun;

/// A fresh folder under the temporary folder, removed with its contents at the end.
using TempFolder = content::testing::TempFolder;

/// Loads a song folder as the program does (scored, or KTV with `ktv`). False with the message.
bool LoadSong(const std::string& songFolder, content::SongTables& tables, std::string& message,
              bool ktv = false, bool dance = false);

/// 8 kHz voice samples that sing the reference frames of `tables` as a sine, `offsetTenths` away
/// from the reference (-120: an octave lower, as a man sings), silent on rests.
std::vector<int16_t> FollowMelody(const content::SongTables& tables, int offsetTenths,
                                  double extraSeconds = 1.0);

/// Writes 16-bit mono 8 kHz samples as a WAV file; false when it cannot.
bool WriteVoice(const std::string& path, const std::vector<int16_t>& samples);

/// What "sonavera-tool judge" reported in its table for people.
struct JudgeResult {
  bool ran = false;
  double finalScore = -1.0;
  std::vector<double> lineScores;  // the graded lines in order
  double ktvPercent = -1.0;        // KTV: loud blocks against the reference, percent
  std::string output;
};

/// Runs the offline judge on a song with a voice file.
JudgeResult Judge(const std::string& songFolder, const std::string& voicePath,
                  const std::string& options = "");

/// Every song folder of one shelf of the bundled library ("单曲" or "串烧歌曲"), sorted.
std::vector<std::string> BundledSongs(const std::string& shelf);

/// The bundled library's folder of a shelf.
std::string ShelfFolder(const std::string& shelf);

}  // namespace sonavera::songtest
