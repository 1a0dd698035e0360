#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "app/evalu_dlg.h"
#include "app/performance.h"
#include "app/report_replay.h"

namespace sonavera::app {

/// The main window's report window: opens an EvaluDlg over the finished song of `stage`, with the
/// replay of its best and worst line through the stage's music channel.
class StageReportWindow : public ReportWindow {
 public:
  /// `programFolder` ends with '/'; `advertUrl` is the configured advert page (may be empty).
  StageReportWindow(stage::Stage& stage, QWidget* owner, std::string programFolder, std::string advertUrl)
      : stage(stage),
        owner(owner),
        programFolder(std::move(programFolder)),
        advertUrl(std::move(advertUrl)) {}
  ~StageReportWindow() override { CloseReportWindow(); }

  void OpenReportWindow(const SongResult& result) override;
  void CloseReportWindow() override;

  EvaluDlg* Window() const { return host.Window(); }
  /// What the last window was given to replay (for tests).
  const ReplaySource& LastReplay() const { return lastReplay; }

 private:
  stage::Stage& stage;
  QPointer<QWidget> owner;
  std::string programFolder;
  std::string advertUrl;
  std::string reportHtml;  // the window empties it when it opens and shows what is written after
  std::unique_ptr<HgeReplayChannels> channels;
  ReplaySource lastReplay;
  ReportWindowHost host;
};

}  // namespace sonavera::app
