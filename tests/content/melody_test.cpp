// Lyric units and the notes built from reference frames.
#include <gtest/gtest.h>

#include "content/note_builder.h"
#include "content/syllables.h"

namespace sonavera::content {
namespace {

const std::string kZi = "\xD7\xD6";  // 字 in GBK
const std::string kAi = "\xB0\xAE";  // 爱

TEST(Syllables, EnglishWordsKeepTheirBlankAndDashesSplit) {
  EXPECT_EQ(SplitSyllables({"I love-you " + kZi}), (std::vector<std::string>{"I ", "love", "you ", kZi}));
}

TEST(Syllables, EmptyUnitsAndLostWords) {
  // Two blanks give a unit " "; a dash right after a unit gives an empty unit; a word still pending
  // when a double-byte character follows is lost.
  EXPECT_EQ(SplitSyllables({"a  b-" + kAi + "-"}), (std::vector<std::string>{"a ", " ", "b", kAi, ""}));
  EXPECT_EQ(SplitSyllables({"lost" + kZi}), (std::vector<std::string>{kZi}));
}

TEST(Syllables, LinesAreWalkedAsOneText) {
  EXPECT_EQ(SplitSyllables({kAi + kZi, "go ", ""}), (std::vector<std::string>{kAi, kZi, "go "}));
  // A word left at the end of a line carries over into the next line's first word.
  EXPECT_EQ(SplitSyllables({"end", "next "}), (std::vector<std::string>{"endnext "}));
}

TEST(Syllables, ALeadByteAtTheEndOfALineIsKeptAlone) {
  EXPECT_EQ(SplitSyllables({"a \xB0", "b "}), (std::vector<std::string>{"a ", "\xB0", "b "}));
}

struct BuiltNotes {
  SongTables tables;
  std::vector<int> opened;
  bool ok = true;
};

BuiltNotes Build(const std::vector<std::vector<int>>& lines, const std::vector<std::string>& syllables,
                 bool emptyUnits = false) {
  BuiltNotes result;
  NoteBuilder builder(result.tables, syllables, emptyUnits);
  for (const auto& frames : lines) {
    int opened = -1;
    result.ok = builder.AddLine(frames, opened);
    if (!result.ok) break;
    result.opened.push_back(opened);
  }
  return result;
}

const std::vector<std::string> kSyllables{"s1", "s2", "s3", "s4", "s5"};

TEST(NoteBuilder, TenFrameLine) {
  const auto built = Build({{0, 0, 600, 600, 600, 0, 0, 620, 620, 0}}, kSyllables);
  ASSERT_TRUE(built.ok);
  // Rests are one frame longer than their run; the rest opened on the last frame stays open.
  EXPECT_EQ(built.tables.notePitch, (std::vector<int>{0, 600, 0, 620, 0}));
  EXPECT_EQ(built.tables.noteLength, (std::vector<int>{3, 3, 3, 2}));
  EXPECT_EQ(built.tables.noteLyrics, (std::vector<std::string>{"s1", "s2", " ", "s3"}));
  EXPECT_EQ(built.opened, (std::vector<int>{4}));
}

TEST(NoteBuilder, TheNextLineTakesOverTheOpenNote) {
  const auto built = Build({{0, 0, 600, 600, 600, 0, 0, 620, 620, 0}, {650, 650, 660}}, kSyllables);
  ASSERT_TRUE(built.ok);
  EXPECT_EQ(built.tables.notePitch, (std::vector<int>{0, 600, 0, 620, 650, 660}));
  EXPECT_EQ(built.tables.noteLength, (std::vector<int>{3, 3, 3, 2, 2}));
  // The open note gets the next syllable; a change on a line's last frame adds no unit.
  EXPECT_EQ(built.tables.noteLyrics, (std::vector<std::string>{"s1", "s2", " ", "s3", "s4"}));
  EXPECT_EQ(built.opened, (std::vector<int>{4, 1}));
}

TEST(NoteBuilder, ARestEndingOnTheLastFrameStillHandsOutASyllable) {
  const auto built = Build({{0, 0, 600}, {610}}, kSyllables);
  ASSERT_TRUE(built.ok);
  EXPECT_EQ(built.tables.notePitch, (std::vector<int>{0, 610}));
  EXPECT_EQ(built.tables.noteLyrics, (std::vector<std::string>{"s1", "s2", "s3"}));
}

TEST(NoteBuilder, EmptyLinesOpenNoNotes) {
  const auto built = Build({{}, {600, 600}, {}}, kSyllables);
  ASSERT_TRUE(built.ok);
  EXPECT_EQ(built.opened, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(built.tables.notePitch, (std::vector<int>{600}));
  EXPECT_TRUE(built.tables.noteLength.empty());
}

TEST(NoteBuilder, RunningOutOfSyllablesFails) {
  const auto built = Build({{600, 0, 610}, {620}}, {"only"});
  EXPECT_FALSE(built.ok);
  EXPECT_EQ(built.opened.size(), 0u);
  EXPECT_EQ(built.tables.noteLyrics, (std::vector<std::string>{"only", " "}));
}

TEST(NoteBuilder, MedleyNotesGetEmptyUnits) {
  const auto built = Build({{0, 600, 600, 0, 610}, {620}}, {}, true);
  ASSERT_TRUE(built.ok);
  EXPECT_EQ(built.tables.noteLyrics, (std::vector<std::string>{"", "", " ", "", ""}));
}

}  // namespace
}  // namespace sonavera::content
