#pragma once

#include <string>
#include <vector>

namespace sonavera::content {

/// One KTV lyric cue: seconds of accompaniment and the line's text (GBK bytes).
struct LyricCue {
  float time = 0.0f;
  std::string text;
};

/// The tables of one performance, read from a song package by LoadSongPackage and freed as a whole by
/// ReleaseSongTables. Text is kept as the package's GBK bytes; convert at the edges.
struct SongTables {
  int lineCount = 0;                // sung lines + 1 (the last entry is a closing entry without a track)
  std::vector<float> lineStart;     // seconds, lineCount entries
  std::vector<float> lineEnd;       // seconds, lineCount entries; the last one is 2.5 s later than "sp"
  std::vector<int> lineRefs;        // packed per sung line: n, then n frames (tenths of a semitone)
  std::vector<int> lineFrameCount;  // n of each sung line (lineCount entries)
  std::vector<int> lineVoiced;      // frames above 0 per sung line (lineCount entries)
  std::vector<int> lineNoteCount;   // notes opened while reading each line (lineCount entries)
  std::vector<int> notePitch;       // per note, tenths of a semitone, 0 = rest (k + 1 entries)
  std::vector<int> noteLength;      // per closed note, frames (k entries)
  std::vector<std::string> syllables;   // lyric units from "Lyric" (GBK)
  std::vector<std::string> noteLyrics;  // the lyric unit under each note (GBK)
  std::vector<int> lineBytes;       // capture bytes each line may take (filled by the judge)
  std::vector<int> pitchFrames;     // 2560-int work buffer of the judge, allocated with the tables

  std::vector<float> danceTimes;    // dance steps: seconds
  std::vector<int> danceCodes;      // dance steps: direction codes of the dance lane

  std::vector<LyricCue> lyricCues;  // KTV cues sorted by time
  int lyricCueCount = 0;
  float lyricEndTime = 0.0f;
  float ktvReferenceRatio = 0.0f;   // KTV: the loud fraction the reference performance reaches

  std::string songTitle;            // new-form title (GBK), else the song folder's name
  std::string videoPath;            // background video: program folder + "avi/2.avi" for an old-form package
  bool newForm = false;             // the header was in the scrambled form

  /// True once a scored song's timing tables are loaded.
  bool HasTimingTables() const { return !lineStart.empty(); }
};

}  // namespace sonavera::content
