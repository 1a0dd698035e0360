#pragma once

#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "app/performance_links.h"
#include "audio/hw_mci.h"
#include "audio/mixdown.h"
#include "content/song_tables.h"
#include "judge/judge.h"
#include "stage/histogram_ctrl.h"
#include "stage/stage.h"
#include "stage/stage_judge_link.h"

class QWidget;

namespace sonavera::app {

/// What a performance reports at its end (for the report window and --results-file).
struct SongResult {
  std::string title;  // UTF-8
  float finalScore = 0.0f;
  float danceScore = 0.0f;
  int bestLine = -1;
  int worstLine = -1;
  std::string reportHtml;  // UTF-8
};

/// The report window beside the results screen (built elsewhere); the performance only opens it.
class ReportWindow {
 public:
  virtual ~ReportWindow() = default;
  virtual void OpenReportWindow(const SongResult& result) = 0;
  virtual void CloseReportWindow() = 0;
};

/// The switches a song is prepared with.
struct SongRequest {
  std::string dataFolder;  // the song's data folder (UTF-8 path)
  std::string title;       // UTF-8, used when the package has none
  bool ktvMode = false;
  bool medleyMode = false;
  bool danceOn = false;
  bool singOn = true;
  int withVocals = 0;
  int maleVoice = 1;
  /// Medley: the number of the song in the medley (0..3); songs after the first continue the
  /// running performance.
  int medleySongNumber = 0;
};

/// One performance at a time in the main window: the judge, the stage in its host widget, the
/// microphone and the recorder. Everything runs on the user-interface thread.
class Performance : public stage::StageShell, public judge::PerformanceShell {
 public:
  /// `programFolder` ends with '/'.
  Performance(std::string programFolder, platform::MicSettings mic);
  ~Performance() override;

  /// Opens the microphone once; false with the user's text in `message`.
  bool OpenCaptureDevice(std::string& message);
  /// Loads the package and starts the stage inside `container` (1014). False with the message.
  bool Start(const SongRequest& request, QWidget* container, std::string& message);
  /// Ends a running performance (return to the list or the window closing). Safe to repeat.
  void End();
  bool Running() const { return running; }

  /// The main window's return to the list (from the stage's stop and back buttons).
  std::function<void()> onReturnToList;
  /// Medley: prepare song n (0-based) and call Start again.
  std::function<void(int)> onNextMedleySong;
  /// Medley end: the medley's score and the last song's take to play back beside it ("temp.wav" in
  /// the program folder) with its length in whole seconds.
  std::function<void(float score, const std::string& takePath, int takeSeconds)> onMedleyScore;
  /// The judge went back to the man's voice after a song sung with the woman's.
  std::function<void()> onManVoiceSelected;
  /// Called once per song when its results are shown.
  std::function<void(const SongResult&)> onSongEnd;
  ReportWindow* reportWindow = nullptr;

  judge::AppState& App() { return app; }
  stage::Stage& GetStage() { return stage; }
  judge::Judge& GetJudge() { return judge; }
  /// The last song's result (valid once onSongEnd ran).
  const SongResult& LastResult() const { return lastResult; }

  // StageShell
  void BeginPerformance() override;
  void ReturnToList() override;
  void EndPerformance() override;
  void OpenReportWindow() override;
  /// The results screen's replay of the take mixed with the accompaniment.
  void ToggleRecording() override;
  int RecordingState() override { return mixdown.mixState(); }
  void StartRecordingIfReady() override { mixdown.StartPlaybackIfReady(player); }
  void OpenUrl(const std::string& url) override;

  // PerformanceShell
  void ForgetStageWindow() override {}
  void ShowManVoiceSelected() override;
  void PrepareNextMedleySong(int medleySongNumber) override;
  void ShowMedleyScore(float score) override;
  void ClearMixdownFlags() override;

 private:
  QObject context;  // deferred calls die with the performance
  std::string programFolder;
  UiMessageSink mixdownMessages;
  audio::Mixdown mixdown;  // after its sink: its destructor waits for the worker
  audio::CHwMCI player;    // plays "uion.wav"
  judge::AppState app;
  judge::StageShared shared;
  content::SongTables tables;
  std::atomic<int> stageTimerOff{1};
  stage::Stage stage;
  stage::StageJudgeLink stageLink;
  CaptureLink capture;
  RecorderLink recorder;
  FolderFiles files;
  judge::Judge judge;
  QPointer<stage::CHistogramCtrl> host;  // owned by its container; deleted before the stage
  bool stageReady = false;
  bool running = false;
  bool resultReported = false;
  SongResult lastResult;
};

}  // namespace sonavera::app
