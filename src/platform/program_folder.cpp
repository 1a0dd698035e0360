#include "platform/program_folder.h"

#include <unistd.h>

#include <climits>

namespace sonavera::platform {
namespace {

std::string& Override() {
  static std::string folder;
  return folder;
}

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string ExecutableFolder() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (n <= 0) return "./";
  std::string exe(path, static_cast<size_t>(n));
  const auto slash = exe.rfind('/');
  return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
}

std::string ProgramFolder() { return Override().empty() ? ExecutableFolder() : Override(); }

void SetProgramFolder(const std::string& folder) { Override() = folder.empty() ? std::string() : WithSlash(folder); }

}  // namespace sonavera::platform
