// Finding the data folder inside a song's folder.
#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "content/song_package.h"
#include "content/text_file.h"

namespace sonavera::content {
namespace {

// Deep enough for any package, shallow enough to stop a loop of links.
constexpr int kMaxDepth = 32;

// Depth first, entries in byte order of their names; the last directory visited wins.
void Walk(const std::string& folder, int depth, std::string& found) {
  if (depth > kMaxDepth) return;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) return;
  std::vector<std::string> names;
  for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
    if (error) break;
    if (it->is_directory(error) && !error) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    const std::string path = JoinPath(folder, name);
    found = path;
    Walk(path, depth + 1, found);
  }
}

}  // namespace

std::string FindSongDataFolder(const std::string& songFolder) {
  std::string folder = songFolder;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  std::string found;
  Walk(folder, 0, found);
  return found.empty() ? folder : found;
}

}  // namespace sonavera::content
