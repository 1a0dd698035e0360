#pragma once

#include <string>
#include <vector>

#include "delivery/entry_metadata.h"

namespace sonavera::delivery {

/// An open folder below the target folder, reached level by level without following symbolic
/// links: a link (or a file) standing where a folder level is expected stops the walk, so nothing
/// is ever created or written outside the target folder, whatever the library already holds.
class FolderHandle {
 public:
  /// Opens the target folder itself (created with its parents when missing; links in the target's
  /// own path are the user's choice and are followed), then every level of `levels` below it,
  /// creating the missing ones. Valid() is false when a level cannot be created or opened.
  FolderHandle(const std::string& targetFolder, const std::vector<std::string>& levels);
  ~FolderHandle();
  FolderHandle(const FolderHandle&) = delete;
  FolderHandle& operator=(const FolderHandle&) = delete;

  bool Valid() const { return fd >= 0; }
  int Descriptor() const { return fd; }

 private:
  int fd = -1;
};

/// A file written under a temporary name in a folder and moved over its real name only when it is
/// complete: a failed entry leaves no half file and the old file of that name stays until then.
class ReplacingFile {
 public:
  /// Creates the temporary file in `folder` (not following links; never opens an existing file).
  ReplacingFile(const FolderHandle& folder, std::string name);
  ~ReplacingFile();  // removes the temporary file unless Commit succeeded
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool Valid() const { return fd >= 0; }

  /// Writes all of `size` bytes; false on a write error.
  bool Write(const char* data, size_t size);

  /// Applies the attributes (read-only clears every write bit) and the access and modification
  /// times, then renames the file over `name` (replacing a file or a link of that name, never a
  /// folder). False when any step fails; the temporary file is then removed.
  bool Commit(uint32_t attributes, const EntryTimes& times);

 private:
  int folderFd;
  int fd = -1;
  std::string name;
  std::string temporaryName;
  bool committed = false;
};

/// Writes all of `size` bytes to the open file `fd`, going on after interrupted and partial writes;
/// false on a write error.
bool WriteAll(int fd, const char* data, size_t size);

/// Splits a made-safe name at '/' into its levels.
std::vector<std::string> SplitLevels(const std::string& name);

}  // namespace sonavera::delivery
