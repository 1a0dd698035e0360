#include "audio/score_dlg_player.h"

#include "platform/audio/audio_file.h"

namespace sonavera::audio {
namespace {

// A file that cannot be decoded leaves its player closed; the other one still plays.
void OpenAndPlay(platform::SoundPlayer& player, const std::string& path) {
  if (auto audio = platform::LoadAudioFile(path); audio && player.Open(std::move(*audio))) player.Play(0);
}

}  // namespace

ScoreDlgPlayer::ScoreDlgPlayer(ScorePanelHost& panelHost, std::string folder)
    : host(panelHost), programFolder(std::move(folder)) {}

void ScoreDlgPlayer::SetResult(float score, const std::string& filePath, int endTime) {
  if (isPlaying) StopPlayers();
  storedScore = score;
  storedPath = filePath;
  endSeconds = endTime;
  buttonCaption = kPlayCaption;
}

void ScoreDlgPlayer::OnButton() {
  if (isPlaying) {
    StopPlayers();
  } else {
    StartPlayers();
  }
}

void ScoreDlgPlayer::OnTimer() {
  if (!isPlaying) return;
  // Both players ran out before the end time: nothing more will be heard.
  const bool silent = !first.IsPlaying() && !second.IsPlaying();
  if (firstPositionSeconds() > endSeconds || silent) StopPlayers();
}

void ScoreDlgPlayer::OnOk() {
  if (isPlaying) StopPlayers();
  host.ClosePanel();
}

double ScoreDlgPlayer::firstPositionSeconds() const { return static_cast<double>(first.PositionMs()) / 1000.0; }

void ScoreDlgPlayer::StartPlayers() {
  OpenAndPlay(first, programFolder + "tempspeak.mp3");
  OpenAndPlay(second, storedPath);
  host.StartTimer(kTimerMs);
  isPlaying = true;
  buttonCaption = kStopCaption;
}

void ScoreDlgPlayer::StopPlayers() {
  first.Close();
  second.Close();
  host.StopTimer();
  isPlaying = false;
  buttonCaption = kPlayCaption;
  host.Repaint();
}

}  // namespace sonavera::audio
