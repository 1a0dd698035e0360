#pragma once

#include <string>
#include <vector>

namespace sonavera::songgen {

/// A note of a score line. `midi` 0 is a rest (no syllable).
struct ScoreNote {
  int midi = 0;
  double beats = 1.0;
  std::string syllable;  // UTF-8; a trailing '-' joins the next syllable into one word
  bool hold = false;     // written "_": the previous syllable goes on at this pitch
};

/// A chord of the accompaniment: root (MIDI pitch class 0..11) and quality.
struct Chord {
  int root = 0;
  bool minor = false;
  bool seventh = false;
};

/// One dance chart step: beat from the start of the song and the dance lane's code.
struct ScoreDanceStep {
  double beat = 0.0;
  int code = 0;
};

/// Where the song goes in the library.
enum class SongShelf { kSingle, kMedley };

/// A demo song written in our score format (see assets/songs/README.md).
struct Score {
  std::string name;            // folder name, UTF-8
  std::string title;           // title kept by a new-form package
  std::string catalogueLine;   // the song's "List.txt" line; empty: not listed
  SongShelf shelf = SongShelf::kSingle;
  bool newForm = true;
  bool ktv = false;
  double tempo = 100.0;        // beats per minute
  int beatsPerBar = 4;
  int chordBeats = 0;          // beats per chord of `chords`; 0: one chord a bar
  double introBeats = 8.0;
  double outroBeats = 4.0;
  std::string style = "pop";   // accompaniment pattern: pop, waltz, march, ballad
  std::string vowels = "a";    // vowels the guide voice cycles through: a e i o u
  std::vector<Chord> chords;   // one per bar, repeated when the song is longer
  std::vector<std::vector<ScoreNote>> lines;
  std::vector<ScoreDanceStep> dance;
};

/// Parses score text. False with `error` ("line N: ...") on anything it cannot read.
bool ParseScore(const std::string& text, Score& score, std::string& error);

/// MIDI number of a note name ("C4" = 60, "F#3", "Bb4") or of a plain number ("60"); -1 if neither.
int ParsePitch(const std::string& token);

/// Seconds from the start of the song to the start of `beat`.
double BeatSeconds(const Score& score, double beat);

/// Length of the whole song in beats: intro, every line and the outro.
double TotalBeats(const Score& score);

}  // namespace sonavera::songgen

#include "songgen/timed_song.h"

namespace sonavera::songgen {

/// The score's lines as timed notes (rests become time between notes).
TimedSong ScoreToTimedSong(const Score& score);

}  // namespace sonavera::songgen
