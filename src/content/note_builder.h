#pragma once

#include <span>
#include <string>
#include <vector>

#include "content/song_tables.h"

namespace sonavera::content {

/// Turns the reference frames of the sung lines, line after line, into the song's notes: runs of
/// equal frames become notes (`notePitch`, `noteLength`) and each note gets its lyric unit
/// (`noteLyrics`) from the syllables. A note still open at the end of a line takes the pitch of the
/// next line's first frame.
class NoteBuilder {
 public:
  /// `syllables` must outlive the builder. With `emptyUnits` (medley songs, which have no "Lyric")
  /// every unit that would come from the syllables is empty.
  NoteBuilder(SongTables& tables, const std::vector<std::string>& syllables, bool emptyUnits);

  /// Adds one line's frames and gives the number of notes opened while reading it. False when a note
  /// needs a syllable past the end of the syllables; the tables are then partly filled.
  bool AddLine(std::span<const int> frames, int& notesOpened);

 private:
  bool AppendSyllable();

  SongTables& tables;
  const std::vector<std::string>& syllables;
  bool emptyUnits;
  size_t noteIndex = 0;      // k: the note open now
  size_t syllableIndex = 0;  // s: the next syllable to hand out
};

}  // namespace sonavera::content
