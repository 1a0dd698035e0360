#include "judge/line_tracker.h"

#include <gtest/gtest.h>

#include "judge_fakes.h"

namespace sonavera::judge {
namespace {

using testing::MakeSong;

// A tracker over `song` on the stage's 16 ms clock.
struct Stage {
  explicit Stage(content::SongTables tables) : song(std::move(tables)), tracker(shared) {
    tracker.Reset();
    tracker.StartSong(song, false);
  }
  void RunTick(int n) {
    shared.playbackTime = static_cast<float>(n) * 0.016f;
    tracker.FrameUpdate();
    tracker.RowLoop();
    tracker.Tick();
  }
  content::SongTables song;
  StageShared shared;
  LineTracker tracker;
};

TEST(LineTracker, CountsTicksInsideTheCurrentLineAndMovesOn) {
  Stage stage(MakeSong({{1.0f, 1.5f, std::vector<int>(31, 600)}, {3.0f, 4.0f, std::vector<int>(62, 600)}}));
  std::vector<int> refIndex;
  for (int n = 0; n <= 200; ++n) {
    stage.RunTick(n);
    refIndex.push_back(stage.shared.refIndex);
  }
  // 1.0 <= n * 0.016 <= 1.5 for n = 63 .. 93 (62 * 0.016f is just below 1.0).
  EXPECT_EQ(refIndex[62], 0);
  EXPECT_EQ(refIndex[63], 1);
  EXPECT_EQ(refIndex[93], 31);
  EXPECT_EQ(refIndex[94], 0);
  // The clock left line 0: line 1 is awaited, and counted from its start.
  EXPECT_EQ(stage.tracker.currentLine, 1);
  EXPECT_EQ(refIndex[188], 1);  // 188 * 0.016 = 3.008
  EXPECT_EQ(refIndex[200], 13);
}

TEST(LineTracker, ReleasesARowThreeSevenFourFourSecondsBeforeItsLine) {
  Stage stage(MakeSong({{5.0f, 6.0f, std::vector<int>(62, 600)}, {7.0f, 9.0f, std::vector<int>(125, 600)},
                        {20.0f, 21.0f, std::vector<int>(62, 600)}}));
  int released = -1;
  for (int n = 0; n < 200 && released < 0; ++n) {
    stage.RunTick(n);
    if (stage.shared.activeLineEnd == 1) released = n;
  }
  EXPECT_EQ(released, 79);  // first tick with t >= 5.0 - 3.744 = 1.256
  EXPECT_FALSE(stage.tracker.scrollArmed);
  // The cursor moves on 4 s before the line's end and the next row goes at 7.0 - 3.744.
  for (int n = 80; n <= 204; ++n) stage.RunTick(n);
  EXPECT_EQ(stage.tracker.lineCursor, 1);
  EXPECT_EQ(stage.shared.activeLineEnd, 2);
}

TEST(LineTracker, RowsScrollAndLeaveWhenTheirLastNoteHasPassedTheEdge) {
  content::SongTables song =
      MakeSong({{4.0f, 5.0f, std::vector<int>(62, 600)}, {30.0f, 31.0f, std::vector<int>(62, 600)}});
  song.lineNoteCount = {2, 1, 0};
  song.noteLength = {20, 30, 10};  // line 0 is 150 px wide
  song.notePitch = {600, 0, 620, 620};
  Stage stage(song);
  int released = -1;
  int left = -1;
  for (int n = 0; n < 2000 && left < 0; ++n) {
    stage.RunTick(n);
    if (released < 0 && stage.shared.activeLineEnd == 1) released = n;
    if (stage.shared.firstActiveLine == 1) left = n;
  }
  ASSERT_GE(released, 0);
  // The row starts moving on the tick after its release; it leaves once 800 - 3.06 m + 150 + 3 < 0.
  float x = 800.0f;
  int moves = 0;
  while (x + 150 + 3 >= 0.0f) {
    x -= 3.06;
    ++moves;
  }
  EXPECT_EQ(left, released + moves);
  EXPECT_FLOAT_EQ(stage.tracker.lineX[0], x);
  EXPECT_FLOAT_EQ(stage.tracker.lineX[1], 800.0f);  // not released yet
}

TEST(LineTracker, VisibleNotesAreReportedAtTheirPositions) {
  content::SongTables song = MakeSong({{4.0f, 5.0f, std::vector<int>(62, 600)}});
  song.lineNoteCount = {3, 0};
  song.noteLength = {10, 5, 20};
  song.notePitch = {600, 0, 400, 400};
  Stage stage(song);
  stage.shared.activeLineEnd = 1;
  stage.tracker.lineX[0] = 770.0f;
  struct Collector : NoteVisitor {
    void VisibleNote(const NoteSpan& note) override { notes.push_back(note); }
    std::vector<NoteSpan> notes;
  } collector;
  stage.tracker.RowLoop(&collector);
  ASSERT_EQ(collector.notes.size(), 2u);  // the third note starts at 815, beyond the right edge
  EXPECT_FLOAT_EQ(collector.notes[0].startX, 770.0f);
  EXPECT_FLOAT_EQ(collector.notes[0].endX, 800.0f);
  EXPECT_FLOAT_EQ(collector.notes[0].y, 126.0f);
  EXPECT_FLOAT_EQ(collector.notes[1].startX, 800.0f);
  EXPECT_EQ(collector.notes[1].note, 1);
}

TEST(LineTracker, WellAfterTheLastLineNothingIsReleased) {
  Stage stage(MakeSong({{1.0f, 2.0f, std::vector<int>(62, 600)}, {3.0f, 4.0f, std::vector<int>(62, 600)}}));
  int n = 0;
  for (; n < 400 && stage.shared.activeLineEnd != 2; ++n) stage.RunTick(n);
  ASSERT_EQ(stage.shared.activeLineEnd, 2);
  for (; n * 0.016f < 5.52f; ++n) stage.RunTick(n);  // past 4.0 + 1.5
  EXPECT_EQ(stage.shared.activeLineEnd, 0);
  EXPECT_EQ(stage.shared.firstActiveLine, 0);
  EXPECT_EQ(stage.tracker.currentLine, 0);
}

TEST(LineTracker, KtvSongsHaveNoLines) {
  content::SongTables song;
  song.lyricCues = {{2.0f, "a"}, {5.0f, "b"}, {8.0f, "c"}};
  song.lyricCueCount = 3;
  StageShared shared;
  LineTracker tracker(shared);
  tracker.Reset();
  tracker.StartSong(song, true);
  shared.playbackTime = 6.0f;
  tracker.Tick();
  EXPECT_EQ(shared.refIndex, 0);
  AdvanceLyricCue(shared, song);
  EXPECT_EQ(shared.lyricCueIndex, 2);  // past cue 1 at 5.0
  shared.playbackTime = 9.0f;
  AdvanceLyricCue(shared, song);
  EXPECT_EQ(shared.lyricCueIndex, 2);  // the last pair stays
}

TEST(SingerMarker, KindFollowsTheFlagsMissFirst) {
  EXPECT_EQ(MarkerKind(0, 0, 0), 0);
  EXPECT_EQ(MarkerKind(0, 1, 0), 3);
  EXPECT_EQ(MarkerKind(1, 1, 0), 2);
  EXPECT_EQ(MarkerKind(1, 1, 1), 1);
}

}  // namespace
}  // namespace sonavera::judge
