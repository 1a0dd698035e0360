// UltraStar songs: the parser's timing, note kinds, line breaks and encodings, and the
// import-ultrastar command from a file to a package that loads and judges.
#include "songgen/ultrastar.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "content/song_package.h"
#include "platform/text_encoding.h"
#include "song_test_support.h"
#include "songgen/mp3_encoder.h"
#include "songgen/song_builder.h"

namespace sonavera::songgen {
namespace {

namespace fs = std::filesystem;

TEST(UltrastarParser, TimesBeatsAfterTheGapAndKeepsNoteKinds) {
  const char* text =
      "#TITLE:Test\n#ARTIST:Someone\n#MP3:a.mp3\n#BPM:150,0\n#GAP:1500\n"
      ": 0 4 5 Hel\n: 4 2 7 lo \n* 8 4 -3  world\nF 14 2 0  hey\nR 17 2 0 yo\n- 20 22\n: 24 4 0 ~\n"
      ": 28 4 2 again\n: 32 2 4 ~ \nE\n: 99 1 0 after the end\n";
  UltrastarSong song;
  std::string error;
  ASSERT_TRUE(ParseUltrastar(text, song, error)) << error;
  EXPECT_EQ(song.title, "Test");
  EXPECT_EQ(song.artist, "Someone");
  EXPECT_EQ(song.mp3, "a.mp3");
  EXPECT_DOUBLE_EQ(song.bpm, 150.0);
  ASSERT_EQ(song.song.lines.size(), 2u);
  const auto& first = song.song.lines[0].notes;
  ASSERT_EQ(first.size(), 5u);
  EXPECT_DOUBLE_EQ(first[0].start, 1.5);  // the gap
  EXPECT_DOUBLE_EQ(first[1].start, 1.9);  // beat 4 of 0.1 s
  EXPECT_NEAR(first[1].length, 0.2, 1e-9);
  EXPECT_EQ(first[0].pitch, 650);  // pitch 5 above MIDI 60
  EXPECT_EQ(first[2].pitch, 570);  // golden notes are judged like the rest
  EXPECT_EQ(first[3].pitch, 0);    // freestyle: not judged
  EXPECT_EQ(first[4].pitch, 0);    // rap: not judged
  EXPECT_EQ(first[0].text, "Hel");
  EXPECT_FALSE(first[0].wordEnd);
  EXPECT_TRUE(first[1].wordEnd);  // trailing blank
  EXPECT_TRUE(first[2].wordEnd);  // " world": the blank before it ends the word before
  EXPECT_EQ(first[2].text, "world");
  const auto& second = song.song.lines[1].notes;
  ASSERT_EQ(second.size(), 3u) << "nothing after E is read";
  EXPECT_FALSE(second[0].hold) << "a hold cannot start a line";
  EXPECT_EQ(second[0].text, "~");
  EXPECT_TRUE(second[2].hold);
  EXPECT_TRUE(second[1].wordEnd) << "the blank after a hold ends the word it holds";
}

TEST(UltrastarParser, RelativeFilesShiftByTheLineBreak) {
  UltrastarSong song;
  std::string error;
  ASSERT_TRUE(ParseUltrastar("#BPM:300\n#RELATIVE:yes\n: 0 4 0 a\n- 6 10\n: 0 4 0 b\n- 8\n: 2 4 0 c\nE\n",
                             song, error))
      << error;
  ASSERT_EQ(song.song.lines.size(), 3u);
  EXPECT_DOUBLE_EQ(song.song.lines[1].notes[0].start, 10 * 0.05);
  EXPECT_DOUBLE_EQ(song.song.lines[2].notes[0].start, 20 * 0.05);
}

struct BadFile {
  const char* text;
  const char* error;
};

void PrintTo(const BadFile& c, std::ostream* os) {
  *os << c.error;
}

class MalformedUltrastar : public ::testing::TestWithParam<BadFile> {};

TEST_P(MalformedUltrastar, FailsWithTheLine) {
  UltrastarSong song;
  std::string error;
  EXPECT_FALSE(ParseUltrastar(GetParam().text, song, error));
  EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Grid, MalformedUltrastar,
    ::testing::Values(BadFile{"#TITLE:x\n: 0 1 0 a\n", "line 2: #BPM is missing"},
                      BadFile{"#BPM:abc\n", "line 1: #BPM is not a number"},
                      BadFile{"#BPM:0\n: 0 1 0 a\n", "#BPM is missing or not above 0"},
                      BadFile{"#BPM:100\n: 0 x 0 a\n", "line 2: a note needs"},
                      BadFile{"#BPM:100\n: 0 0 0 a\n", "length above 0"},
                      BadFile{"#BPM:100\n: 0 2\n", "a note needs"},
                      BadFile{"#BPM:100\n: 0 2 99 a\n", "MIDI range"},
                      BadFile{"#BPM:100\n- x\n", "a line break needs a beat"},
                      BadFile{"#BPM:100\n: 0 2 0 a\n- 4 5 6\n", "more than two numbers"},
                      BadFile{"#BPM:100\nP1\n", "duet"},
                      BadFile{"#BPM:100\n: 0 2 0 a\nwhat\n", "cannot read"},
                      BadFile{"#BPM:100\n: 0 2 0 a\n#GAP:5\n", "header tag after the notes"},
                      BadFile{"#BPM\n", "without ':'"}, BadFile{"#BPM:100\nE\n", "no notes"},
                      BadFile{"#BPM:100\n#GAP:-99999\n: 0 2 0 a\n", "before the song"}));

TEST(UltrastarText, DecodesUtf8GbkAndLatin1) {
  EXPECT_EQ(UltrastarTextToUtf8("\xEF\xBB\xBF#TITLE:D\xC3\xAD"
                                "a"),
            "#TITLE:Día");
  EXPECT_EQ(UltrastarTextToUtf8("#TITLE:D\xED"
                                "a de sol"),
            "#TITLE:Día de sol");                                            // Latin-1
  EXPECT_EQ(UltrastarTextToUtf8("#TITLE:\xC4\xE3\xBA\xC3"), "#TITLE:你好");  // GBK
  EXPECT_EQ(UltrastarTextToUtf8("#ENCODING:CP1252\n#TITLE:\xC4\xE3"), "#ENCODING:CP1252\n#TITLE:Äã");
}

// An UltraStar song written here, with its MP3, imported by the tool.
class UltrastarImportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    StereoBuffer silence(static_cast<size_t>(kSampleRate) * 12);
    std::string error;
    ASSERT_TRUE(EncodeMp3(silence, temp.Path("song.mp3"), error)) << error;
    StereoBuffer hum(static_cast<size_t>(kSampleRate) * 12);
    for (size_t i = 0; i < hum.Frames(); ++i) hum.Add(i, 0.1f * static_cast<float>(i % 100) / 100.0f);
    ASSERT_TRUE(EncodeMp3(hum, temp.Path("vocals.mp3"), error)) << error;
  }

  void WriteSong(const std::string& text) { std::ofstream(temp.Path("song.txt"), std::ios::binary) << text; }

  songtest::TempFolder temp;
};

// A golden note, a freestyle note inside a line, a line break with two numbers, Chinese and accented
// syllables, a hold; 0.1 s beats after a 3 s gap.
const char* const kSong =
    "#TITLE:Día de Sol\n#ARTIST:Sonavera\n#MP3:song.mp3\n#BPM:150\n#GAP:3000\n"
    ": 0 4 5 Sun\n: 5 4 7 ny \n* 10 8 9 day \nF 19 4 0 oh \n: 24 6 4 yeah\n- 32 33\n"
    ": 34 4 5 你\n: 39 4 7 好\n: 44 4 9  café\n: 49 3 7 ~\n: 53 8 5  mundo\n- 64\n"
    ": 66 4 0 la \n: 71 4 2 la \n: 76 4 4 sol\n: 81 8 0 do\nE\n";

TEST_F(UltrastarImportCommand, ConvertsLoadsAndJudges) {
  WriteSong(kSong);
  const std::string folder = temp.Path("Dia_de_Sol");
  const songtest::ToolRun run = songtest::RunTool(
      "import-ultrastar " + songtest::Quoted(temp.Path("song.txt")) + " " + songtest::Quoted(folder));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Dia_de_Sol Día de Sol - Sonavera\n");

  const songtest::ToolRun load = songtest::RunTool("song " + songtest::Quoted(folder));
  ASSERT_NE(load.out.find("\"ok\":true"), std::string::npos) << load.out;
  EXPECT_NE(load.out.find("\"songTitle\":\"Día de Sol\""), std::string::npos);
  content::SongTables tables;
  std::string message;
  ASSERT_TRUE(songtest::LoadSong(folder, tables, message, false, true)) << message;
  EXPECT_TRUE(tables.newForm);
  EXPECT_GE(tables.danceCodes.size(), 5u) << "an imported song can be danced too";
  EXPECT_EQ(tables.lineCount, 5) << "the freestyle note starts a line of its own: 4 sung lines";
  std::vector<std::string> lyrics;
  for (const auto& unit : tables.noteLyrics)
    if (unit != " ") lyrics.push_back(platform::GbkToUtf8(unit));
  const std::vector<std::string> expected = {"Sun", "ny ", "day ",   "oh ", "yeah ", "你",  "好",
                                             "caf", "é",   "mundo ", "la ", "la ",   "sol", "do "};
  EXPECT_EQ(lyrics, expected);
  const std::string data = content::FindSongDataFolder(folder);
  std::string mp3, music, music1;
  ASSERT_TRUE(ReadWholeFile(temp.Path("song.mp3"), mp3));
  ASSERT_TRUE(ReadWholeFile(data + "/music.mp3", music));
  ASSERT_TRUE(ReadWholeFile(data + "/music1.mp3", music1));
  EXPECT_EQ(music, mp3);
  EXPECT_EQ(music1, mp3) << "without a vocal track both versions are the song's MP3";
  EXPECT_TRUE(fs::exists(folder + "/head.bmp"));

  const std::string voice = temp.Path("voice.wav");
  ASSERT_TRUE(songtest::WriteVoice(voice, songtest::FollowMelody(tables, -120)));
  const songtest::JudgeResult sung = songtest::Judge(folder, voice);
  ASSERT_TRUE(sung.ran) << sung.output;
  EXPECT_GE(sung.finalScore, 85.0) << sung.output;
  ASSERT_TRUE(songtest::WriteVoice(voice, std::vector<int16_t>(8000 * 12, 0)));
  EXPECT_EQ(songtest::Judge(folder, voice).finalScore, 0.0);
}

TEST_F(UltrastarImportCommand, WritesTheOldFormAndTakesAVocalTrack) {
  WriteSong(kSong);
  const std::string folder = temp.Path("old");
  const songtest::ToolRun run = songtest::RunTool(
      "import-ultrastar " + songtest::Quoted(temp.Path("song.txt")) + " " + songtest::Quoted(folder) +
      " --old-form --vocals " + songtest::Quoted(temp.Path("vocals.mp3")));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  content::SongTables tables;
  std::string message;
  ASSERT_TRUE(songtest::LoadSong(folder, tables, message)) << message;
  EXPECT_FALSE(tables.newForm);
  std::string vocals, music1;
  ASSERT_TRUE(ReadWholeFile(temp.Path("vocals.mp3"), vocals));
  ASSERT_TRUE(ReadWholeFile(content::FindSongDataFolder(folder) + "/music1.mp3", music1));
  EXPECT_EQ(music1, vocals);
}

TEST_F(UltrastarImportCommand, ReportsWhatGbkCannotHoldAndOtherFaults) {
  WriteSong("#TITLE:Smile\n#MP3:song.mp3\n#BPM:150\n: 0 8 0 \xF0\x9F\x98\x80\n: 10 8 2 go\nE\n");
  songtest::ToolRun run = songtest::RunTool("import-ultrastar " + songtest::Quoted(temp.Path("song.txt")) +
                                            " " + songtest::Quoted(temp.Path("x")));
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.err.find("U+1F600"), std::string::npos) << run.err;

  WriteSong("#TITLE:No audio\n#MP3:missing.mp3\n#BPM:150\n: 0 8 0 la\nE\n");
  run = songtest::RunTool("import-ultrastar " + songtest::Quoted(temp.Path("song.txt")) + " " +
                          songtest::Quoted(temp.Path("y")));
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.err.find("missing.mp3"), std::string::npos) << run.err;

  run = songtest::RunTool("import-ultrastar " + songtest::Quoted(temp.Path("nothing.txt")) + " " +
                          songtest::Quoted(temp.Path("z")));
  EXPECT_NE(run.exitCode, 0);
  EXPECT_EQ(songtest::RunTool("import-ultrastar onlyone").exitCode, 2);
  EXPECT_EQ(songtest::RunTool("import-ultrastar a b --bogus").exitCode, 2);
}

TEST(NewSongCommand, BuildsAScoreAndPrintsItsCatalogueLine) {
  songtest::TempFolder temp;
  std::ofstream(temp.Path("tune.score")) << "name 小曲\ncatalogue 小曲 测试\nform old\ntempo 120\nintro 4\n"
                                            "line C4 1 一 D4 1 二 E4 2 三\nline E4 1 四 D4 1 五 C4 2 六\n";
  const std::string folder = temp.Path("小曲");
  songtest::ToolRun run = songtest::RunTool("new-song " + songtest::Quoted(temp.Path("tune.score")) + " " +
                                            songtest::Quoted(folder));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "小曲 测试\n");
  content::SongTables tables;
  std::string message;
  ASSERT_TRUE(songtest::LoadSong(folder, tables, message, false, true)) << message;
  EXPECT_EQ(tables.lineCount, 3);
  EXPECT_FALSE(tables.newForm);
  EXPECT_FLOAT_EQ(tables.lineStart[0], 2.0f);
  EXPECT_FALSE(tables.danceTimes.empty());

  std::ofstream(temp.Path("bad.score")) << "name x\nline Q4 1 a\n";
  run = songtest::RunTool("new-song " + songtest::Quoted(temp.Path("bad.score")) + " " +
                          songtest::Quoted(temp.Path("x")));
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("line 2: 'Q4' is not a pitch"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace sonavera::songgen
