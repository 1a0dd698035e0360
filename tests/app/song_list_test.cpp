#include "app/song_list.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QListWidget>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/qt_app.h"
#include "app/song_list_widget.h"
#include "content/temp_folder.h"
#include "platform/text_encoding.h"

namespace sonavera::app {
namespace {

using content::testing::TempFolder;
namespace fs = std::filesystem;

std::string Gbk(const std::string& utf8) {
  return platform::Utf8ToGbk(utf8).value();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// A song folder of the library, optionally with a head.bmp: 40 x 40, white border, coloured middle.
void AddSong(const TempFolder& program, const std::string& name, QColor middle = QColor()) {
  const std::string folder = program.Path("歌曲/单曲/" + name);
  fs::create_directories(folder);
  if (!middle.isValid()) return;
  QImage picture(40, 40, QImage::Format_RGB32);
  picture.fill(Qt::white);
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 30; ++x) picture.setPixel(x, y, middle.rgb());
  ASSERT_TRUE(picture.save(QString::fromStdString(folder + "/head.bmp"), "BMP"));
}

class SongListTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::TestApplication(); }
  void WriteCatalogue(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += Gbk(line) + "\r\n";
    WriteBytes(program.Path("List.txt"), text);
  }
  TempFolder program;
};

TEST_F(SongListTest, PicturesFollowTheLibraryInCatalogueOrder) {
  AddSong(program, "月亮代表我的心", Qt::red);
  AddSong(program, "无图歌");
  AddSong(program, "第二张", Qt::blue);
  AddSong(program, "Moon");
  AddSong(program, "坏图片");
  WriteBytes(program.Path("歌曲/单曲/坏图片/head.bmp"), "not a bitmap");
  WriteBytes(program.Path("歌曲/单曲/文件不是目录"), "a file");
  WriteCatalogue({"月亮代表我的心 K 歌 演唱", "没下载 Vexo", "无图歌 男声", "坏图片 x", "第二张 女声",
                  "moon 大小写不同", "文件不是目录 x", "无图歌", ""});
  SongList songs(program.Path());
  songs.FillSongList(false);

  ASSERT_EQ(songs.songListCount, 9);
  const std::vector<int> expected = {2,
                                     kImageNotOnDisk,
                                     kImageOnDisk,
                                     kImageOnDisk,
                                     3,
                                     kImageNotOnDisk,
                                     kImageNotOnDisk,
                                     kImageNotOnDisk,
                                     kImageNotOnDisk};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(songs.Items()[i].image, expected[i]) << i;
  EXPECT_EQ(songs.Pictures().size(), 2u);
  EXPECT_EQ(songs.Items()[0].name, Gbk("月亮代表我的心"));
  EXPECT_EQ(songs.Items()[0].text, Gbk("月亮代表我的心 K 歌 演唱"));
  EXPECT_EQ(songs.Items()[0].displayText, "月亮代表我的心 K 歌 演唱");
  EXPECT_EQ(songs.Items()[7].name, "") << "a line without a blank names no folder";
  EXPECT_EQ(songs.selectedIndex, 0);

  // The head pictures: 32 x 32, white transparent, the middle kept.
  const QImage& first = songs.Pictures()[0];
  EXPECT_EQ(first.size(), QSize(kSongPictureSize, kSongPictureSize));
  EXPECT_EQ(qAlpha(first.pixel(1, 1)), 0);
  EXPECT_EQ(first.pixelColor(16, 16).rgb(), QColor(Qt::red).rgb());
  EXPECT_EQ(songs.Pictures()[1].pixelColor(16, 16).rgb(), QColor(Qt::blue).rgb());
}

TEST_F(SongListTest, MissingFilesGiveAnEmptyListAndKeepTheBanner) {
  SongList songs(program.Path());
  songs.bannerText = "old";
  songs.FillSongList(true);
  EXPECT_EQ(songs.songListCount, 0);
  EXPECT_TRUE(songs.Items().empty());
  EXPECT_EQ(songs.selectedIndex, -1);
  EXPECT_EQ(songs.bannerText, "old");

  // No library folder at all: every song is still to be downloaded.
  WriteCatalogue({"甲 a", "乙 b"});
  WriteBytes(program.Path("AD.txt"), Gbk("欢迎来唱歌") + "\r\nsecond line\r\n");
  songs.FillSongList(false);
  EXPECT_EQ(songs.songListCount, 2);
  EXPECT_EQ(songs.Items()[1].image, kImageNotOnDisk);
  EXPECT_EQ(songs.bannerText, Gbk("欢迎来唱歌"));
  EXPECT_EQ(songs.bannerCopy, songs.bannerText);

  // A refill counts afresh; an empty banner file empties the banner.
  WriteCatalogue({"丙 c"});
  WriteBytes(program.Path("AD.txt"), "");
  songs.FillSongList(false);
  EXPECT_EQ(songs.songListCount, 1);
  EXPECT_EQ(songs.bannerText, "");
}

TEST_F(SongListTest, WidgetShowsTheItemsWithTheirPictures) {
  AddSong(program, "有图", Qt::green);
  AddSong(program, "无图");
  WriteCatalogue({"有图 a", "无图 b", "没有 c"});
  SongList songs(program.Path());
  songs.FillSongList(false);
  QListWidget list;
  list.addItem("stale");
  FillSongListWidget(list, songs);
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list.iconSize(), QSize(32, 32));
  EXPECT_EQ(list.currentRow(), 0);
  EXPECT_TRUE(list.item(0)->isSelected());
  EXPECT_EQ(list.item(1)->text().toStdString(), "无图 b");
  const QImage head = list.item(0)->icon().pixmap(32, 32).toImage();
  EXPECT_EQ(head.pixelColor(16, 16).rgb(), QColor(Qt::green).rgb());
  EXPECT_EQ(list.item(2)->data(Qt::UserRole).toInt(), kImageNotOnDisk);
  EXPECT_FALSE(list.item(2)->icon().isNull());
}

TEST_F(SongListTest, StatePicturesComeFromImagesOrAreDrawn) {
  const QImage drawnOn = SongStatePicture(program.Path() + "/", kImageOnDisk);
  const QImage drawnOff = SongStatePicture(program.Path() + "/", kImageNotOnDisk);
  EXPECT_EQ(drawnOn.size(), QSize(32, 32));
  EXPECT_NE(drawnOn, drawnOff);
  QImage own(64, 64, QImage::Format_ARGB32);
  own.fill(Qt::magenta);
  fs::create_directories(program.Path("Images"));
  ASSERT_TRUE(own.save(QString::fromStdString(program.Path("Images/song_on_disk.png"))));
  const QImage loaded = SongStatePicture(program.Path() + "/", kImageOnDisk);
  EXPECT_EQ(loaded.size(), QSize(32, 32));
  EXPECT_EQ(loaded.pixelColor(16, 16).rgb(), QColor(Qt::magenta).rgb());
}

}  // namespace
}  // namespace sonavera::app
