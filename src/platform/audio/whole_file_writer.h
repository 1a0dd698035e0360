#pragma once

#include <cstdio>
#include <string>

namespace sonavera::platform {

/// Writes a file whole or not at all: the bytes go to a temporary file in the same folder, which
/// `Commit` renames over the target. A crash or a full disk leaves the old file (or none) in place,
/// never a half-written one that looks complete.
class WholeFileWriter {
 public:
  explicit WholeFileWriter(std::string path);
  ~WholeFileWriter();  // abandons the temporary file unless committed
  WholeFileWriter(const WholeFileWriter&) = delete;
  WholeFileWriter& operator=(const WholeFileWriter&) = delete;

  /// Creates the temporary file; false when the folder cannot take it.
  bool Open();
  /// The temporary file's stream (binary, read/write); nullptr before Open.
  std::FILE* stream() const { return file; }
  /// Flushes, closes and renames the temporary file over the target. False on any failure; the
  /// temporary file is then removed and the target is left as it was.
  bool Commit();
  /// Closes and removes the temporary file.
  void Abandon();

  const std::string& path() const { return targetPath; }

 private:
  std::string targetPath;
  std::string tempPath;
  std::FILE* file = nullptr;
};

/// Writes `size` bytes to `path` through a WholeFileWriter.
bool WriteWholeFile(const std::string& path, const void* data, std::size_t size);

}  // namespace sonavera::platform
