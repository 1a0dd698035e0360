#include "app/performance.h"

#include <QDesktopServices>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "content/song_package.h"
#include "platform/text_encoding.h"

namespace sonavera::app {

Performance::Performance(std::string folder, platform::MicSettings mic)
    : programFolder(folder.empty() || folder.back() == '/' ? std::move(folder) : folder + '/'),
      mixdownMessages(context,
                      [this](const std::string& text) {
                        if (stage.showMessage) stage.showMessage(text, "Sonavera");
                      }),
      mixdown(programFolder, mixdownMessages),
      stage(app, shared, *this),
      stageLink(stage),
      capture(mic),
      recorder(mic),
      files(programFolder),
      judge(judge::JudgeLinks{&capture, &recorder, &stageLink, this, &files, programFolder}, app, shared) {
  capture.SetJudge(&judge);
  stage.SetJudgeState(&judge.state());
  judge.SetSongTables(&tables);
}

Performance::~Performance() {
  End();
  capture.Close();
  delete host.data();  // its destructor still reaches the stage
}

bool Performance::OpenCaptureDevice(std::string& message) {
  return judge.OpenCaptureDevice(message);
}

bool Performance::Start(const SongRequest& request, QWidget* container, std::string& message) {
  const bool nextMedleySong = running && request.medleyMode && request.medleySongNumber > 0;
  if (nextMedleySong) {
    stage.stopStage();  // the judge has already stopped capture and released the last song
  } else {
    End();
  }
  content::SongLoadOptions options;
  options.programFolder = programFolder;
  options.dataFolder = request.dataFolder;
  options.fallbackTitle = request.title;
  options.ktvMode = request.ktvMode;
  options.medleyMode = request.medleyMode;
  options.danceOn = request.danceOn;
  if (!content::LoadSongPackage(options, tables, message)) return false;

  if (host.isNull()) {
    host = new stage::CHistogramCtrl(stage, stageTimerOff, container);
    stageReady = false;
  }
  host->move(0, 0);
  host->show();
  if (!stageReady) {
    if (!stage.initStage(host)) {
      message.clear();  // the stage has shown its own box
      return false;
    }
    stageReady = true;
  }
  judge::JudgeState& state = judge.state();
  state.ktvMode = request.ktvMode ? 1 : 0;
  state.maleVoice = request.maleVoice;
  state.medleyMode = request.medleyMode ? 1 : 0;
  state.medleySongNumber = request.medleyMode ? request.medleySongNumber : 0;
  stage.singOn = request.singOn;
  stage.danceOn = request.danceOn;
  stage.ktvMode = request.ktvMode;
  stage.withVocals = request.withVocals;
  app.songTitle = tables.songTitle;
  app.finalScore = 0.0f;
  app.performanceActive = 1;
  stageTimerOff = 0;
  running = true;
  resultReported = false;
  stage.resetStage();
  stage.startSong(tables, request.dataFolder, true);
  return true;
}

void Performance::End() {
  if (!running) return;
  running = false;
  if (app.performanceActive != 0)
    judge.ReturnToList();  // cancelled mid-song
  else
    judge.StopCapture();
  stageTimerOff = 1;
  if (!host.isNull()) host->Ticker().Stop();
  stage.stopStage();
  stage.closeVideo();
  if (reportWindow != nullptr) reportWindow->CloseReportWindow();
  ClearMixdownFlags();
  if (!host.isNull()) host->hide();
}

void Performance::BeginPerformance() {
  judge.BeginPerformance();
}

void Performance::ReturnToList() {
  // The stage asks from inside its frame: wind it down once the frame is over.
  QTimer::singleShot(0, &context, [this] {
    if (onReturnToList)
      onReturnToList();
    else
      End();
  });
}

void Performance::EndPerformance() {
  judge.EndPerformance();
}

void Performance::OpenReportWindow() {
  if (resultReported) return;
  resultReported = true;
  lastResult = SongResult{};
  lastResult.title = platform::GbkToUtf8(stage.reportSong ? stage.reportSong->songTitle : app.songTitle);
  lastResult.finalScore = app.finalScore;
  lastResult.danceScore = stage.danceOn ? stage.DanceScore() : 0.0f;
  lastResult.bestLine = stage.pitch.bestLine;
  lastResult.worstLine = stage.pitch.worstLine;
  lastResult.reportHtml = stage.results.reportHtml;
  if (onSongEnd) onSongEnd(lastResult);
  if (reportWindow != nullptr) reportWindow->OpenReportWindow(lastResult);
}

void Performance::OpenUrl(const std::string& url) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void Performance::ToggleRecording() {
  mixdown.ToggleRecording(player, stage.songFolder);
}

void Performance::ClearMixdownFlags() {
  // A new take: the next replay mixes afresh and the last mix stops playing.
  mixdown.ResetForNextSong();
  player.Close();
}

void Performance::ShowManVoiceSelected() {
  if (onManVoiceSelected) onManVoiceSelected();
}

void Performance::ShowMedleyScore(float score) {
  // The results screen that follows shows the medley's score too.
  app.finalScore = score;
  // The last song's take is kept like a single song's, so the panel can play it back.
  const std::string takePath = programFolder + "temp.wav";
  recorder.Stop();
  const bool saved = recorder.SaveAs(takePath);
  recorder.Close();
  ClearMixdownFlags();
  const int takeSeconds = std::max(app.songLengthSec, 1);
  if (onMedleyScore) onMedleyScore(score, saved ? takePath : std::string(), takeSeconds);
}

void Performance::PrepareNextMedleySong(int medleySongNumber) {
  // The judge asks while handling a capture buffer: start the next song once that is over.
  QTimer::singleShot(0, &context, [this, medleySongNumber] {
    if (running && onNextMedleySong) onNextMedleySong(medleySongNumber);
  });
}

}  // namespace sonavera::app
