#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <memory>
#include <string>

#include "app/html_ctrl.h"
#include "app/report_replay.h"

namespace sonavera::app {

/// What the report window shows and replays.
struct ReportContext {
  std::string* reportHtml = nullptr;   ///< written by the results screen; emptied when the window opens
  std::string advertUrl;               ///< configured advertisement page (empty: none)
  ReplayChannels* channels = nullptr;  ///< the engine's music channel (null: no replay)
  ReplaySource replay;
};

/// The evaluation report window: an advert view above, the report below with links that replay
/// the best and the worst line.
class EvaluDlg : public QDialog {
 public:
  EvaluDlg(ReportContext context, QWidget* owner);

  /// The two views (for the owner and for tests).
  CHtmlCtrl& ReportView() { return *m_reportView; }
  CHtmlCtrl& AdvertView() { return *m_advertView; }
  /// The shown report once written, as last passed to WriteHtml.
  const std::string& ShownHtml() const { return shownHtml; }
  int ReplayPhase() const { return replay ? replay->Phase() : 0; }

  /// Timer 0: shows the report (or the failure sentence) once.
  void OnReportTick();
  /// Timer 1: advances the replay.
  void OnReplayTick();
  /// Start the best / worst line replay (what "app:ok" / "app:badplay" post).
  void OnReplayBestLine();
  void OnReplayWorstLine();

 private:
  void Write(const std::string& html);

  CHtmlCtrl* m_reportView = nullptr;
  CHtmlCtrl* m_advertView = nullptr;
  ReportContext context;
  std::unique_ptr<ReportReplay> replay;
  QTimer reportTimer;
  QTimer replayTimer;
  std::string shownHtml;
};

/// Top-left corner of a window of outer height `height` laid at the work area's left edge with its
/// bottom on the work area's bottom.
QPoint ReportWindowPosition(const QRect& workArea, int height);

/// The one report window of the main window.
class ReportWindowHost {
 public:
  /// Opens a new report window owned by `owner` at the work area's lower-left and shows it; the
  /// results screen writes `*context.reportHtml` right after.
  EvaluDlg* OpenReportWindow(QWidget* owner, ReportContext context);
  /// Cancels and deletes the report window, when one exists.
  void CloseReportWindow();
  EvaluDlg* Window() const { return window.get(); }

 private:
  std::unique_ptr<EvaluDlg> window;
};

}  // namespace sonavera::app
