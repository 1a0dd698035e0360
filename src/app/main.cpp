// sonavera: the karaoke judge and dance game.
#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <cstdio>
#include <filesystem>

#include "app/command_line.h"
#include "app/desktop_services.h"
#include "app/main_window.h"
#include "app/performance.h"
#include "app/results_file.h"
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
  return code;
}
