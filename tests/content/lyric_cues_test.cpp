// KTV cue files and cue times.
#include <gtest/gtest.h>

#include "content/song_package.h"
#include "content/text_file.h"
#include "temp_folder.h"

namespace sonavera::content {
namespace {

struct CueTimeCase {
  const char* tag;
  float seconds;
};

class CueTime : public ::testing::TestWithParam<CueTimeCase> {};

TEST_P(CueTime, MinutesAndSeconds) {
  EXPECT_FLOAT_EQ(ParseCueTime(GetParam().tag), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(Tags, CueTime,
                         ::testing::Values(CueTimeCase{"01:02.50", 62.5f}, CueTimeCase{"02:10.00", 130.0f},
                                           CueTimeCase{":07.25", 7.25f}, CueTimeCase{"00:00.00", 0.0f},
                                           CueTimeCase{"3:5", 185.0f}, CueTimeCase{"ti:Song", 0.0f},
                                           CueTimeCase{"90:00.01", 5400.01f}, CueTimeCase{"0102.50", -1.0f},
                                           CueTimeCase{"", -1.0f}));

TEST(LyricCues, OneLineWithTwoTagsGivesTwoCues) {
  SongTables tables;
  ParseLyricCues("[01:02.50][02:10.00]la la\n[03:00.00]\n", tables);
  ASSERT_EQ(tables.lyricCueCount, 2);
  EXPECT_FLOAT_EQ(tables.lyricCues[0].time, 62.5f);
  EXPECT_FLOAT_EQ(tables.lyricCues[1].time, 130.0f);
  EXPECT_EQ(tables.lyricCues[0].text, "la la");
  EXPECT_EQ(tables.lyricCues[1].text, "la la");
  EXPECT_FLOAT_EQ(tables.lyricEndTime, 180.0f);
}

TEST(LyricCues, HeadersAndTimeZeroGiveNoCue) {
  SongTables tables;
  ParseLyricCues("[ti:Song]\n[ar:Singer]\n[00:00.00]intro\n[00:05.00]first\r\n[00:09.00]\r\n", tables);
  ASSERT_EQ(tables.lyricCueCount, 1);
  EXPECT_EQ(tables.lyricCues[0].text, "first");
  EXPECT_FLOAT_EQ(tables.lyricEndTime, 9.0f);
}

TEST(LyricCues, SortedByTimeWithEqualTimesInFileOrder) {
  SongTables tables;
  ParseLyricCues("[00:30.00]c\n[00:10.00]a\n[00:30.00]d\n[00:20.00][00:05.00]b\n[00:40.00]\n", tables);
  std::vector<std::string> texts;
  std::vector<float> times;
  for (const auto& cue : tables.lyricCues) {
    texts.push_back(cue.text);
    times.push_back(cue.time);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"b", "a", "b", "c", "d"}));
  EXPECT_EQ(times, (std::vector<float>{5.0f, 10.0f, 20.0f, 30.0f, 30.0f}));
}

TEST(LyricCues, TheLastTagOnlyLineIsTheEnd) {
  SongTables tables;
  // An empty last line is tag-only and holds no time.
  ParseLyricCues("[00:01.00]a\n[01:00.00]\n\n", tables);
  EXPECT_FLOAT_EQ(tables.lyricEndTime, -1.0f);
  // Without any tag-only line the end time stays as it was.
  tables.lyricEndTime = 7.0f;
  ParseLyricCues("[00:01.00]a", tables);
  EXPECT_FLOAT_EQ(tables.lyricEndTime, 7.0f);
  EXPECT_EQ(tables.lyricCueCount, 1);
}

TEST(LyricCues, AnOverlongLineEndsTheReading) {
  SongTables tables;
  ParseLyricCues("[00:01.00]a\n[00:02.00]" + std::string(990, 'x') + "\n[00:03.00]c\n", tables);
  EXPECT_EQ(tables.lyricCueCount, 1);
  EXPECT_FLOAT_EQ(tables.lyricEndTime, 0.0f);
}

TEST(LyricCues, UnclosedTagsAndTextWithoutTagsAreHarmless) {
  SongTables tables;
  ParseLyricCues("plain text\n[00:04.00]ok\n[00:05.00\n[\n", tables);
  ASSERT_EQ(tables.lyricCueCount, 1);
  EXPECT_EQ(tables.lyricCues[0].text, "ok");
}

TEST(LyricCues, AFileThatCannotBeOpenedChangesNothing) {
  testing::TempFolder temp;
  SongTables tables;
  tables.lyricCues.push_back({1.0f, "kept"});
  tables.lyricCueCount = 1;
  tables.lyricEndTime = 3.0f;
  LoadLyricCues(temp.Path("missing.lrc"), tables);
  EXPECT_EQ(tables.lyricCueCount, 1);
  EXPECT_FLOAT_EQ(tables.lyricEndTime, 3.0f);

  ASSERT_TRUE(WriteFileBytes(temp.Path("ktv.lrc"), "[00:02.00]new\n[00:04.00]\n"));
  LoadLyricCues(temp.Path("ktv.lrc"), tables);
  ASSERT_EQ(tables.lyricCueCount, 1);
  EXPECT_EQ(tables.lyricCues[0].text, "new");
  EXPECT_FLOAT_EQ(tables.lyricEndTime, 4.0f);
}

}  // namespace
}  // namespace sonavera::content
