#include "platform/audio/whole_file_writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace sonavera::platform {

WholeFileWriter::WholeFileWriter(std::string path) : targetPath(std::move(path)) {}

WholeFileWriter::~WholeFileWriter() { Abandon(); }

bool WholeFileWriter::Open() {
  Abandon();
  const auto slash = targetPath.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : targetPath.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? targetPath : targetPath.substr(slash + 1);
  // A dot name keeps the unfinished file out of the way of anyone listing the folder.
  std::string pattern = folder + "." + name + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkstemp(buffer.data());
  if (fd < 0) return false;
  fchmod(fd, 0644);  // mkstemp makes 0600; the working files are ordinary files
  file = fdopen(fd, "w+b");
  if (file == nullptr) {
    close(fd);
    unlink(buffer.data());
    return false;
  }
  tempPath = buffer.data();
  return true;
}

bool WholeFileWriter::Commit() {
  if (file == nullptr) return false;
  bool ok = std::fflush(file) == 0 && std::ferror(file) == 0;
  ok = ok && fsync(fileno(file)) == 0;
  ok = (std::fclose(file) == 0) && ok;
  file = nullptr;
  ok = ok && std::rename(tempPath.c_str(), targetPath.c_str()) == 0;
  if (!ok) unlink(tempPath.c_str());
  tempPath.clear();
  return ok;
}

void WholeFileWriter::Abandon() {
  if (file != nullptr) {
    std::fclose(file);
    file = nullptr;
  }
  if (!tempPath.empty()) {
    unlink(tempPath.c_str());
    tempPath.clear();
  }
}

bool WriteWholeFile(const std::string& path, const void* data, std::size_t size) {
  WholeFileWriter writer(path);
  if (!writer.Open()) return false;
  if (size > 0 && std::fwrite(data, 1, size, writer.stream()) != size) return false;
  return writer.Commit();
}

}  // namespace sonavera::platform
