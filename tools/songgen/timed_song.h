#pragma once

#include <string>
#include <vector>

namespace sonavera::songgen {

/// One sung note placed in time, before it becomes reference frames.
struct TimedNote {
  double start = 0.0;   // seconds of accompaniment
  double length = 0.0;  // seconds
  int pitch = 0;        // tenths of a semitone; 0 = sung freely, not judged
  std::string text;     // the syllable, UTF-8, without its word separator
  bool wordEnd = true;  // a word ends after this syllable (a blank follows it in "Lyric")
  bool hold = false;    // carries the previous syllable on to a new pitch: no gap, no lyric unit
};

/// One lyric line: its notes in time order.
struct TimedLine {
  std::vector<TimedNote> notes;
};

/// A song as lines of timed notes; the score format and the UltraStar importer both produce it.
struct TimedSong {
  std::vector<TimedLine> lines;
};

}  // namespace sonavera::songgen
