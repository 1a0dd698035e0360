// The bundled song library the build lays out: every song loads in the form it was written, its
// files are there, and the catalogue, banner, help and folders the program reads are in place.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "content/song_package.h"
#include "platform/text_encoding.h"
#include "song_test_support.h"

namespace sonavera::songtest {
namespace {

namespace fs = std::filesystem;

const std::string kProgram = SONAVERA_PROGRAM_DIR;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// The catalogue as UTF-8 lines.
std::vector<std::string> Catalogue() {
  std::vector<std::string> lines;
  for (const auto& line : Lines(ReadBytes(kProgram + "/List.txt"))) lines.push_back(platform::GbkToUtf8(line));
  return lines;
}

std::string NameOf(const std::string& catalogueLine) { return catalogueLine.substr(0, catalogueLine.find(' ')); }

bool IsKtvLine(const std::string& line) { return line.find("K 歌") != std::string::npos; }

// An MP3 file: an ID3 tag or a frame sync at the start, and some substance.
void ExpectMp3(const fs::path& path) {
  const std::string bytes = ReadBytes(path);
  ASSERT_GT(bytes.size(), 20000u) << path;
  const bool id3 = bytes.rfind("ID3", 0) == 0;
  const bool sync = static_cast<unsigned char>(bytes[0]) == 0xFF && (static_cast<unsigned char>(bytes[1]) & 0xE0) == 0xE0;
  EXPECT_TRUE(id3 || sync) << path;
}

TEST(BundledLibrary, HoldsTheDemoSongsTheCatalogueNames) {
  const std::vector<std::string> catalogue = Catalogue();
  const std::vector<std::string> singles = BundledSongs("单曲");
  const std::vector<std::string> medleys = BundledSongs("串烧歌曲");
  ASSERT_GE(catalogue.size(), 7u);
  int ktv = 0, dance = 0, scored = 0;
  std::set<std::string> listed;
  for (const auto& line : catalogue) {
    const std::string name = NameOf(line);
    listed.insert(name);
    EXPECT_TRUE(fs::is_directory(ShelfFolder("单曲") + "/" + name)) << line;
    if (IsKtvLine(line)) {
      ++ktv;
      const std::string suffix = "_KTV版";
      EXPECT_TRUE(name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
          << line;
    } else {
      ++scored;
    }
    if (line.find("Vexo") != std::string::npos) ++dance;
  }
  EXPECT_GE(scored, 5);
  EXPECT_EQ(ktv, 1);
  EXPECT_EQ(dance, 1);
  EXPECT_EQ(listed.size(), singles.size()) << "every single song is listed once";
  // Medley songs are chosen on the medley page by their catalogue names.
  ASSERT_EQ(medleys.size(), 4u);
  for (const auto& name : medleys) EXPECT_TRUE(listed.count(name)) << name;
}

TEST(BundledLibrary, LaysOutTheFilesBesideTheProgram) {
  EXPECT_TRUE(fs::is_directory(kProgram + "/avi"));
  const std::vector<std::string> banner = Lines(ReadBytes(kProgram + "/AD.txt"));
  ASSERT_FALSE(banner.empty());
  EXPECT_FALSE(banner[0].empty());
  EXPECT_TRUE(platform::Utf8ToGbk(platform::GbkToUtf8(banner[0])).has_value());
  // The help list stops at the first empty line, so every paragraph must come before one.
  const std::vector<std::string> help = Lines(ReadBytes(kProgram + "/init"));
  ASSERT_GE(help.size(), 5u);
  for (const auto& paragraph : help) {
    EXPECT_FALSE(paragraph.empty());
    EXPECT_LT(paragraph.size(), 999u);
    EXPECT_EQ(platform::GbkToUtf8(paragraph).find("\xEF\xBF\xBD"), std::string::npos) << "not GBK";
  }
  const std::string echoHelp = ReadBytes(kProgram + "/zchelp.htm");
  EXPECT_NE(echoHelp.find("<html"), std::string::npos);
  EXPECT_NE(echoHelp.find("sonavera-echo"), std::string::npos);
}

class BundledSingle : public ::testing::TestWithParam<std::string> {};

TEST_P(BundledSingle, LoadsInTheFormItWasWrittenWithItsPictures) {
  const std::string folder = ShelfFolder("单曲") + "/" + GetParam();
  const bool ktv = GetParam().find("_KTV版") != std::string::npos;
  const ToolRun run = RunTool("song " + Quoted(folder) + (ktv ? " --ktv" : " --dance"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_NE(run.out.find("\"ok\":true"), std::string::npos) << run.out.substr(0, 300);

  content::SongTables tables;
  std::string message;
  ASSERT_TRUE(LoadSong(folder, tables, message, ktv, !ktv)) << message;
  const std::string sh = ReadBytes(content::FindSongDataFolder(folder) + "/sh");
  const size_t headerLines = Lines(sh).size();
  if (ktv) {
    EXPECT_GT(tables.ktvReferenceRatio, 0.5f);
    EXPECT_LE(tables.ktvReferenceRatio, 1.0f);
    EXPECT_GE(tables.lyricCueCount, 4);
    EXPECT_GT(tables.lyricEndTime, tables.lyricCues.back().time);
  } else if (headerLines == 1) {
    EXPECT_FALSE(tables.newForm);
    EXPECT_NE(run.out.find("\"videoPath\":\"avi/2.avi\""), std::string::npos);
  } else {
    EXPECT_TRUE(tables.newForm);
    EXPECT_GE(headerLines, 4u);
    EXPECT_NE(run.out.find("\"videoPath\":\"\""), std::string::npos);
  }
  if (!ktv) {
    // One lyric unit per note, and every sung note has a syllable of its own.
    EXPECT_EQ(tables.noteLyrics.size(), tables.noteLength.size());
    EXPECT_EQ(tables.syllables.size(), static_cast<size_t>(std::count_if(
                                           tables.noteLyrics.begin(), tables.noteLyrics.end(),
                                           [](const std::string& unit) { return unit != " "; })));
    EXPECT_FALSE(tables.danceTimes.empty()) << "every single song can be danced";
  }
  const std::string data = content::FindSongDataFolder(folder);
  ExpectMp3(data + "/music.mp3");
  ExpectMp3(data + "/music1.mp3");
  EXPECT_NE(ReadBytes(data + "/music.mp3"), ReadBytes(data + "/music1.mp3")) << "music1.mp3 has the guide voice";

  const std::string head = ReadBytes(folder + "/head.bmp");
  ASSERT_EQ(head.size(), 54u + 32u * 32u * 3u);
  EXPECT_EQ(head.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(head[28]), 24);  // bits per pixel
  QImage head32(QString::fromStdString(folder + "/head.bmp"));
  EXPECT_EQ(head32.width(), 32);
  EXPECT_EQ(head32.pixel(0, 0) & 0xFFFFFFu, 0xFFFFFFu) << "white corners show as transparent";
  QImage background(QString::fromStdString(folder + "/Images/bgpic.png"));
  EXPECT_EQ(background.width(), 800);
  EXPECT_EQ(background.height(), 438);
}

INSTANTIATE_TEST_SUITE_P(EverySingle, BundledSingle, ::testing::ValuesIn(BundledSongs("单曲")),
                         [](const auto& info) { return "song" + std::to_string(info.index); });

class BundledMedley : public ::testing::TestWithParam<std::string> {};

TEST_P(BundledMedley, LoadsAsAMedleySong) {
  const std::string folder = ShelfFolder("串烧歌曲") + "/" + GetParam();
  const ToolRun run = RunTool("song " + Quoted(folder) + " --medley");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_NE(run.out.find("\"ok\":true"), std::string::npos) << run.out.substr(0, 300);
  EXPECT_EQ(content::FindSongDataFolder(folder), folder) << "a medley package has no folders";
  ExpectMp3(folder + "/music.mp3");
  ExpectMp3(folder + "/music1.mp3");
}

INSTANTIATE_TEST_SUITE_P(EveryMedleySong, BundledMedley, ::testing::ValuesIn(BundledSongs("串烧歌曲")),
                         [](const auto& info) { return "song" + std::to_string(info.index); });

TEST(BundledLibrary, MixesBothPackageForms) {
  int oldForm = 0, newForm = 0;
  for (const std::string shelf : {"单曲", "串烧歌曲"}) {
    for (const auto& name : BundledSongs(shelf)) {
      if (name.find("_KTV版") != std::string::npos) continue;
      const std::string data = content::FindSongDataFolder(ShelfFolder(shelf) + "/" + name);
      (Lines(ReadBytes(data + "/sh")).size() == 1 ? oldForm : newForm) += 1;
    }
  }
  EXPECT_GE(oldForm, 3);
  EXPECT_GE(newForm, 3);
}

}  // namespace
}  // namespace sonavera::songtest
