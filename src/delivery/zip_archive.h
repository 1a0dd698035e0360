#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sonavera::delivery {

/// Result codes of the extraction layer. The program never shows them; the tool prints them.
enum class ZipResult : int {
  kOk = 0,
  kCannotCreate = 1,      // a file or folder cannot be opened or created
  kWriteError = 2,
  kCorrupt = 3,           // archive read error or corrupt archive (also a wrong checksum)
  kPasswordRequired = 4,  // an encrypted entry; no password is ever given
  kBadArgument = 5,       // an index out of range or an empty name
  kDecompressError = 6,   // inflate failed or the entry uses a method other than stored/deflated
};

/// What a query tells about one entry.
struct ZipEntry {
  int index = -1;            // position in the central directory; for index -1 the entry count
  std::string name;          // made-safe name, UTF-8, '/' between levels
  uint32_t attributes = 0;   // EntryAttribute bits
  int64_t accessTime = 0;    // file times: 100 ns since 1601-01-01 UTC
  int64_t creationTime = 0;
  int64_t modificationTime = 0;
  int64_t compressedSize = 0;
  int64_t uncompressedSize = 0;
};

/// An open ZIP archive (read-only, no password) and the folder its entries are unpacked into.
/// Used by one thread at a time: the download worker, or the user-interface thread for the lists.
class ZipArchive {
 public:
  /// Opens the archive; nullptr when the file cannot be opened or is not a ZIP archive. The target
  /// folder starts as the current directory.
  static std::unique_ptr<ZipArchive> Open(const std::string& path);
  ~ZipArchive();  // closes the archive and frees its buffers
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  /// Sets the folder entries are unpacked into; a '/' is appended when the path lacks one.
  void SetTargetFolder(const std::string& folder);
  const std::string& TargetFolder() const { return targetFolder; }

  /// Fills `entry` for entry `index`; index -1 fills only the count (into entry.index).
  ZipResult Query(int index, ZipEntry& entry);

  /// Unpacks entry `index` under `name`, always relative to the target folder (the name is made
  /// safe again here). Folders are created level by level; a file of the same name is replaced
  /// only once the entry has been inflated completely and its checksum matched.
  ZipResult Unpack(int index, const std::string& name);

 private:
  explicit ZipArchive(void* handle, int count);
  ZipResult Seek(int index);

  void* file;  // the minizip reader
  int count;
  int position = -1;  // entry the reader stands on
  std::string targetFolder = "./";
  std::vector<char> buffer;  // 16 KiB of inflated data, allocated on first use
};

}  // namespace sonavera::delivery
