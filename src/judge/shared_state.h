#pragma once

#include <string>

namespace sonavera::judge {

/// The performance state of the application object that the judge, the stage and the main window
/// share for the whole process. All of it is read and written on the main window's thread.
struct AppState {
  int performanceActive = 0;  // 1 while a song runs; EndPerformance clears it, the stage then closes
  int songLengthSec = 0;      // whole seconds of the accompaniment (progress bar); 1 after song end
  int elapsedSeconds = 0;     // whole seconds played, written by the stage
  float lineScore = 0.0f;     // live score of the open line, percent
  int lineGrade = 0;          // grade 1..5 of the line just closed, 0 = show none
  float finalScore = 0.0f;    // final score of a single song (or a KTV song), 0..99.9
  int lineTotal = 0;          // entries of the loaded song's line tables
  std::string songTitle;      // title of the song being sung (GBK)
};

/// State the stage writes every tick and the judge reads when a capture buffer arrives.
struct StageShared {
  float playbackTime = 0.0f;  // accompaniment position, seconds; 0 while stopped
  int refIndex = 0;           // stage ticks spent inside the current line: the judge's reference cursor
  int lyricCueIndex = 1;      // KTV: the cue being shown, from 1
  int firstActiveLine = 0;    // first line whose note row may still be on screen
  int activeLineEnd = 0;      // rows firstActiveLine .. activeLineEnd - 1 are released to scroll
};

}  // namespace sonavera::judge
