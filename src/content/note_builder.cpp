#include "content/note_builder.h"

namespace sonavera::content {

NoteBuilder::NoteBuilder(SongTables& tables, const std::vector<std::string>& syllables, bool emptyUnits)
    : tables(tables), syllables(syllables), emptyUnits(emptyUnits) {}

bool NoteBuilder::AppendSyllable() {
  if (emptyUnits) {
    tables.noteLyrics.emplace_back();
  } else {
    if (syllableIndex >= syllables.size()) return false;
    tables.noteLyrics.push_back(syllables[syllableIndex]);
  }
  ++syllableIndex;
  return true;
}

bool NoteBuilder::AddLine(std::span<const int> frames, int& notesOpened) {
  const size_t notesBefore = noteIndex;
  const size_t n = frames.size();
  int run = 1;
  for (size_t f = 1; f <= n; ++f) {
    const int v = frames[f - 1];
    if (f == 1) {
      // The first frame sets the pitch of the note left open by the previous line.
      if (tables.notePitch.size() == noteIndex)
        tables.notePitch.push_back(v);
      else
        tables.notePitch[noteIndex] = v;
      if (!AppendSyllable()) return false;
    } else if (v == tables.notePitch[noteIndex]) {
      ++run;
    } else {
      // A rest is drawn one frame longer than its run.
      const bool closedRest = tables.notePitch[noteIndex] == 0;
      tables.noteLength.push_back(run + (closedRest ? 1 : 0));
      ++noteIndex;
      run = 1;
      tables.notePitch.push_back(v);
      if (closedRest) {
        if (!AppendSyllable()) return false;
      } else if (f != n) {
        tables.noteLyrics.emplace_back(" ");
      }
    }
  }
  notesOpened = static_cast<int>(noteIndex - notesBefore);
  return true;
}

}  // namespace sonavera::content
