// Our score format: pitches, settings, notes and dance steps, and clear errors for bad scores.
#include <gtest/gtest.h>

#include "songgen/score.h"

namespace sonavera::songgen {
namespace {

struct PitchCase {
  const char* token;
  int midi;
};

void PrintTo(const PitchCase& c, std::ostream* os) {
  *os << c.token;
}

class PitchNames : public ::testing::TestWithParam<PitchCase> {};

TEST_P(PitchNames, GiveMidiNumbers) {
  EXPECT_EQ(ParsePitch(GetParam().token), GetParam().midi) << GetParam().token;
}

INSTANTIATE_TEST_SUITE_P(Grid, PitchNames,
                         ::testing::Values(PitchCase{"C4", 60}, PitchCase{"A4", 69}, PitchCase{"F#3", 54},
                                           PitchCase{"Bb4", 70}, PitchCase{"c5", 72}, PitchCase{"B-1", 11},
                                           PitchCase{"60", 60}, PitchCase{"127", 127}, PitchCase{"128", -1},
                                           PitchCase{"H4", -1}, PitchCase{"C", -1}, PitchCase{"C4x", -1},
                                           PitchCase{"", -1}, PitchCase{"G10", -1}));

const char* const kScore = R"(# a comment
name 测试歌
title Test Song
catalogue 测试歌 Vexo
shelf medley
form old
tempo 120
ktv yes
ktvratio 0.85
meter 3
intro 3
outro 3
style waltz
vowels ou
chordbeats 3
chords C Am F#m7 Bb7
line C4 1 Twin- C4 1 kle G4 1/2 _ r 1.5
line 62 2 我 r 1
dance 3 1  4 1111  5 1001
dance-run 6 9 1 10 100
)";

TEST(ScoreFormat, ReadsEverySetting) {
  Score score;
  std::string error;
  ASSERT_TRUE(ParseScore(kScore, score, error)) << error;
  EXPECT_EQ(score.name, "测试歌");
  EXPECT_EQ(score.title, "Test Song");
  EXPECT_EQ(score.catalogueLine, "测试歌 Vexo");
  EXPECT_EQ(score.shelf, SongShelf::kMedley);
  EXPECT_FALSE(score.newForm);
  EXPECT_TRUE(score.ktv);
  EXPECT_EQ(score.ktvRatio, 0.85);
  EXPECT_EQ(score.tempo, 120.0);
  EXPECT_EQ(score.beatsPerBar, 3);
  EXPECT_EQ(score.chordBeats, 3);
  EXPECT_EQ(score.style, "waltz");
  EXPECT_EQ(score.vowels, "ou");
  ASSERT_EQ(score.chords.size(), 4u);
  EXPECT_EQ(score.chords[1].root, 9);
  EXPECT_TRUE(score.chords[1].minor);
  EXPECT_EQ(score.chords[2].root, 6);
  EXPECT_TRUE(score.chords[2].minor && score.chords[2].seventh);
  EXPECT_EQ(score.chords[3].root, 10);
  EXPECT_TRUE(score.chords[3].seventh && !score.chords[3].minor);
  ASSERT_EQ(score.lines.size(), 2u);
  ASSERT_EQ(score.lines[0].size(), 4u);
  EXPECT_EQ(score.lines[0][2].beats, 0.5);
  EXPECT_TRUE(score.lines[0][2].hold);
  EXPECT_EQ(score.lines[0][3].midi, 0);
  EXPECT_EQ(score.lines[1][0].midi, 62);
  EXPECT_EQ(TotalBeats(score), 3.0 + 4.0 + 3.0 + 3.0);
  ASSERT_EQ(score.dance.size(), 6u);
  EXPECT_EQ(score.dance[1].code, 1111);
  EXPECT_EQ(score.dance[4].beat, 7.0);
  EXPECT_EQ(score.dance[5].code, 10);
}

TEST(ScoreFormat, TimesNotesFromTheIntroAndJoinsSyllablesIntoWords) {
  Score score;
  std::string error;
  ASSERT_TRUE(ParseScore(kScore, score, error)) << error;
  const TimedSong song = ScoreToTimedSong(score);
  ASSERT_EQ(song.lines.size(), 2u);
  ASSERT_EQ(song.lines[0].notes.size(), 3u);
  const TimedNote& twin = song.lines[0].notes[0];
  EXPECT_DOUBLE_EQ(twin.start, 1.5);  // three beats at 120 per minute
  EXPECT_DOUBLE_EQ(twin.length, 0.5);
  EXPECT_EQ(twin.pitch, 600);
  EXPECT_EQ(twin.text, "Twin");
  EXPECT_FALSE(twin.wordEnd);
  EXPECT_TRUE(song.lines[0].notes[1].wordEnd);
  EXPECT_TRUE(song.lines[0].notes[2].hold);
  // The rest after the hold moves the next line on by 1.5 beats.
  EXPECT_DOUBLE_EQ(song.lines[1].notes[0].start, 1.5 + 2.5 * 0.5 + 0.75);
}

struct BadScore {
  const char* text;
  const char* error;
};

void PrintTo(const BadScore& c, std::ostream* os) {
  *os << c.error;
}

class MalformedScores : public ::testing::TestWithParam<BadScore> {};

TEST_P(MalformedScores, FailWithTheLineAndTheReason) {
  Score score;
  std::string error;
  EXPECT_FALSE(ParseScore(GetParam().text, score, error));
  EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Grid, MalformedScores,
    ::testing::Values(BadScore{"name a\nline C4 1 x\nfoo bar\n", "line 3: unknown key 'foo'"},
                      BadScore{"name a\nline X4 1 x\n", "line 2: 'X4' is not a pitch"},
                      BadScore{"name a\nline C4 1\n", "needs a syllable"},
                      BadScore{"name a\nline C4 -1 x\n", "needs a length in beats"},
                      BadScore{"name a\nline C4 zero x\n", "needs a length in beats"},
                      BadScore{"name a\nline r\n", "a rest needs a length"},
                      BadScore{"name a\nline r 2\n", "at least one note"},
                      BadScore{"name a\ntempo 0\nline C4 1 x\n", "tempo lies between"},
                      BadScore{"name a\nmeter 12\n", "meter is 2 to 8"},
                      BadScore{"name a\nchords C H\n", "'H' is not a chord"},
                      BadScore{"name a\nchords Cmaj9\n", "not a chord"}, BadScore{"name a b\n", "one word"},
                      BadScore{"name ../x\n", "one word"}, BadScore{"line C4 1 x\n", "no name"},
                      BadScore{"name a\n", "no line of notes"},
                      BadScore{"name a\nform plain\n", "form is old or new"},
                      BadScore{"name a\nline C4 1 x\ndance 5 1 4 10\n", "forward in time"},
                      BadScore{"name a\ndance 5\n", "pairs of beat and code"},
                      BadScore{"name a\ndance 5 2222\n", "not a dance code"},
                      BadScore{"name a\ndance-run 8 4 1 1\n", "FROM TO EVERY"},
                      BadScore{"name a\ndance-run 0 4 0 1\n", "FROM TO EVERY"},
                      BadScore{"name a\ndance-run 0 4 1\n", "at least one code"},
                      BadScore{"name a\nvowels ay\n", "vowels are letters"},
                      BadScore{"name a\nktvratio 1.5\n", "ktvratio lies"},
                      BadScore{"name a\nktvratio 0\n", "ktvratio lies"}));

}  // namespace
}  // namespace sonavera::songgen
