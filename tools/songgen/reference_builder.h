#pragma once

#include <string>
#include <vector>

#include "songgen/timed_song.h"

namespace sonavera::songgen {

/// Seconds of one reference frame: one stage tick.
inline constexpr double kFrameSeconds = 0.016;

/// The reference tables of a song, ready for the package writer.
struct ReferenceTables {
  std::vector<float> lineStart;               // sung lines only, seconds
  std::vector<float> lineEnd;                 // lineStart + frames x 16 ms
  std::vector<std::vector<int>> lineFrames;   // reference frames per sung line, tenths, 0 = rest
  std::string lyric;                          // "Lyric" bytes (GBK), one text line per sung line
  std::vector<std::string> lineTexts;         // each sung line as readable UTF-8 text (KTV cues)
  std::vector<std::string> warnings;          // what could not be carried over, for the user
};

/// Turns timed notes into reference frames and lyric units the package loader reads back note for
/// note. The loader gives a note a new syllable only at a line's first frame and after a rest, so
/// every note is followed by two rest frames (one after a line's last note), a note whose text holds
/// several lyric units is split into that many notes, and a free (unjudged) note in the middle of a
/// line starts a new line. Returns false with `error` naming the problem (a character GBK cannot
/// hold, a note too short for its syllables, notes out of order).
bool BuildReference(const TimedSong& song, ReferenceTables& tables, std::string& error);

/// One lyric unit as the loader will split it out of "Lyric".
struct LyricUnit {
  std::string bytes;     // GBK: one double-byte character, or a run of single-byte characters
  bool wide = false;     // a double-byte character (written without separator)
  char separator = ' ';  // for single-byte units: ' ' ends a word, '-' continues it
};

/// Splits a syllable into the lyric units the loader would read from it. `wordEnd` chooses the
/// separator of the last single-byte unit. False with `error` when a character has no GBK form.
bool SplitLyricUnits(const std::string& utf8, bool wordEnd, std::vector<LyricUnit>& units, std::string& error);

}  // namespace sonavera::songgen
