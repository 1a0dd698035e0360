#pragma once

#include <time.h>

#include <cstddef>
#include <cstdint>

namespace sonavera::delivery {

/// File attribute bits of an archive entry, in the MS-DOS convention archives store.
enum EntryAttribute : uint32_t {
  kReadOnly = 0x01,
  kHidden = 0x02,
  kSystem = 0x04,
  kDirectory = 0x10,
  kArchive = 0x20,
};

/// The three times given to a written file, as file times: 100 ns units since 1601-01-01 UTC.
struct EntryTimes {
  int64_t accessTime = 0;
  int64_t creationTime = 0;
  int64_t modificationTime = 0;
};

/// Attributes from the version-made-by field and the external attributes: MS-DOS bits as they are
/// for DOS-like hosts (0, 7, 11, 14); otherwise from the Unix mode in the upper half (directory,
/// read-only when the owner may not write, always archive).
uint32_t EntryAttributes(uint32_t versionMadeBy, uint32_t externalAttributes);

/// An MS-DOS date and time (date in the upper 16 bits), read as local time, as a UTC file time.
int64_t DosTimeToFileTime(uint32_t dosDateTime);

/// Unix seconds as a file time.
int64_t UnixTimeToFileTime(int64_t seconds);

/// A file time as a timespec for futimens.
timespec FileTimeToTimespec(int64_t fileTime);

/// All three times from the MS-DOS time, then each time an extended-timestamp block ("UT") of the
/// local extra field carries (flags bit 0 modification, bit 1 access, bit 2 creation) replaces its
/// own. The walk stops at the first "UT" block; fields shorter than 5 bytes are not walked, and a
/// block running past the end of the field is ignored.
EntryTimes EntryTimesFrom(uint32_t dosDateTime, const unsigned char* localExtra, size_t extraSize);

}  // namespace sonavera::delivery
