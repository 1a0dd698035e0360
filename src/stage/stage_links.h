#pragma once

#include <string>

namespace sonavera::stage {

/// What the stage asks of the main window. Every call comes from the stage's frame, on the
/// user-interface thread.
class StageShell {
 public:
  virtual ~StageShell() = default;
  /// The opening wipe is over: reset the judge, start capture and the recorder.
  virtual void BeginPerformance() = 0;
  /// The stop button of the performance or the back button of the results screen.
  virtual void ReturnToList() = 0;
  /// A KTV song has passed its last cue; its final score is already published.
  virtual void EndPerformance() = 0;
  /// The results screen has faded in: show the evaluation report window beside it.
  virtual void OpenReportWindow() = 0;
  /// The replay button: not mixed yet starts the mixdown, playing pauses, paused plays.
  virtual void ToggleRecording() = 0;
  /// The replay's state: 0 not mixed, 1 playing, 2 paused.
  virtual int RecordingState() = 0;
  /// Polled every results frame: once the mixed recording is ready, load and start it (once).
  virtual void StartRecordingIfReady() = 0;
  /// Opens a web address in the default browser.
  virtual void OpenUrl(const std::string& url) = 0;
};

/// The dance directions in the order the lane draws its step columns.
enum DanceDirection { kLeft = 0, kDown = 1, kUp = 2, kRight = 3 };

/// The dance stick or mat: one flag per direction, set while the device reports that direction.
class StickInput {
 public:
  virtual ~StickInput() = default;
  virtual bool DirectionHeld(DanceDirection direction) = 0;
};

}  // namespace sonavera::stage
