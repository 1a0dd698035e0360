// The audio commands of sonavera-tool, run as a user would run them.
#include <gtest/gtest.h>

#include <cstdlib>

#include "audio/test_media.h"
#include "common/tool_run.h"

namespace sonavera::audio {
namespace {

using testing::TempFolder;

using sonavera::testing::Quoted;
using sonavera::testing::ToolRun;

// The record command opens SDL's audio: keep it on the dummy driver outside the test presets too.
ToolRun Tool(const std::string& arguments) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  return sonavera::testing::RunTool(arguments);
}

TEST(AudioTool, DecodeWritesAccompany) {
  TempFolder song, out;
  testing::WriteFile(song / "music.mp3", testing::Mp3Bytes(44100, 2, testing::Tone(44100, 2, 1.0, 440)));
  const ToolRun run = Tool("decode " + Quoted(song.path()) + " " + Quoted(out.path()));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const auto wav = testing::ReadFile(out / "accompany.wav");
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(testing::Le32At(wav, 24), 44100u);
  EXPECT_EQ(testing::Le32At(wav, 40), testing::DecodedSampleValues(song / "music.mp3") * 2);
}

TEST(AudioTool, MixPrintsNothingOnSuccess) {
  TempFolder folder;
  testing::WriteFile(folder / "a.wav", testing::WavBytes(44100, 1, 16, {30000, -30000, 5}));
  testing::WriteFile(folder / "v.wav", testing::WavBytes(44100, 1, 16, {10000, -10000, 5, 7}));
  const ToolRun run = Tool("mix " + Quoted(folder / "a.wav") + " " + Quoted(folder / "v.wav") + " " +
                           Quoted(folder / "out.wav"));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(testing::ReadFile(folder / "out.wav"), testing::WavBytes(44100, 1, 16, {32767, -32768, 10, 7}));
}

TEST(AudioTool, RecordTakesTheMicFile) {
  TempFolder folder;
  testing::WriteFile(folder / "mic.wav", testing::WavBytes(22050, 1, 16, testing::Tone(22050, 1, 2.0, 440)));
  const ToolRun run =
      Tool("record --seconds 1 " + Quoted(folder / "take.wav") + " --mic-file " + Quoted(folder / "mic.wav"));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const auto wav = testing::ReadFile(folder / "take.wav");
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(testing::Le16At(wav, 22), 2);
  EXPECT_EQ(testing::Le32At(wav, 24), 44100u);
  // One second of real time: loosely between half a second and two seconds of sound.
  EXPECT_GT(wav.size() - 44, 176400u / 2);
  EXPECT_LT(wav.size() - 44, 176400u * 2);
}

struct BadInput {
  const char* name;
  const char* arguments;
};
void PrintTo(const BadInput& c, std::ostream* os) {
  *os << c.name;
}

class AudioToolBadInput : public ::testing::TestWithParam<BadInput> {};

// Bad input: a non-zero exit and one line on stderr, nothing written.
TEST_P(AudioToolBadInput, FailsWithOneLine) {
  TempFolder folder;
  testing::WriteFile(folder / "a.wav", testing::WavBytes(8000, 1, 16, {1, 2}));
  testing::WriteFile(folder / "text.wav", {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v'});
  std::string arguments = GetParam().arguments;
  for (std::size_t at; (at = arguments.find("DIR/")) != std::string::npos;)
    arguments.replace(at, 4, folder.path());
  const ToolRun run = Tool(arguments);
  EXPECT_NE(run.exitCode, 0);
  EXPECT_EQ(run.out, "");
  ASSERT_FALSE(run.err.empty());
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  EXPECT_FALSE(testing::FileExists(folder / "out.wav"));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, AudioToolBadInput,
    ::testing::Values(BadInput{"DecodeNoArguments", "decode"}, BadInput{"DecodeNoMusic", "decode DIR/ DIR/"},
                      BadInput{"DecodeNoOutFolder", "decode DIR/ DIR/missing"},
                      BadInput{"MixTwoArguments", "mix DIR/a.wav DIR/a.wav"},
                      BadInput{"MixMissingAccompaniment", "mix DIR/none.wav DIR/a.wav DIR/out.wav"},
                      BadInput{"MixNotAWav", "mix DIR/a.wav DIR/text.wav DIR/out.wav"},
                      BadInput{"RecordNoSeconds", "record DIR/out.wav"},
                      BadInput{"RecordBadSeconds", "record --seconds x DIR/out.wav"},
                      BadInput{"RecordBadMicFile", "record --seconds 1 DIR/out.wav --mic-file DIR/text.wav"},
                      BadInput{"RecordNoSuchDevice", "record --seconds 1 DIR/out.wav --device 200"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sonavera::audio
