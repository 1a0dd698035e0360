// Finding a song's data folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "content/song_package.h"
#include "temp_folder.h"

namespace sonavera::content {
namespace {

namespace fs = std::filesystem;

TEST(DataFolder, TheLastDirectoryOfADepthFirstWalkInByteOrderWins) {
  testing::TempFolder temp;
  const std::string song = temp.Path("song");
  // Byte order: "B" < "a" < "b" < "\xE6..." (a UTF-8 name); "a" has a deeper folder, but "b" comes later
  // and the non-ASCII name later still, where "deep/x" is visited last.
  for (const char* sub : {"a/inner", "B", "b", "\xE6\xAD\x8C/deep/x", "\xE6\xAD\x8C/deep/a"}) {
    fs::create_directories(song + "/" + sub);
  }
  // Files are not folders.
  std::FILE* file = std::fopen((song + "/zz").c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_EQ(FindSongDataFolder(song), song + "/\xE6\xAD\x8C/deep/x");
  EXPECT_EQ(FindSongDataFolder(song + "/"), song + "/\xE6\xAD\x8C/deep/x");
  EXPECT_EQ(FindSongDataFolder(song + "/a"), song + "/a/inner");
}

TEST(DataFolder, AFolderWithoutSubfoldersIsItsOwnDataFolder) {
  testing::TempFolder temp;
  fs::create_directories(temp.Path("song"));
  EXPECT_EQ(FindSongDataFolder(temp.Path("song")), temp.Path("song"));
  EXPECT_EQ(FindSongDataFolder(temp.Path("song") + "//"), temp.Path("song"));
  EXPECT_EQ(FindSongDataFolder(temp.Path("missing")), temp.Path("missing"));
}

TEST(DataFolder, ALinkLoopEnds) {
  testing::TempFolder temp;
  fs::create_directories(temp.Path("song/data"));
  fs::create_directory_symlink(temp.Path("song"), temp.Path("song/data/loop"));
  const std::string found = FindSongDataFolder(temp.Path("song"));
  EXPECT_EQ(found.rfind(temp.Path("song/data/loop"), 0), 0u) << found;
}

}  // namespace
}  // namespace sonavera::content
