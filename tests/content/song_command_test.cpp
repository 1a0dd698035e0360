// "sonavera-tool song" on packages written by the writer.
#include <gtest/gtest.h>

#include "common/tool_run.h"
#include "content/package_writer.h"
#include "temp_folder.h"

namespace sonavera::content {
namespace {

using sonavera::testing::Quoted;
using sonavera::testing::RunTool;
using sonavera::testing::ToolRun;

TEST(SongCommand, PrintsTheTablesOfAnOldFormSong) {
  testing::TempFolder temp;
  const std::string song = temp.Path("\xE6\xAD\x8C\xE5\x90\x8D");  // 歌名
  SongPackageSpec spec;
  spec.form = PackageForm::kOld;
  spec.lines = {{1.5f, 3.25f, {600, 600, 0, 610}}};
  spec.closingStart = 4.0f;
  spec.closingEnd = 5.0f;
  spec.lyric = "\xCE\xD2 love-you\n";  // 我 love-you: the last word is left pending
  spec.danceTimes = {1.5f, 2.25f};
  spec.danceCodes = {1, 10};
  std::string message;
  ASSERT_TRUE(WriteSongPackage(song + "/data", spec, message)) << message;

  const ToolRun run = RunTool("song " + Quoted(song) + " --dance");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(
      run.out,
      "{\"ok\":true,\"message\":\"\",\"lineCount\":2,\"songTitle\":\"歌名\",\"lineStart\":[1.5,4],"
      "\"lineEnd\":[3.25,7.5],\"lineFrameCount\":[4,0],\"lineVoiced\":[3,0],\"lineNoteCount\":[2,0],"
      "\"lineRefs\":[4,600,600,0,610],\"notePitch\":[600,0,610],\"noteLength\":[2,2],"
      "\"noteLyrics\":[\"我\",\" \",\" \"],\"syllables\":[\"我\",\" \",\"love\"],\"danceTimes\":[1.5,2.25],"
      "\"danceCodes\":[1,10],\"lyricCues\":[],\"lyricCueCount\":0,\"lyricEndTime\":0,"
      "\"ktvReferenceRatio\":0,\"videoPath\":\"avi/2.avi\"}\n");
}

TEST(SongCommand, EscapesTheNewFormTitle) {
  testing::TempFolder temp;
  SongPackageSpec spec;
  spec.title = "Say \"hi\"\\\t";
  spec.lines = {{0.5f, 1.0f, {60}}};
  spec.lyric = "x ";
  std::string message;
  ASSERT_TRUE(WriteSongPackage(temp.Path("song"), spec, message)) << message;
  const ToolRun run = RunTool("song " + Quoted(temp.Path("song")) + " --medley");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("\"songTitle\":\"Say \\\"hi\\\"\\\\\\t\""), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"noteLyrics\":[\"\"],\"syllables\":[]"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"lineRefs\":[1,600]"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"videoPath\":\"\"}"), std::string::npos) << run.out;
}

TEST(SongCommand, KtvSongsPrintCuesAndNoLines) {
  testing::TempFolder temp;
  SongPackageSpec spec;
  spec.ktv = true;
  spec.ktvReferenceRatio = 0.25f;
  spec.cues = {{130.0f, "\xB8\xE8"}, {62.5f, "la"}};
  spec.cueEndTime = 150.0f;
  std::string message;
  ASSERT_TRUE(WriteSongPackage(temp.Path("k"), spec, message)) << message;
  const ToolRun run = RunTool("song --ktv " + Quoted(temp.Path("k")));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(
      run.out,
      "{\"ok\":true,\"message\":\"\",\"lineCount\":0,\"songTitle\":\"k\",\"lineStart\":[],\"lineEnd\":[],"
      "\"lineFrameCount\":[],\"lineVoiced\":[],\"lineNoteCount\":[],\"lineRefs\":[],\"notePitch\":[],"
      "\"noteLength\":[],\"noteLyrics\":[],\"syllables\":[],\"danceTimes\":[],\"danceCodes\":[],"
      "\"lyricCues\":[{\"time\":62.5,\"text\":\"la\"},{\"time\":130,\"text\":\"歌\"}],\"lyricCueCount\":2,"
      "\"lyricEndTime\":150,\"ktvReferenceRatio\":0.25,\"videoPath\":\"\"}\n");
}

TEST(SongCommand, AFailedLoadPrintsItsMessageAndExitsWithOne) {
  testing::TempFolder temp;
  SongPackageSpec spec;
  spec.lines = {{0.5f, 1.0f, {60}}};
  std::string message;
  ASSERT_TRUE(WriteSongPackage(temp.Path("song"), spec, message)) << message;
  // Without lyric units for its note the song cannot be sung.
  const ToolRun run = RunTool("song " + Quoted(temp.Path("song")));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out.rfind("{\"ok\":false,\"message\":\"歌曲文件内容有误", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("\"lineCount\":0,"), std::string::npos) << run.out;
}

TEST(SongCommand, BadArgumentsExitWithTwo) {
  testing::TempFolder temp;
  EXPECT_EQ(RunTool("song").exitCode, 2);
  EXPECT_EQ(RunTool("song " + Quoted(temp.Path()) + " --karaoke").exitCode, 2);
  EXPECT_EQ(RunTool("song " + Quoted(temp.Path("missing"))).exitCode, 2);
  EXPECT_EQ(RunTool("song " + Quoted(temp.Path("missing"))).out, "");
}

}  // namespace
}  // namespace sonavera::content
