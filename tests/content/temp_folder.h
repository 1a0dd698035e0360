#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace sonavera::content::testing {

/// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sonavera-content-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path = pattern;
  }
  ~TempFolder() {
    std::error_code error;
    if (!path.empty()) std::filesystem::remove_all(path, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  /// The folder's path, or a file or folder inside it.
  std::string Path(const std::string& name = "") const { return name.empty() ? path : path + "/" + name; }

 private:
  std::string path;
};

}  // namespace sonavera::content::testing
