#pragma once

// The real stage running headless on a virtual clock, with the main window's side recorded.

#include <QApplication>
#include <QImage>
#include <string>
#include <vector>

#include "headless_engine.h"
#include "judge/judge_state.h"
#include "judge/shared_state.h"
#include "platform/program_folder.h"
#include "stage/stage.h"

namespace sonavera::testing {

/// Records what the stage asks of the main window.
class RecordingShell : public stage::StageShell {
 public:
  void BeginPerformance() override { ++begins; }
  void ReturnToList() override { ++returns; }
  void EndPerformance() override {
    ++ends;
    if (app != nullptr) app->performanceActive = 0;
  }
  void OpenReportWindow() override { ++reportWindows; }
  void ToggleRecording() override {
    ++toggles;
    recordingState = recordingState == 1 ? 2 : 1;
  }
  int RecordingState() override { return recordingState; }
  void StartRecordingIfReady() override { ++recordingPolls; }
  void OpenUrl(const std::string& url) override { urls.push_back(url); }

  judge::AppState* app = nullptr;
  int begins = 0, returns = 0, ends = 0, reportWindows = 0, toggles = 0, recordingPolls = 0;
  int recordingState = 0;
  std::vector<std::string> urls;
};

/// One stage with its shared state; ticks follow the offline judge's clock (tick n at n * 16 ms).
class StageRig {
 public:
  StageRig() {
    if (!QCoreApplication::instance()) {
      static int argc = 1;
      static char name[] = "stage_tests";
      static char* argv[] = {name, nullptr};
      static QApplication application(argc, argv);
    }
    platform::SetProgramFolder(SONAVERA_PROGRAM_DIR);
    shell.app = &app;
    stage.SetJudgeState(&judgeState);
    stage.SetExternalClock(true);
    stage.showMessage = [this](const std::string& text, const std::string& caption) {
      messages.push_back(caption + ": " + text);
    };
  }

  /// Starts the engine; fixed 16 ms frames make animations repeatable.
  bool Init() {
    if (!stage.initStage(nullptr)) return false;
    stage.hge->Timer_SetFixedDelta(0.016f);
    return true;
  }

  /// resetStage, startSong and the end of the opening (no wipe), as the offline judge starts.
  void Start(const std::string& songFolder = "") {
    app.performanceActive = 1;
    stage.resetStage();
    stage.startSong(song, songFolder, false);
    stage.SkipOpening();
  }

  /// Tick n: the clock, one engine frame, the line tracker.
  void Tick(int n) {
    shared.playbackTime = static_cast<float>(n) * 0.016f;
    stage.onStageTick();
  }
  /// A tick at a given clock.
  void TickAt(float seconds) {
    shared.playbackTime = seconds;
    stage.onStageTick();
  }

  QImage Frame() const { return stage.hge->Gfx_GetFrame().convertToFormat(QImage::Format_ARGB32); }

  /// A left click at (x, y) on the next frame.
  void Click(float x, float y) {
    stage.hge->Input_SetMousePos(x, y);
    stage.hge->Input_Feed(stage::HGEK_LBUTTON, true);
  }
  void Release() { stage.hge->Input_Feed(stage::HGEK_LBUTTON, false); }

  judge::AppState app;
  judge::StageShared shared;
  judge::JudgeState judgeState;
  RecordingShell shell;
  content::SongTables song;
  std::vector<std::string> messages;
  stage::Stage stage{app, shared, shell};
};

/// The box of pixels brighter than `threshold` inside `within`; null when none.
inline QRect LitBoxOf(const QImage& image, QRect within, int threshold = 60) {
  return LitBox(image, threshold, within);
}

/// The box of pixels that differ between two frames inside `within`; null when none.
inline QRect DiffBox(const QImage& a, const QImage& b, QRect within) {
  int x1 = INT_MAX, y1 = INT_MAX, x2 = -1, y2 = -1;
  for (int y = within.top(); y <= within.bottom(); ++y) {
    for (int x = within.left(); x <= within.right(); ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) {
        x1 = std::min(x1, x), y1 = std::min(y1, y), x2 = std::max(x2, x), y2 = std::max(y2, y);
      }
    }
  }
  return x2 < 0 ? QRect() : QRect(QPoint(x1, y1), QPoint(x2, y2));
}

/// A song of sung lines; each line holds the given notes (pitch, length in frames, syllable).
struct NoteSpec {
  int pitch;
  int length;
  std::string syllable;
};
inline void AddLine(content::SongTables& song, float start, float end, const std::vector<NoteSpec>& notes) {
  // The closing entry sits after the sung lines: keep it last.
  if (song.lineCount > 0) {
    song.lineStart.pop_back();
    song.lineEnd.pop_back();
    song.lineNoteCount.pop_back();
    --song.lineCount;
  }
  song.lineStart.push_back(start);
  song.lineEnd.push_back(end);
  song.lineNoteCount.push_back(static_cast<int>(notes.size()));
  for (const NoteSpec& note : notes) {
    song.notePitch.push_back(note.pitch);
    song.noteLength.push_back(note.length);
    song.noteLyrics.push_back(note.syllable);
  }
  song.lineStart.push_back(end + 1.0f);
  song.lineEnd.push_back(end + 3.5f);
  song.lineNoteCount.push_back(0);
  song.lineCount += 2;
}

}  // namespace sonavera::testing
