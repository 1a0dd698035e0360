// sonavera: the karaoke judge and dance game.
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <cstdio>
#include <filesystem>

#include "app/command_line.h"
#include "app/desktop_services.h"
#include "app/main_window.h"
#include "app/performance.h"
#include "app/results_file.h"
#include "app/stage_report_window.h"
#include "app/update_check.h"
#include "delivery/ui/wait_dlg.h"
#include "platform/config.h"
#include "platform/program_folder.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  std::string error;
  const auto line = sonavera::app::ParseCommandLine(arguments, error);
  if (!line) {
    std::fprintf(stderr, "sonavera: %s\n", error.c_str());
    return 2;
  }
  if (!line->programFolder.empty()) sonavera::platform::SetProgramFolder(line->programFolder);
  const std::string programFolder = sonavera::platform::ProgramFolder();

  QApplication app(argc, argv);
  const auto config = sonavera::platform::Config::Load(programFolder);
  // An available update the user accepts replaces this start: the updater runs instead.
  const auto ask = [](const QString& question) {
    return QMessageBox::question(nullptr, QStringLiteral("Sonavera"), question,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };
  if (sonavera::app::CheckForUpdates(programFolder, ask,
                                     QString::fromStdString(config.Get("web", "siteUrl"))))
    return 0;
  sonavera::app::DesktopServices services(line->micFile);
  sonavera::platform::MicSettings mic;
  mic.micFile = line->micFile;
  sonavera::app::Performance performance(programFolder, mic);
  if (!line->resultsFile.empty()) {
    performance.onSongEnd = [path = line->resultsFile](const sonavera::app::SongResult& result) {
      if (!sonavera::app::WriteResultsFile(path, result)) {
        std::fprintf(stderr, "sonavera: cannot write %s\n", path.c_str());
      }
    };
  }
  sonavera::app::CRating1Dlg window(programFolder, services);
  window.SetPerformance(&performance);
  services.SetParent(&window);
  window.siteUrl = config.Get("web", "siteUrl");
  window.operationTutorialUrl = config.Get("web", "operationTutorialUrl");
  window.installTutorialUrl = config.Get("web", "installTutorialUrl");
  sonavera::app::StageReportWindow reportWindow(performance.GetStage(), &window, programFolder,
                                                config.Get("web", "advertUrl"));
  performance.reportWindow = &reportWindow;

  // A program folder without "avi" belongs to an older release: tell the user and stop.
  std::error_code folderError;
  if (!std::filesystem::is_directory(programFolder + "avi", folderError)) {
    const QString site = QString::fromStdString(config.Get("web", "siteUrl"));
    sonavera::delivery::ui::WaitDlg notice(sonavera::delivery::ui::WaitDlg::kProgramTooOld, nullptr, {},
                                           site);
    if (notice.exec() == 1 && !site.isEmpty()) QDesktopServices::openUrl(QUrl(site));
    return 1;
  }
  services.StartDelivery(
      programFolder, config, [&window] { window.RefillSongList(); }, [&window] { window.MarkListStale(); });
  window.show();
  const int code = app.exec();
  services.StopDelivery();
  performance.End();
  performance.reportWindow = nullptr;  // the report window goes before the performance
  return code;
}
