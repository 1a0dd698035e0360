#include "app/stage_report_window.h"

namespace sonavera::app {

void StageReportWindow::OpenReportWindow(const SongResult& result) {
  CloseReportWindow();
  ReportContext context;
  context.reportHtml = &reportHtml;
  context.advertUrl = advertUrl;
  if (stage.hge != nullptr) {
    channels = std::make_unique<HgeReplayChannels>(*stage.hge, stage.musicEffect, stage.musicChannel);
    context.channels = channels.get();
  }
  ReplaySource& replay = context.replay;
  replay.bestLine = result.bestLine;
  replay.worstLine = result.worstLine;
  if (stage.reportSong != nullptr) {
    replay.lineStart = stage.reportSong->lineStart;
    replay.lineEnd = stage.reportSong->lineEnd;
  }
  replay.programFolder = programFolder;
  replay.songFolder = stage.songFolder;
  while (!replay.songFolder.empty() && replay.songFolder.back() == '/') replay.songFolder.pop_back();
  lastReplay = replay;
  host.OpenReportWindow(owner.data(), std::move(context));
  // The window has emptied the text on opening; its first tick shows what is here now.
  reportHtml = result.reportHtml;
}

void StageReportWindow::CloseReportWindow() {
  host.CloseReportWindow();
  channels.reset();
}

}  // namespace sonavera::app
