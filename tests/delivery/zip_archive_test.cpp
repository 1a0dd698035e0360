// Unpacking real archives written at test time by minizip's writer.
#include "delivery/zip_archive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "delivery/entry_metadata.h"
#include "support/temp_folder.h"
#include "support/zip_builder.h"

namespace sonavera::delivery {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;
using testing::ZipItem;

ZipItem File(std::string name, std::string data) {
  ZipItem item;
  item.name = std::move(name);
  item.data = std::move(data);
  return item;
}

ZipItem Folder(std::string name) {
  ZipItem item;
  item.name = std::move(name);
  item.externalAttributes = kDirectory;
  return item;
}

// Unpacks every entry the way the download worker does; returns the result of each entry.
std::vector<ZipResult> UnpackAll(const std::string& archivePath, const std::string& target) {
  std::vector<ZipResult> results;
  auto archive = ZipArchive::Open(archivePath);
  if (!archive) return results;
  archive->SetTargetFolder(target);
  ZipEntry entry;
  archive->Query(-1, entry);
  const int count = entry.index;
  for (int i = 0; i < count; ++i) {
    ZipResult result = archive->Query(i, entry);
    if (result == ZipResult::kOk) result = archive->Unpack(i, entry.name);
    results.push_back(result);
  }
  return results;
}

// Every path under `folder`, relative, sorted.
std::vector<std::string> Tree(const std::string& folder) {
  std::vector<std::string> paths;
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    paths.push_back(fs::relative(item.path(), folder).string());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

class ZipArchiveTest : public ::testing::Test {
 protected:
  std::string Archive(const std::vector<ZipItem>& items, const std::string& name = "a.zip") {
    const std::string path = dir.Path() + name;
    EXPECT_TRUE(testing::WriteZip(path, items));
    return path;
  }
  std::string Target() const { return dir.Path() + "library/歌曲/单曲/"; }

  TempFolder dir;
};

TEST_F(ZipArchiveTest, UnpacksFoldersAndReplacesAnExistingFileOnly) {
  const std::string target = Target();
  WriteFile(target + "Song/music.mp3", "old accompaniment");
  WriteFile(target + "Song/keep.txt", "stays");
  const auto zip = Archive({Folder("Song/"), File("Song/music.mp3", std::string(100000, 'm')),
                            File("Song/sub/deeper/sh", "1 2 3"), File("Song\\Images\\bgpic.png", "png")});
  const auto results = UnpackAll(zip, target);
  EXPECT_EQ(results, std::vector<ZipResult>(4, ZipResult::kOk));
  EXPECT_EQ(ReadFile(target + "Song/music.mp3"), std::string(100000, 'm'));
  EXPECT_EQ(ReadFile(target + "Song/keep.txt"), "stays");
  EXPECT_EQ(ReadFile(target + "Song/sub/deeper/sh"), "1 2 3");
  EXPECT_EQ(ReadFile(target + "Song/Images/bgpic.png"), "png");
  // A second download of the same package replaces the files again.
  EXPECT_EQ(UnpackAll(Archive({File("Song/music.mp3", "new")}, "b.zip"), target),
            std::vector<ZipResult>{ZipResult::kOk});
  EXPECT_EQ(ReadFile(target + "Song/music.mp3"), "new");
  EXPECT_EQ(Tree(target), (std::vector<std::string>{"Song", "Song/Images", "Song/Images/bgpic.png", "Song/keep.txt",
                                                    "Song/music.mp3", "Song/sub", "Song/sub/deeper",
                                                    "Song/sub/deeper/sh"}));
}

TEST_F(ZipArchiveTest, DirectoryOnlyArchiveCreatesTheFolders) {
  const auto zip = Archive({Folder("A/"), Folder("A/B/"), Folder("C\\")});
  EXPECT_EQ(UnpackAll(zip, Target()), std::vector<ZipResult>(3, ZipResult::kOk));
  EXPECT_EQ(Tree(Target()), (std::vector<std::string>{"A", "A/B", "C"}));
}

TEST_F(ZipArchiveTest, HostileNamesStayInsideTheTarget) {
  const std::string target = dir.Path() + "t/inner/";
  const auto zip = Archive({File("../../x", "1"), File("C:\\evil\\f", "2"), File("/abs/g", "3"),
                            File("a\\..\\b", "4"), File("..\\up", "5"), File("a/b/..", "6"), File("../", "7")});
  auto archive = ZipArchive::Open(zip);
  ASSERT_TRUE(archive);
  archive->SetTargetFolder(target);
  std::vector<std::string> names;
  ZipEntry entry;
  for (int i = 0; i < 7; ++i) {
    ASSERT_EQ(archive->Query(i, entry), ZipResult::kOk);
    names.push_back(entry.name);
    archive->Unpack(i, entry.name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"x", "evil/f", "abs/g", "b", "up", "", ""}));
  // A caller that passes an absolute or climbing name still writes below the target.
  EXPECT_EQ(archive->Unpack(0, "/tmp/../../escape"), ZipResult::kOk);
  archive.reset();
  EXPECT_EQ(Tree(dir.Path() + "t"), (std::vector<std::string>{"inner", "inner/abs", "inner/abs/g", "inner/b",
                                                              "inner/escape", "inner/evil", "inner/evil/f",
                                                              "inner/up", "inner/x"}));
  EXPECT_EQ(ReadFile(target + "b"), "4");
}

TEST_F(ZipArchiveTest, SymbolicLinksInTheLibraryAreNeverFollowed) {
  const std::string target = Target();
  const std::string outside = dir.Path() + "outside/";
  fs::create_directories(target);
  fs::create_directories(outside);
  WriteFile(outside + "victim.txt", "untouched");
  fs::create_directory_symlink(outside, target + "Linked");
  fs::create_symlink(outside + "victim.txt", target + "song.txt");
  const auto zip = Archive({File("Linked/planted.txt", "bad"), Folder("Linked/sub/"), File("song.txt", "new")});
  const auto results = UnpackAll(zip, target);
  EXPECT_EQ(results, (std::vector<ZipResult>{ZipResult::kCannotCreate, ZipResult::kCannotCreate, ZipResult::kOk}));
  EXPECT_EQ(Tree(outside), std::vector<std::string>{"victim.txt"});
  EXPECT_EQ(ReadFile(outside + "victim.txt"), "untouched");
  // The link named like the entry was replaced by a file of its own.
  EXPECT_FALSE(fs::is_symlink(target + "song.txt"));
  EXPECT_EQ(ReadFile(target + "song.txt"), "new");
}

TEST_F(ZipArchiveTest, EncryptedEntryIsSkippedWhileTheOthersUnpack) {
  ZipItem secret = File("Song/secret.txt", "hidden words");
  secret.password = "pass";
  ZipItem storedSecret = File("Song/stored.txt", "hidden too");
  storedSecret.password = "pass";
  storedSecret.stored = true;
  const auto zip = Archive({File("Song/a.txt", "A"), secret, storedSecret, File("Song/b.txt", "B")});
  EXPECT_EQ(UnpackAll(zip, Target()), (std::vector<ZipResult>{ZipResult::kOk, ZipResult::kPasswordRequired,
                                                              ZipResult::kPasswordRequired, ZipResult::kOk}));
  EXPECT_EQ(Tree(Target()), (std::vector<std::string>{"Song", "Song/a.txt", "Song/b.txt"}));
}

TEST_F(ZipArchiveTest, ExtendedTimestampAndAttributesReachTheFile) {
  ZipItem timed = File("timed.txt", "t");
  timed.utModification = 1234567890u;
  ZipItem readOnly = File("readonly.txt", "r");
  readOnly.externalAttributes = kReadOnly | kArchive;
  const auto zip = Archive({timed, readOnly, File("dos.txt", "d")});
  auto archive = ZipArchive::Open(zip);
  ASSERT_TRUE(archive);
  ZipEntry entry;
  ASSERT_EQ(archive->Query(0, entry), ZipResult::kOk);
  EXPECT_EQ(entry.modificationTime, UnixTimeToFileTime(1234567890));
  EXPECT_EQ(entry.uncompressedSize, 1);
  archive.reset();
  EXPECT_EQ(UnpackAll(zip, Target()), std::vector<ZipResult>(3, ZipResult::kOk));

  struct stat info {};
  ASSERT_EQ(stat((Target() + "timed.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtim.tv_sec, 1234567890);
  ASSERT_EQ(stat((Target() + "dos.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtim.tv_sec, FileTimeToTimespec(DosTimeToFileTime(0x50A63904)).tv_sec);
  EXPECT_NE(info.st_mode & S_IWUSR, 0u);
  ASSERT_EQ(stat((Target() + "readonly.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0222, 0u);
}

TEST_F(ZipArchiveTest, GbkAndUtf8NamesBecomeUtf8FileNames) {
  ZipItem gbk = File("\xB8\xE8\xC7\xFA\\\xC4\xE3\xBA\xC3.txt", "gbk");  // 歌曲\你好.txt in GBK
  ZipItem utf8 = File("新歌/你好.txt", "utf8");
  utf8.utf8Flag = true;
  const auto zip = Archive({gbk, utf8});
  EXPECT_EQ(UnpackAll(zip, Target()), std::vector<ZipResult>(2, ZipResult::kOk));
  EXPECT_EQ(ReadFile(Target() + "歌曲/你好.txt"), "gbk");
  EXPECT_EQ(ReadFile(Target() + "新歌/你好.txt"), "utf8");
}

TEST_F(ZipArchiveTest, CorruptAndEmptyArchives) {
  WriteFile(dir.Path() + "error.zip", std::string(80, 'e'));
  EXPECT_EQ(ZipArchive::Open(dir.Path() + "error.zip"), nullptr);
  EXPECT_EQ(ZipArchive::Open(dir.Path() + "missing.zip"), nullptr);

  // Cut off the central directory.
  const std::string whole = ReadFile(Archive({File("a.txt", std::string(5000, 'a'))}));
  WriteFile(dir.Path() + "cut.zip", whole.substr(0, whole.size() / 2));
  EXPECT_EQ(ZipArchive::Open(dir.Path() + "cut.zip"), nullptr);

  // An archive without entries: minizip refuses to open it, or it opens and counts 0 entries;
  // either way there is nothing to unpack.
  const std::string empty = Archive({}, "empty.zip");
  auto archive = ZipArchive::Open(empty);
  ZipEntry entry;
  if (archive) {
    EXPECT_EQ(archive->Query(-1, entry), ZipResult::kOk);
    EXPECT_EQ(entry.index, 0);
  }
  EXPECT_TRUE(UnpackAll(empty, Target()).empty());

  archive = ZipArchive::Open(Archive({File("one.txt", "1")}, "one.zip"));
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->Query(1, entry), ZipResult::kBadArgument);
  EXPECT_EQ(archive->Query(-2, entry), ZipResult::kBadArgument);
  EXPECT_EQ(archive->Unpack(5, "x"), ZipResult::kBadArgument);
}

TEST_F(ZipArchiveTest, DamagedDataLeavesNoHalfFileAndKeepsTheOldOne) {
  const std::string target = Target();
  WriteFile(target + "music.mp3", "previous");
  ZipItem stored = File("music.mp3", std::string(40000, 'x'));
  stored.stored = true;
  std::string bytes = ReadFile(Archive({stored, File("ok.txt", "fine")}));
  const auto at = bytes.find(std::string(100, 'x'));
  ASSERT_NE(at, std::string::npos);
  bytes[at + 20000] = 'y';  // the checksum no longer matches
  WriteFile(dir.Path() + "damaged.zip", bytes);
  EXPECT_EQ(UnpackAll(dir.Path() + "damaged.zip", target), (std::vector<ZipResult>{ZipResult::kCorrupt, ZipResult::kOk}));
  EXPECT_EQ(ReadFile(target + "music.mp3"), "previous");
  EXPECT_EQ(Tree(target), (std::vector<std::string>{"music.mp3", "ok.txt"}));

  // Deflated data with a broken stream.
  std::string deflated = ReadFile(Archive({File("d.txt", std::string(30000, 'q') + "tail")}, "d.zip"));
  const auto local = deflated.find("d.txt");
  for (size_t i = local + 5 + 4; i < local + 5 + 24; ++i) deflated[i] = static_cast<char>(0xFF);
  WriteFile(dir.Path() + "d2.zip", deflated);
  const auto results = UnpackAll(dir.Path() + "d2.zip", target);
  ASSERT_EQ(results.size(), 1u);
  EXPECT_NE(results[0], ZipResult::kOk);
  EXPECT_FALSE(fs::exists(target + "d.txt"));
}

}  // namespace
}  // namespace sonavera::delivery
