#include "judge/line_tracker.h"

#include "judge/line_scoring.h"

namespace sonavera::judge {

int MarkerKind(int nearFlag, int hitFlag, int missFlag) {
  if (missFlag != 0) return 1;
  if (nearFlag != 0) return 2;
  if (hitFlag != 0) return 3;
  return 0;
}

float NoteY(int pitch) {
  constexpr int third = kLaneHeight / 3;
  return static_cast<float>((third - (third * pitch) / 1000.0) * 5 + kLaneTop);
}

void LineTracker::Reset() {
  shared_.firstActiveLine = 0;
  shared_.activeLineEnd = 0;
  shared_.refIndex = 0;
  shared_.lyricCueIndex = 1;
  shared_.playbackTime = 0.0f;
  lineCursor = 0;
  scrollArmed = true;
  currentLine = 0;
  inLine = false;
  running = true;
}

void LineTracker::StartSong(const content::SongTables& song, bool ktvMode) {
  song_ = &song;
  ktvMode_ = ktvMode;
  lineX.assign(song.lineCount > 0 ? song.lineCount : 0, kScreenRight);
  firstNote_.assign(lineX.size(), 0);
  int first = 0;
  for (size_t l = 0; l < firstNote_.size(); ++l) {
    firstNote_[l] = first;
    if (l < song.lineNoteCount.size()) first += song.lineNoteCount[l];
  }
}

void LineTracker::FrameUpdate() {
  const int rows = static_cast<int>(lineX.size());
  for (int l = shared_.firstActiveLine; l < shared_.activeLineEnd && running && l < rows; ++l) {
    if (l >= 0) lineX[l] -= kRowStep;
  }
}

void LineTracker::RowLoop(NoteVisitor* visitor) {
  if (song_ == nullptr) return;
  const content::SongTables& song = *song_;
  const int rows = static_cast<int>(lineX.size());
  const int notes = static_cast<int>(song.noteLength.size());
  for (int l = shared_.firstActiveLine; l < shared_.activeLineEnd && running && l < rows; ++l) {
    if (l < 0 || l >= static_cast<int>(song.lineNoteCount.size())) continue;
    const int first = firstNote_[l];
    const int last = first + song.lineNoteCount[l] - 1;
    int acc = 0;
    for (int k = first; k <= last && k < notes && running; ++k) {
      acc += kPixelsPerFrame * song.noteLength[k];
      const float endX = acc + lineX[l];
      const float startX = endX - kPixelsPerFrame * song.noteLength[k];
      if (startX <= kScreenRight && endX > 0.0f) {
        if (visitor != nullptr) {
          const int pitch = k < static_cast<int>(song.notePitch.size()) ? song.notePitch[k] : 0;
          visitor->VisibleNote(NoteSpan{l, k, startX, endX, NoteY(pitch)});
        }
        continue;
      }
      if (startX > kScreenRight) break;  // later notes lie further right
      if (k == last && endX + 3 < 0.0f) shared_.firstActiveLine = l + 1;  // the whole row has left
    }
  }
}

void LineTracker::Tick() {
  if (song_ == nullptr || ktvMode_) return;
  const content::SongTables& song = *song_;
  const int lineCount = song.lineCount;
  if (lineCount < 1 || static_cast<int>(song.lineStart.size()) < lineCount ||
      static_cast<int>(song.lineEnd.size()) < lineCount) {
    return;
  }
  const float t = shared_.playbackTime;

  // The current line and the ticks spent in it.
  if (song.lineStart[currentLine] <= t && t <= song.lineEnd[currentLine]) {
    ++shared_.refIndex;
    inLine = true;
  } else {
    shared_.refIndex = 0;
  }
  if (inLine && shared_.refIndex == 0) {
    if (currentLine < lineCount - 2) ++currentLine;
    inLine = false;
  }

  // Release the next row early enough for its first note to reach the now line at its start.
  if (scrollArmed && t >= song.lineStart[lineCursor] - kReleaseLead) {
    ++shared_.activeLineEnd;
    scrollArmed = false;
  }
  if (t >= song.lineEnd[lineCursor] - 4 && lineCursor < lineCount - 2) {
    ++lineCursor;
    scrollArmed = true;
  }

  // Well after the last line no row is drawn any more.
  if (lineCount == lineCursor + 2 && t >= song.lineEnd[lineCursor] + 1.5) {
    shared_.activeLineEnd = 0;
    currentLine = 0;
    shared_.firstActiveLine = 0;
    lineCursor = 0;
  }
}

void AdvanceLyricCue(StageShared& shared, const content::SongTables& song) {
  const int cue = shared.lyricCueIndex;
  if (cue < song.lyricCueCount - 1 && cue >= 0 && cue < static_cast<int>(song.lyricCues.size()) &&
      shared.playbackTime > song.lyricCues[cue].time) {
    ++shared.lyricCueIndex;
  }
}

}  // namespace sonavera::judge
