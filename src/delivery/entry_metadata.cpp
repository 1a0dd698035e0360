#include "delivery/entry_metadata.h"

namespace sonavera::delivery {
namespace {

constexpr int64_t kUnixEpochInFileTimeSeconds = 11644473600;  // 1601-01-01 to 1970-01-01
constexpr int64_t kFileTimeUnitsPerSecond = 10'000'000;

uint32_t ReadLe16(const unsigned char* p) { return p[0] | (p[1] << 8); }
int64_t ReadLe32(const unsigned char* p) {
  return static_cast<int64_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

}  // namespace

uint32_t EntryAttributes(uint32_t versionMadeBy, uint32_t externalAttributes) {
  const uint32_t host = (versionMadeBy >> 8) & 0xFF;
  if (host == 0 || host == 7 || host == 11 || host == 14) return externalAttributes & 0xFF;
  uint32_t attributes = kArchive;
  if (externalAttributes & 0x40000000u) attributes |= kDirectory;
  if (!(externalAttributes & 0x00800000u)) attributes |= kReadOnly;
  return attributes;
}

int64_t DosTimeToFileTime(uint32_t dosDateTime) {
  tm local{};
  local.tm_year = static_cast<int>((dosDateTime >> 25) & 0x7F) + 80;
  local.tm_mon = static_cast<int>((dosDateTime >> 21) & 0x0F) - 1;
  local.tm_mday = static_cast<int>((dosDateTime >> 16) & 0x1F);
  local.tm_hour = static_cast<int>((dosDateTime >> 11) & 0x1F);
  local.tm_min = static_cast<int>((dosDateTime >> 5) & 0x3F);
  local.tm_sec = static_cast<int>(dosDateTime & 0x1F) * 2;
  local.tm_isdst = -1;
  const time_t utc = mktime(&local);
  return UnixTimeToFileTime(static_cast<int64_t>(utc));
}

int64_t UnixTimeToFileTime(int64_t seconds) {
  return (seconds + kUnixEpochInFileTimeSeconds) * kFileTimeUnitsPerSecond;
}

timespec FileTimeToTimespec(int64_t fileTime) {
  int64_t seconds = fileTime / kFileTimeUnitsPerSecond;
  int64_t units = fileTime % kFileTimeUnitsPerSecond;
  if (units < 0) {
    units += kFileTimeUnitsPerSecond;
    --seconds;
  }
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(seconds - kUnixEpochInFileTimeSeconds);
  ts.tv_nsec = static_cast<long>(units * 100);
  return ts;
}

EntryTimes EntryTimesFrom(uint32_t dosDateTime, const unsigned char* localExtra, size_t extraSize) {
  EntryTimes times;
  times.accessTime = times.creationTime = times.modificationTime = DosTimeToFileTime(dosDateTime);
  if (!localExtra || extraSize < 5) return times;
  size_t pos = 0;
  while (pos + 4 <= extraSize) {
    const uint32_t tag = ReadLe16(localExtra + pos);
    const size_t length = ReadLe16(localExtra + pos + 2);
    const size_t data = pos + 4;
    if (tag == 0x5455) {  // "UT"
      if (length < 1 || data + length > extraSize) return times;
      const unsigned flags = localExtra[data];
      size_t at = data + 1;
      int64_t* targets[3] = {&times.modificationTime, &times.accessTime, &times.creationTime};
      for (int bit = 0; bit < 3; ++bit) {
        if (!(flags & (1u << bit))) continue;
        if (at + 4 > data + length) break;
        *targets[bit] = UnixTimeToFileTime(ReadLe32(localExtra + at));
        at += 4;
      }
      return times;
    }
    pos = data + length;
  }
  return times;
}

}  // namespace sonavera::delivery
