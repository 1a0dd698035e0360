#pragma once

#include <QDialog>
#include <QImage>
#include <QTimer>
#include <string>

#include "audio/score_dlg_player.h"

class QPropertyAnimation;
class QPushButton;

namespace sonavera::app {

/// The medley's final score panel: a hidden pop-up the main window creates at start-up and shows over
/// its score area when the fourth song has ended. It draws its own picture with the medley's score on
/// it; button 1111 plays the take beside the singer's recording, OK stops both and closes the panel.
/// Everything runs on the user-interface thread.
class CScoreDlg : public QDialog, private audio::ScorePanelHost {
 public:
  /// Length of the growing animation that shows the panel.
  static constexpr int kShowAnimationMs = 500;

  /// `programFolder` ends with '/' (the player's "tempspeak.mp3" lives there); `picturePath` is the
  /// panel's background picture (a plain gradient stands in when it cannot be read).
  CScoreDlg(std::string programFolder, const std::string& picturePath, QWidget* parent);
  ~CScoreDlg() override;

  /// The medley's end: the score to draw, the file to play and its end time in whole seconds. Stops a
  /// playback still running, resets the button's caption and repaints.
  void SetResult(float score, const std::string& filePath, int endSeconds);
  /// Places the panel on `globalRect` without taking the focus, growing from its centre when
  /// `animate` (else at once).
  void ShowOver(const QRect& globalRect, bool animate);
  /// Stops the players and hides the panel (the window returns to the list).
  void HidePanel();

  /// How the score is written on the panel: one decimal, "100" for a full score.
  static QString ScoreText(float score);

  QPushButton* PlayButton() const { return playButton; }
  QPushButton* OkButton() const { return okButton; }
  const audio::ScoreDlgPlayer& Player() const { return player; }
  bool Animating() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void reject() override;

 private:
  // ScorePanelHost
  void StartTimer(int periodMs) override;
  void StopTimer() override;
  void Repaint() override;
  void ClosePanel() override;

  void ShowCaption();

  QImage picture;
  QTimer timer;
  audio::ScoreDlgPlayer player;
  QPushButton* playButton = nullptr;  // 1111
  QPushButton* okButton = nullptr;
  QPropertyAnimation* animation = nullptr;
};

}  // namespace sonavera::app
