// Entry names, attributes and times of archive entries.
#include <gtest/gtest.h>

#include <ctime>

#include "delivery/entry_metadata.h"
#include "delivery/entry_name.h"

namespace sonavera::delivery {
namespace {

struct NameCase {
  const char* stored;
  const char* safe;
};

class SafeEntryName : public ::testing::TestWithParam<NameCase> {};

TEST_P(SafeEntryName, NeverClimbsAboveTheTarget) { EXPECT_EQ(MakeSafeEntryName(GetParam().stored), GetParam().safe); }

INSTANTIATE_TEST_SUITE_P(
    Names, SafeEntryName,
    ::testing::Values(NameCase{"Song/music.mp3", "Song/music.mp3"}, NameCase{"Song\\sub\\a.txt", "Song/sub/a.txt"},
                      NameCase{"../../W/f.txt", "W/f.txt"}, NameCase{"..\\..\\W\\f.txt", "W/f.txt"},
                      NameCase{"C:\\W\\f.txt", "W/f.txt"}, NameCase{"C:/W/f.txt", "W/f.txt"},
                      NameCase{"C:f.txt", "f.txt"}, NameCase{"\\a\\..\\b", "b"}, NameCase{"a\\..\\b", "b"},
                      NameCase{"/a/../b", "b"}, NameCase{"a/..\\b", "b"}, NameCase{"../x", "x"},
                      NameCase{"/etc/passwd", "etc/passwd"}, NameCase{"//server/share/f", "server/share/f"},
                      NameCase{"a/b/..", ""}, NameCase{"..", ""}, NameCase{"a/./b//c", "a/b/c"},
                      NameCase{"C:..\\x", "x"}, NameCase{"Song/", "Song"}, NameCase{"", ""}));

TEST(EntryName, NamesWithoutTheUtf8FlagAreGbk) {
  const std::string gbk = "\xB8\xE8\xC7\xFA/\xC4\xE3.txt";  // 歌曲/你.txt
  EXPECT_EQ(DecodeEntryName(gbk, false), "歌曲/你.txt");
  EXPECT_EQ(DecodeEntryName("歌曲/你.txt", true), "歌曲/你.txt");
  // A GBK trail byte can be 0x5C ('\'): decoding comes before the separators are looked at.
  const std::string withBackslashByte = "\x95\x5C.txt";  // one GBK character whose trail byte is '\'
  EXPECT_EQ(MakeSafeEntryName(DecodeEntryName(withBackslashByte, false)).find('/'), std::string::npos);
}

struct AttributeCase {
  uint32_t versionMadeBy;
  uint32_t external;
  uint32_t expected;
};

class EntryAttributesGrid : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(EntryAttributesGrid, FromHostAndExternalAttributes) {
  EXPECT_EQ(EntryAttributes(GetParam().versionMadeBy, GetParam().external), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, EntryAttributesGrid,
    ::testing::Values(AttributeCase{0x0014, 0x21, kArchive | kReadOnly},       // MS-DOS bits as they are
                      AttributeCase{0x0B14, 0x10, kDirectory},                  // NTFS
                      AttributeCase{0x0714, 0x06, kHidden | kSystem},           // Macintosh
                      AttributeCase{0x0E14, 0x12345620, kArchive},              // VFAT: low byte only
                      AttributeCase{0x031E, 0100644u << 16, kArchive},          // Unix file
                      AttributeCase{0x031E, 0100444u << 16, kArchive | kReadOnly},
                      AttributeCase{0x031E, 040755u << 16, kArchive | kDirectory},
                      AttributeCase{0x031E, 0, kArchive | kReadOnly}));

std::string UtBlock(unsigned flags, std::initializer_list<uint32_t> times) {
  std::string block("UT", 2);
  const size_t length = 1 + 4 * times.size();
  block += static_cast<char>(length);
  block += '\0';
  block += static_cast<char>(flags);
  for (uint32_t t : times) {
    for (int i = 0; i < 4; ++i) block += static_cast<char>((t >> (8 * i)) & 0xFF);
  }
  return block;
}

EntryTimes TimesOf(uint32_t dos, const std::string& extra) {
  return EntryTimesFrom(dos, reinterpret_cast<const unsigned char*>(extra.data()), extra.size());
}

TEST(EntryTimes, DosTimeIsLocalTime) {
  tm local{};
  local.tm_year = 120;
  local.tm_mon = 4;
  local.tm_mday = 6;
  local.tm_hour = 7;
  local.tm_min = 8;
  local.tm_sec = 8;
  local.tm_isdst = -1;
  const int64_t expected = UnixTimeToFileTime(mktime(&local));
  const EntryTimes times = TimesOf(0x50A63904, "");
  EXPECT_EQ(times.modificationTime, expected);
  EXPECT_EQ(times.accessTime, expected);
  EXPECT_EQ(times.creationTime, expected);
}

TEST(EntryTimes, ExtendedTimestampReplacesTheTimesItCarries) {
  const uint32_t dos = 0x50A63904;
  const int64_t dosTime = DosTimeToFileTime(dos);
  // Modification only.
  EntryTimes t = TimesOf(dos, UtBlock(1, {1600000000u}));
  EXPECT_EQ(t.modificationTime, (1600000000LL + 11644473600LL) * 10000000LL);
  EXPECT_EQ(t.accessTime, dosTime);
  // All three, in the order modification, access, creation; behind another extra block.
  const std::string other("\x0A\x00\x04\x00" "abcd", 8);
  t = TimesOf(dos, other + UtBlock(7, {1000u, 2000u, 3000u}));
  EXPECT_EQ(t.modificationTime, UnixTimeToFileTime(1000));
  EXPECT_EQ(t.accessTime, UnixTimeToFileTime(2000));
  EXPECT_EQ(t.creationTime, UnixTimeToFileTime(3000));
  // Access and creation only.
  t = TimesOf(dos, UtBlock(6, {2000u, 3000u}));
  EXPECT_EQ(t.modificationTime, dosTime);
  EXPECT_EQ(t.accessTime, UnixTimeToFileTime(2000));
}

TEST(EntryTimes, MalformedExtraFieldsKeepTheDosTime) {
  const uint32_t dos = 0x50A63904;
  const int64_t dosTime = DosTimeToFileTime(dos);
  EXPECT_EQ(TimesOf(dos, std::string("UT\x05\x00", 4)).modificationTime, dosTime);  // shorter than 5 bytes
  std::string truncated = UtBlock(1, {1000u});
  truncated.resize(truncated.size() - 2);                                           // runs past the end
  EXPECT_EQ(TimesOf(dos, truncated).modificationTime, dosTime);
  EXPECT_EQ(TimesOf(dos, std::string("\x01\x00\xFF\xFF" "xxxx", 8)).modificationTime, dosTime);  // huge length
  EXPECT_EQ(TimesOf(dos, UtBlock(1, {})).modificationTime, dosTime);                // flag without its time
}

TEST(EntryTimes, FileTimeToTimespecKeepsSubSeconds) {
  const timespec ts = FileTimeToTimespec(UnixTimeToFileTime(1234567890) + 12345);
  EXPECT_EQ(ts.tv_sec, 1234567890);
  EXPECT_EQ(ts.tv_nsec, 1234500);
}

}  // namespace
}  // namespace sonavera::delivery
