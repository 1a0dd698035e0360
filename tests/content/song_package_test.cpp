// Loading song packages: the forms, KTV, medley and the dance chart.
#include "content/song_package.h"

#include <gtest/gtest.h>

#include "content/package_writer.h"
#include "content/scrambled_line.h"
#include "content/text_file.h"
#include "temp_folder.h"

namespace sonavera::content {
namespace {

using testing::TempFolder;

SongLoadOptions Options(const std::string& folder) {
  SongLoadOptions options;
  options.programFolder = "/prog/";
  options.dataFolder = folder;
  options.fallbackTitle = "\xE6\xAD\x8C";  // 歌 in UTF-8
  return options;
}

SongPackageSpec OneLine(PackageForm form, std::vector<int> frames) {
  SongPackageSpec spec;
  spec.form = form;
  spec.title = "Title";
  spec.lines.push_back({1.0f, 2.0f, std::move(frames)});
  spec.closingStart = 3.0f;
  spec.closingEnd = 4.0f;
  spec.lyric = "a b c d e f ";
  return spec;
}

struct Loaded {
  bool ok = false;
  std::string message;
  SongTables tables;
};

Loaded Load(const SongLoadOptions& options) {
  Loaded loaded;
  loaded.ok = LoadSongPackage(options, loaded.tables, loaded.message);
  return loaded;
}

Loaded WriteAndLoad(const TempFolder& temp, const SongPackageSpec& spec) {
  std::string message;
  EXPECT_TRUE(WriteSongPackage(temp.Path("song"), spec, message)) << message;
  return Load(Options(temp.Path("song")));
}

struct FormValueCase {
  PackageForm form;
  int written;
  int loaded;
};

class FrameValues : public ::testing::TestWithParam<FormValueCase> {};

TEST_P(FrameValues, NewFormWholeSemitonesBecomeTenths) {
  TempFolder temp;
  const auto& c = GetParam();
  const Loaded loaded = WriteAndLoad(temp, OneLine(c.form, {c.written, 0}));
  ASSERT_TRUE(loaded.ok) << loaded.message;
  EXPECT_EQ(loaded.tables.lineRefs, (std::vector<int>{2, c.loaded, 0}));
  EXPECT_EQ(loaded.tables.notePitch[0], c.loaded);
  EXPECT_EQ(loaded.tables.lineVoiced[0], c.loaded > 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Grid, FrameValues,
    ::testing::Values(FormValueCase{PackageForm::kNew, 60, 600}, FormValueCase{PackageForm::kNew, 99, 990},
                      FormValueCase{PackageForm::kNew, 100, 100}, FormValueCase{PackageForm::kNew, 655, 655},
                      FormValueCase{PackageForm::kNew, -3, -30}, FormValueCase{PackageForm::kOld, 60, 60},
                      FormValueCase{PackageForm::kOld, 655, 655}));

TEST(SongPackage, TheClosingEntryEndsTwoAndAHalfSecondsLater) {
  TempFolder temp;
  const Loaded loaded = WriteAndLoad(temp, OneLine(PackageForm::kOld, {600}));
  ASSERT_TRUE(loaded.ok) << loaded.message;
  EXPECT_EQ(loaded.tables.lineStart, (std::vector<float>{1.0f, 3.0f}));
  EXPECT_EQ(loaded.tables.lineEnd, (std::vector<float>{2.0f, 6.5f}));
}

TEST(SongPackage, TheTenFrameLineThroughTheLoader) {
  TempFolder temp;
  SongPackageSpec spec = OneLine(PackageForm::kNew, {0, 0, 60, 60, 60, 0, 0, 62, 62, 0});
  spec.lines.push_back({2.5f, 3.0f, {640}});
  spec.lyric = "\xB0\xAE\xC4\xE3\n\xCE\xD2\xCB\xFB\n";  // 爱你 / 我他
  const Loaded loaded = WriteAndLoad(temp, spec);
  ASSERT_TRUE(loaded.ok) << loaded.message;
  const SongTables& t = loaded.tables;
  EXPECT_EQ(t.notePitch, (std::vector<int>{0, 600, 0, 620, 640}));
  EXPECT_EQ(t.noteLength, (std::vector<int>{3, 3, 3, 2}));
  EXPECT_EQ(t.noteLyrics, (std::vector<std::string>{"\xB0\xAE", "\xC4\xE3", " ", "\xCE\xD2", "\xCB\xFB"}));
  EXPECT_EQ(t.lineNoteCount, (std::vector<int>{4, 0, 0}));
  EXPECT_EQ(t.lineVoiced, (std::vector<int>{5, 1, 0}));
  EXPECT_EQ(t.syllables.size(), 4u);
}

TEST(SongPackage, OutdatedHeadersAreRefused) {
  for (int lines : {2, 3}) {
    TempFolder temp;
    const Loaded written = WriteAndLoad(temp, OneLine(PackageForm::kNew, {600}));
    ASSERT_TRUE(written.ok);
    std::string header;
    for (int i = 0; i < lines; ++i) header += EncodeScrambledLine("2") + "\n";
    ASSERT_TRUE(WriteFileBytes(temp.Path("song/sh"), header));
    const Loaded loaded = Load(Options(temp.Path("song")));
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.message, "该歌曲版本过旧，请更新至新版本歌曲包");
    EXPECT_FALSE(loaded.tables.HasTimingTables());
    EXPECT_TRUE(loaded.tables.pitchFrames.empty());
  }
}

TEST(SongPackage, TheNewFormTitleSkipsItsLineBreak) {
  TempFolder temp;
  ASSERT_TRUE(WriteAndLoad(temp, OneLine(PackageForm::kNew, {600})).ok);
  const std::string header = EncodeScrambledLine("7") + "\r\n" + EncodeScrambledLine("Name\r\n") + "\r\n" +
                             EncodeScrambledLine("2") + "\r\n" + EncodeScrambledLine("x") + "\r\n";
  ASSERT_TRUE(WriteFileBytes(temp.Path("song/sh"), header));
  const Loaded loaded = Load(Options(temp.Path("song")));
  ASSERT_TRUE(loaded.ok) << loaded.message;
  EXPECT_EQ(loaded.tables.songTitle, "Name");
}

TEST(SongPackage, KtvSongsReadCuesAndTheRatioOnly) {
  TempFolder temp;
  SongPackageSpec spec;
  spec.ktv = true;
  spec.ktvReferenceRatio = 0.42f;
  spec.cues = {{12.5f, "\xCE\xD2"}, {3.0f, "first"}};
  spec.cueEndTime = 200.0f;
  // A stale "st" of another kind is not read.
  ASSERT_TRUE(WriteAndLoad(temp, OneLine(PackageForm::kOld, {600})).ok);
  SongLoadOptions options = Options(temp.Path("song"));
  options.ktvMode = true;
  std::string message;
  ASSERT_TRUE(WriteSongPackage(temp.Path("song"), spec, message)) << message;
  const Loaded loaded = Load(options);
  ASSERT_TRUE(loaded.ok) << loaded.message;
  const SongTables& t = loaded.tables;
  EXPECT_EQ(t.lineCount, 0);
  EXPECT_FALSE(t.HasTimingTables());
  EXPECT_TRUE(t.lineRefs.empty());
  EXPECT_TRUE(t.notePitch.empty());
  EXPECT_FLOAT_EQ(t.ktvReferenceRatio, 0.42f);
  ASSERT_EQ(t.lyricCueCount, 2);
  EXPECT_EQ(t.lyricCues[0].text, "first");
  EXPECT_FLOAT_EQ(t.lyricCues[1].time, 12.5f);
  EXPECT_FLOAT_EQ(t.lyricEndTime, 200.0f);
  EXPECT_EQ(t.videoPath, "");
  EXPECT_EQ(t.songTitle, "\xB8\xE8");  // the folder's name, as GBK
  EXPECT_EQ(t.pitchFrames.size(), 2560u);
}

TEST(SongPackage, MedleySongsNeedNoLyricOrDanceChart) {
  TempFolder temp;
  ASSERT_TRUE(WriteAndLoad(temp, OneLine(PackageForm::kNew, {600, 600, 0, 610})).ok);
  std::filesystem::remove(temp.Path("song/Lyric"));
  SongLoadOptions options = Options(temp.Path("song"));
  options.medleyMode = true;
  options.danceOn = true;
  const Loaded loaded = Load(options);
  ASSERT_TRUE(loaded.ok) << loaded.message;
  EXPECT_EQ(loaded.tables.noteLyrics, (std::vector<std::string>{"", " ", ""}));
  EXPECT_TRUE(loaded.tables.syllables.empty());
  EXPECT_TRUE(loaded.tables.danceTimes.empty());
  // A single song needs its "Lyric".
  options.medleyMode = false;
  options.danceOn = false;
  const Loaded single = Load(options);
  EXPECT_FALSE(single.ok);
  EXPECT_NE(single.message.find(temp.Path("song/Lyric")), std::string::npos) << single.message;
}

TEST(SongPackage, DanceChartHasOneStepPerTwoLines) {
  TempFolder temp;
  ASSERT_TRUE(WriteAndLoad(temp, OneLine(PackageForm::kOld, {600})).ok);
  SongLoadOptions options = Options(temp.Path("song"));
  options.danceOn = true;
  // Five lines (the last without a line break): two steps; the fifth number is not read.
  ASSERT_TRUE(WriteFileBytes(temp.Path("song/dance.txt"), "1.5\n1\n2.25 10\n\n3.0"));
  Loaded loaded = Load(options);
  ASSERT_TRUE(loaded.ok) << loaded.message;
  EXPECT_EQ(loaded.tables.danceTimes, (std::vector<float>{1.5f, 2.25f}));
  EXPECT_EQ(loaded.tables.danceCodes, (std::vector<int>{1, 10}));

  // The dance chart is read before the scored tables, and for KTV songs too.
  SongPackageSpec spec;
  spec.danceTimes = {4.0f, 5.5f, 7.0f};
  spec.danceCodes = {1111, 1000, 1111};
  spec.ktv = true;
  spec.ktvReferenceRatio = 0.5f;
  spec.cueEndTime = 10.0f;
  std::string message;
  ASSERT_TRUE(WriteSongPackage(temp.Path("song"), spec, message)) << message;
  options.ktvMode = true;
  loaded = Load(options);
  ASSERT_TRUE(loaded.ok) << loaded.message;
  EXPECT_EQ(loaded.tables.danceTimes, spec.danceTimes);
  EXPECT_EQ(loaded.tables.danceCodes, spec.danceCodes);
}

TEST(SongPackage, LoadingAgainStartsFromEmptyTables) {
  TempFolder temp;
  const Loaded first = WriteAndLoad(temp, OneLine(PackageForm::kOld, {600, 610}));
  ASSERT_TRUE(first.ok);
  SongTables tables = first.tables;
  std::string message;
  ASSERT_TRUE(LoadSongPackage(Options(temp.Path("song")), tables, message)) << message;
  EXPECT_EQ(tables.lineRefs, first.tables.lineRefs);
  EXPECT_EQ(tables.notePitch, first.tables.notePitch);
  EXPECT_EQ(tables.noteLyrics, first.tables.noteLyrics);
  ReleaseSongTables(tables);
  EXPECT_EQ(tables.lineCount, 0);
  EXPECT_TRUE(tables.lineRefs.empty());
  EXPECT_TRUE(tables.pitchFrames.empty());
  EXPECT_TRUE(tables.songTitle.empty());
}

}  // namespace
}  // namespace sonavera::content
