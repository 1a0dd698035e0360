#pragma once

#include <string>

#include "platform/audio/sound_output.h"

namespace sonavera::audio {

/// What the medley's score panel does for its player: a repeating timer, repaints and closing.
class ScorePanelHost {
 public:
  virtual ~ScorePanelHost() = default;
  virtual void StartTimer(int periodMs) = 0;
  virtual void StopTimer() = 0;
  virtual void Repaint() = 0;
  virtual void ClosePanel() = 0;
};

/// The player of the medley's final score panel: plays the singer's take "tempspeak.mp3" and the
/// stored file side by side, watches the first one every 800 ms and stops both once it has passed the
/// stored end time. Used from the user-interface thread only.
class ScoreDlgPlayer {
 public:
  static constexpr int kTimerMs = 800;
  static constexpr const char* kPlayCaption = "演唱回放";
  static constexpr const char* kStopCaption = "停止播放";

  /// `programFolder` ends with '/'.
  ScoreDlgPlayer(ScorePanelHost& host, std::string programFolder);

  /// The end of the medley: the score to draw, the file to play beside the take and the end time in
  /// whole seconds. Stops anything playing and resets the button.
  void SetResult(float score, const std::string& filePath, int endSeconds);
  /// The panel's button.
  void OnButton();
  /// The 800 ms timer.
  void OnTimer();
  /// OK: stop both players and close the panel.
  void OnOk();

  const std::string& caption() const { return buttonCaption; }
  bool playing() const { return isPlaying; }
  float score() const { return storedScore; }
  /// Position of the first player in seconds.
  double firstPositionSeconds() const;

 private:
  void StartPlayers();
  void StopPlayers();

  ScorePanelHost& host;
  std::string programFolder;
  float storedScore = 0;
  std::string storedPath;
  int endSeconds = 0;
  bool isPlaying = false;
  std::string buttonCaption = kPlayCaption;
  platform::SoundPlayer first;
  platform::SoundPlayer second;
};

}  // namespace sonavera::audio
