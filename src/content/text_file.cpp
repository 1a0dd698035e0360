#include "content/text_file.h"

#include <sys/stat.h>

#include <cstdio>

namespace sonavera::content {
namespace {

// Song files are a few kilobytes; anything this large is not one of ours.
constexpr long kMaxFileBytes = 64L * 1024 * 1024;

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  if (!FileExists(path)) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char chunk[8192];
  bool ok = true;
  while (true) {
    size_t got = std::fread(chunk, 1, sizeof chunk, file);
    bytes.append(chunk, got);
    if (static_cast<long>(bytes.size()) > kMaxFileBytes) {
      ok = false;
      break;
    }
    if (got < sizeof chunk) {
      ok = std::ferror(file) == 0;
      break;
    }
  }
  std::fclose(file);
  if (!ok) bytes.clear();
  return ok;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fclose(file) == 0 && ok;
  return ok;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::string> SplitTextLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    size_t next = end == std::string::npos ? bytes.size() : end + 1;
    if (end == std::string::npos) end = bytes.size();
    size_t length = end - start;
    if (length > 0 && bytes[start + length - 1] == '\r') --length;
    lines.emplace_back(bytes, start, length);
    start = next;
  }
  return lines;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace sonavera::content
