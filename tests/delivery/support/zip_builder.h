#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sonavera::testing {

/// One entry of a test archive, written by minizip's writer.
struct ZipItem {
  std::string name;  // stored bytes of the name
  std::string data;
  bool utf8Flag = false;       // general-purpose bit 11
  std::string password;        // non-empty: the entry is encrypted
  uint32_t versionMadeBy = 0;  // host in the upper byte (0 = MS-DOS, 3 = Unix)
  uint32_t externalAttributes = 0;
  uint32_t dosDate = 0x50A63904;           // 2020-05-06 07:08:08 local time
  std::optional<uint32_t> utModification;  // adds an extended-timestamp block to the local extra field
  bool stored = false;                     // no compression
};

/// Writes the archive; false when minizip fails.
bool WriteZip(const std::string& path, const std::vector<ZipItem>& items);

/// The files of an archive as (name, data) pairs.
using ZipFiles = std::vector<std::pair<std::string, std::string>>;

/// The bytes of an archive of `files`, stored uncompressed with UTF-8 names as the storage serves
/// song packages (so an archive is as large as its files); empty when minizip fails.
std::string StoredZipBytes(const ZipFiles& files);

}  // namespace sonavera::testing
