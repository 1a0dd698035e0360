// Reference frames and lyric units: what the package loader reads back must give every syllable
// its own note, in both package forms.
#include "songgen/reference_builder.h"

#include <gtest/gtest.h>

#include "content/package_writer.h"
#include "content/song_package.h"
#include "platform/text_encoding.h"
#include "song_test_support.h"

namespace sonavera::songgen {
namespace {

TimedNote Note(double start, double length, int midi, const std::string& text, bool wordEnd = true,
               bool hold = false) {
  TimedNote note;
  note.start = start;
  note.length = length;
  note.pitch = midi * 10;
  note.text = text;
  note.wordEnd = wordEnd;
  note.hold = hold;
  return note;
}

struct UnitCase {
  const char* syllable;
  bool wordEnd;
  std::vector<std::string> units;  // UTF-8 text of each unit with its separator
};

void PrintTo(const UnitCase& c, std::ostream* os) {
  *os << c.syllable;
}

class LyricUnits : public ::testing::TestWithParam<UnitCase> {};

TEST_P(LyricUnits, SplitAsTheLoaderWillReadThem) {
  std::vector<LyricUnit> units;
  std::string error;
  ASSERT_TRUE(SplitLyricUnits(GetParam().syllable, GetParam().wordEnd, units, error)) << error;
  std::vector<std::string> texts;
  for (const auto& unit : units)
    texts.push_back(platform::GbkToUtf8(unit.bytes) +
                    (unit.wide ? std::string() : std::string(1, unit.separator)));
  EXPECT_EQ(texts, GetParam().units);
}

INSTANTIATE_TEST_SUITE_P(Grid, LyricUnits,
                         ::testing::Values(UnitCase{"love", true, {"love "}},
                                           UnitCase{"Twin", false, {"Twin-"}}, UnitCase{"星", true, {"星"}},
                                           UnitCase{"你好", true, {"你", "好"}},
                                           UnitCase{"café", true, {"caf-", "é"}},
                                           UnitCase{"well-known", true, {"well-", "known "}},
                                           UnitCase{"two words", false, {"two ", "words-"}},
                                           UnitCase{"", true, {"-"}}, UnitCase{"Row,", true, {"Row, "}}));

TEST(LyricUnits, ACharacterWithoutGbkFormIsNamed) {
  std::vector<LyricUnit> units;
  std::string error;
  EXPECT_FALSE(SplitLyricUnits("smile\xF0\x9F\x98\x80", true, units, error));
  EXPECT_NE(error.find("U+1F600"), std::string::npos) << error;
  EXPECT_FALSE(SplitLyricUnits("\xFF\xFE", true, units, error));
  EXPECT_NE(error.find("not valid UTF-8"), std::string::npos) << error;
}

TEST(ReferenceFrames, RestBetweenNotesAndOneRestFrameAtTheLineEnd) {
  TimedSong song;
  song.lines.push_back({{Note(1.0, 0.16, 60, "a"), Note(1.16, 0.16, 60, "b"), Note(1.32, 0.096, 62, "c")}});
  ReferenceTables tables;
  std::string error;
  ASSERT_TRUE(BuildReference(song, tables, error)) << error;
  ASSERT_EQ(tables.lineFrames.size(), 1u);
  const std::vector<int> expected = {600, 600, 600, 600, 600, 600, 600, 600, 0, 0,  // a: 10 frames
                                     600, 600, 600, 600, 600, 600, 600, 600, 0, 0,  // b, same pitch
                                     620, 620, 620, 620, 0};                        // c, one rest frame
  EXPECT_EQ(tables.lineFrames[0], expected);
  EXPECT_FLOAT_EQ(tables.lineStart[0], 1.0f);
  EXPECT_FLOAT_EQ(tables.lineEnd[0], 1.0f + 25 * 0.016f);
  EXPECT_EQ(tables.lyric, "a b c \n");
}

TEST(ReferenceFrames, AHoldCarriesThePitchOnWithoutARest) {
  TimedSong song;
  song.lines.push_back({{Note(0.0, 0.16, 60, "la"), Note(0.16, 0.16, 64, "", true, true)}});
  ReferenceTables tables;
  std::string error;
  ASSERT_TRUE(BuildReference(song, tables, error)) << error;
  const std::vector<int>& f = tables.lineFrames[0];
  ASSERT_EQ(f.size(), 19u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(f[i], 600) << i;
  for (int i = 10; i < 18; ++i) EXPECT_EQ(f[i], 640) << i;
  EXPECT_EQ(tables.lyric, "la \n");
}

TEST(ReferenceFrames, FreeNotesStartLinesOrAreReported) {
  TimedSong song;
  TimedNote freeStart = Note(0.0, 0.2, 0, "oh");
  TimedNote freeMiddle = Note(0.6, 0.2, 0, "yeah");
  TimedNote freeEnd = Note(1.4, 0.2, 0, "hey");
  song.lines.push_back(
      {{freeStart, Note(0.2, 0.4, 60, "one"), freeMiddle, Note(0.8, 0.4, 62, "two"), freeEnd}});
  song.lines.push_back({{Note(2.0, 0.4, 0, "only free")}});
  ReferenceTables tables;
  std::string error;
  ASSERT_TRUE(BuildReference(song, tables, error)) << error;
  ASSERT_EQ(tables.lineFrames.size(), 2u) << "a free note inside a line starts a new one";
  EXPECT_EQ(tables.lineTexts[0], "oh one");
  EXPECT_EQ(tables.lineTexts[1], "yeah two");
  EXPECT_EQ(tables.lineFrames[0][0], 0) << "a leading free note is a rest";
  ASSERT_EQ(tables.warnings.size(), 2u);
  EXPECT_NE(tables.warnings[0].find("hey"), std::string::npos);
  EXPECT_NE(tables.warnings[1].find("only free"), std::string::npos);
}

TEST(ReferenceFrames, RefusesWhatCannotBeRead) {
  ReferenceTables tables;
  std::string error;
  TimedSong tooShort;
  tooShort.lines.push_back({{Note(0.0, 0.03, 60, "x")}});
  EXPECT_FALSE(BuildReference(tooShort, tables, error));
  EXPECT_NE(error.find("too short"), std::string::npos) << error;
  TimedSong overlapping;
  overlapping.lines.push_back({{Note(1.0, 1.0, 60, "a")}});
  overlapping.lines.push_back({{Note(1.5, 1.0, 60, "b")}});
  EXPECT_FALSE(BuildReference(overlapping, tables, error));
  EXPECT_NE(error.find("overlaps"), std::string::npos) << error;
  TimedSong nothing;
  EXPECT_FALSE(BuildReference(nothing, tables, error));
  TimedSong emoji;
  emoji.lines.push_back({{Note(0.0, 0.5, 60, "\xF0\x9F\x98\x80")}});
  EXPECT_FALSE(BuildReference(emoji, tables, error));
  EXPECT_NE(error.find("U+1F600"), std::string::npos) << error;
}

// Written with the package writer and read back with the loader: every syllable sits under the note
// it was written for, and holds and rests show a blank.
class ReferenceRoundTrip : public ::testing::TestWithParam<content::PackageForm> {};

TEST_P(ReferenceRoundTrip, EverySyllableLandsOnItsNote) {
  TimedSong song;
  song.lines.push_back(
      {{Note(2.0, 0.5, 60, "Twin", false), Note(2.5, 0.5, 60, "kle"), Note(3.0, 0.5, 67, "你好"),
        Note(3.5, 0.5, 69, "", true, true), Note(4.0, 1.0, 67, "café")}});
  song.lines.push_back({{Note(6.0, 0.5, 65, "星"), Note(7.0, 0.5, 64, "end")}});
  ReferenceTables tables;
  std::string error;
  ASSERT_TRUE(BuildReference(song, tables, error)) << error;

  content::SongPackageSpec spec;
  spec.form = GetParam();
  spec.title = "T";
  for (size_t i = 0; i < tables.lineStart.size(); ++i)
    spec.lines.push_back({tables.lineStart[i], tables.lineEnd[i], tables.lineFrames[i]});
  spec.closingStart = spec.closingEnd = tables.lineEnd.back() + 0.5f;
  spec.lyric = tables.lyric;
  songtest::TempFolder temp;
  ASSERT_TRUE(content::WriteSongPackage(temp.Path("song"), spec, error)) << error;
  content::SongTables loaded;
  ASSERT_TRUE(songtest::LoadSong(temp.Path("song"), loaded, error)) << error;

  std::vector<std::string> sung;  // units under sounding notes
  for (size_t k = 0; k < loaded.noteLyrics.size(); ++k)
    if (loaded.notePitch[k] > 0) sung.push_back(platform::GbkToUtf8(loaded.noteLyrics[k]));
  const std::vector<std::string> expected = {"Twin", "kle ", "你", "好", " ", "caf", "é", "星", "end "};
  EXPECT_EQ(sung, expected);
  EXPECT_EQ(loaded.lineNoteCount[1], 3);  // the rest after 星, end, and the open rest at the line end
}

INSTANTIATE_TEST_SUITE_P(BothForms, ReferenceRoundTrip,
                         ::testing::Values(content::PackageForm::kOld, content::PackageForm::kNew),
                         [](const auto& info) {
                           return std::string(info.param == content::PackageForm::kOld ? "OldForm"
                                                                                       : "NewForm");
                         });

}  // namespace
}  // namespace sonavera::songgen
