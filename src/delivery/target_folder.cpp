#include "delivery/target_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace sonavera::delivery {
namespace {

// mkdir -p of the target folder itself.
bool MakeFolders(const std::string& path) {
  std::string sofar;
  size_t pos = 0;
  while (pos <= path.size()) {
    const size_t slash = path.find('/', pos);
    const size_t end = slash == std::string::npos ? path.size() : slash;
    sofar = path.substr(0, end);
    if (!sofar.empty() && mkdir(sofar.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
    pos = slash + 1;
  }
  return true;
}

std::string TemporaryName() {
  static std::atomic<unsigned> counter{0};
  char text[64];
  std::snprintf(text, sizeof(text), ".sonavera-%d-%u.part", static_cast<int>(getpid()), counter.fetch_add(1));
  return text;
}

}  // namespace

std::vector<std::string> SplitLevels(const std::string& name) {
  std::vector<std::string> levels;
  size_t pos = 0;
  while (pos < name.size()) {
    size_t slash = name.find('/', pos);
    if (slash == std::string::npos) slash = name.size();
    if (slash > pos) levels.push_back(name.substr(pos, slash - pos));
    pos = slash + 1;
  }
  return levels;
}

FolderHandle::FolderHandle(const std::string& targetFolder, const std::vector<std::string>& levels) {
  std::string target = targetFolder.empty() ? std::string(".") : targetFolder;
  while (target.size() > 1 && target.back() == '/') target.pop_back();
  if (!MakeFolders(target)) return;
  fd = open(target.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (const auto& level : levels) {
    if (fd < 0) return;
    if (level == "." || level == ".." || level.find('/') != std::string::npos) {
      close(fd);
      fd = -1;
      return;
    }
    if (mkdirat(fd, level.c_str(), 0777) != 0 && errno != EEXIST) {
      close(fd);
      fd = -1;
      return;
    }
    // O_NOFOLLOW: a symbolic link at this level fails the open instead of leading elsewhere.
    const int next = openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    close(fd);
    fd = next;
  }
}

FolderHandle::~FolderHandle() {
  if (fd >= 0) close(fd);
}

ReplacingFile::ReplacingFile(const FolderHandle& folder, std::string fileName)
    : folderFd(folder.Descriptor()), name(std::move(fileName)) {
  if (folderFd < 0 || name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
    return;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temporaryName = TemporaryName();
    fd = openat(folderFd, temporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return;
  }
}

ReplacingFile::~ReplacingFile() {
  if (fd >= 0) close(fd);
  if (!committed && !temporaryName.empty() && folderFd >= 0) unlinkat(folderFd, temporaryName.c_str(), 0);
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool ReplacingFile::Write(const char* data, size_t size) {
  return WriteAll(fd, data, size);
}

bool ReplacingFile::Commit(uint32_t attributes, const EntryTimes& times) {
  if (fd < 0) return false;
  if (attributes & kReadOnly) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || fchmod(fd, info.st_mode & 07555) != 0) return false;
  }
  const timespec stamps[2] = {FileTimeToTimespec(times.accessTime),
                              FileTimeToTimespec(times.modificationTime)};
  if (futimens(fd, stamps) != 0) return false;
  const int closing = fd;
  fd = -1;
  if (close(closing) != 0) return false;
  if (renameat(folderFd, temporaryName.c_str(), folderFd, name.c_str()) != 0) return false;
  committed = true;
  return true;
}

}  // namespace sonavera::delivery
