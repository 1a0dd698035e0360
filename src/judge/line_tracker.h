#pragma once

#include <vector>

#include "content/song_tables.h"
#include "judge/shared_state.h"

namespace sonavera::judge {

/// Pixels a note row moves left per 16 ms tick, and per reference frame of note length.
inline constexpr double kRowStep = 3.06;
inline constexpr int kPixelsPerFrame = 3;
/// A row is released at the right edge this long before its line starts (seconds).
inline constexpr double kReleaseLead = 3.744;
inline constexpr float kScreenRight = 800.0f;

/// The singer's marker as the stage keeps it.
struct SingerMarkerState {
  int markerY = 80;
  int markerKind = 0;  // 0 none, 1 miss, 2 near, 3 hit
};

/// The marker kind for the flags the judge sends: miss wins over near, near over hit.
int MarkerKind(int nearFlag, int hitFlag, int missFlag);

/// One note of a row as the row loop sees it.
struct NoteSpan {
  int line = 0;
  int note = 0;  // index into the song's note tables
  float startX = 0.0f;
  float endX = 0.0f;
  float y = 0.0f;  // row of the pitch; a rest sits below the lane
};

/// Receives every visible note while the rows are walked (the stage draws them).
class NoteVisitor {
 public:
  virtual ~NoteVisitor() = default;
  virtual void VisibleNote(const NoteSpan& note) = 0;
};

/// Lane row of a note's pitch (231 - 0.175 p), not truncated.
float NoteY(int pitch);

/// The pitch lane's line model: which line the clock is in (the judge's reference cursor), which rows
/// are released to scroll, where each row is, and when a row has left the screen. The stage calls it
/// on its thread every 16 ms tick and draws on top of it.
class LineTracker {
 public:
  explicit LineTracker(StageShared& shared) : shared_(shared) {}

  /// The stage's reset before a performance.
  void Reset();
  /// Takes the song's line and note tables (not copied; they must outlive the performance) and puts
  /// every row at the right edge.
  void StartSong(const content::SongTables& song, bool ktvMode);
  /// The song stopped: every per-line loop ends at once.
  void Stop() { running = false; }

  /// Per frame: the released rows move left.
  void FrameUpdate();
  /// Walks the released rows' notes; a row whose last note has passed x = -3 is no longer active.
  void RowLoop(NoteVisitor* visitor = nullptr);
  /// Per tick after the frame, with the clock in shared.playbackTime.
  void Tick();

  std::vector<float> lineX;  // x of the left end of each line's row
  int lineCursor = 0;        // line whose end the release rule awaits
  bool scrollArmed = true;   // the next line may be released
  int currentLine = 0;       // line whose time span the clock is in (or awaits)
  bool inLine = false;
  bool running = true;

 private:
  StageShared& shared_;
  const content::SongTables* song_ = nullptr;
  std::vector<int> firstNote_;  // index of each line's first note
  bool ktvMode_ = false;
};

/// KTV songs: the cue being shown moves on once the clock passes the next cue's time.
void AdvanceLyricCue(StageShared& shared, const content::SongTables& song);

}  // namespace sonavera::judge
