#include "app/update_check.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QFileInfo>
#include <QProcess>
#include <chrono>
#include <thread>

extern char** environ;

namespace sonavera::app {
namespace {

enum class Outcome { NotStarted, NoUpdate, Update };

// Runs the updater and polls it, so that one still running after the wait can be left running.
Outcome RunCheck(const std::string& path, int waitMs) {
  std::string argument = "-checkforupdates";
  char* argv[] = {const_cast<char*>(path.c_str()), argument.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) return Outcome::NotStarted;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      // exec failure in the child shows as 127: the updater never ran.
      if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return Outcome::NotStarted;
      if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return Outcome::NoUpdate;
      return Outcome::Update;
    }
    if (done < 0) return Outcome::NotStarted;
    if (std::chrono::steady_clock::now() >= deadline) return Outcome::Update;  // still running
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace

QString UpdateQuestion(const QString& siteUrl) {
  return QString::fromUtf8("请更新到最新版本,否则影响正常使用. 更新失败或者更新后不能正常使用，请到") +
         siteUrl + QString::fromUtf8("下载最新版本安装.\n") + QString(40, QLatin1Char(' ')) +
         QString::fromUtf8("现在是否更新?");
}

bool CheckForUpdates(const std::string& programFolder, const std::function<bool(const QString&)>& ask,
                     const QString& siteUrl, int waitMs) {
  std::string path = programFolder;
  if (!path.empty() && path.back() != '/') path += '/';
  path += "refresher";
  const QFileInfo info(QString::fromStdString(path));
  if (!info.exists() || !info.isFile()) return false;
  if (RunCheck(path, waitMs) != Outcome::Update) return false;
  if (!ask || !ask(UpdateQuestion(siteUrl))) return false;
  QProcess::startDetached(QString::fromStdString(path), {});
  return true;
}

}  // namespace sonavera::app
