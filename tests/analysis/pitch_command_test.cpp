// sonavera-tool pitch on WAV files the test writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "analysis/signals.h"
#include "common/tool_run.h"
#include "platform/wav_file.h"

namespace {

namespace fs = std::filesystem;
using namespace sonavera::analysis;

using sonavera::testing::ToolRun;

class PitchCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("sonavera-pitch-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  fs::path Write(const std::string& name, const std::vector<int16_t>& samples, int channels, int rate) {
    const fs::path path = dir / name;
    std::string error;
    EXPECT_TRUE(sonavera::platform::WriteWavFile(path.string(), samples.data(), samples.size(), channels,
                                                 rate, error))
        << error;
    return path;
  }

  ToolRun Run(const std::string& arguments) { return sonavera::testing::RunTool("pitch " + arguments); }

  fs::path dir;
};

TEST_F(PitchCommand, OneLinePerBufferWithAShortLastBuffer) {
  // Two full buffers of 440 Hz, a third of silence, then 300 samples (one frame); a 200-sample
  // tail after them would be dropped, so write a second file for that.
  auto samples = signals::Sine(440.0, 8000, 2 * 1280);
  samples.resize(3 * 1280, 0);
  const auto tail = signals::Sine(220.0, 8000, 300);
  samples.insert(samples.end(), tail.begin(), tail.end());
  const auto run = Run("\"" + Write("voice.wav", samples, 1, 8000).string() + "\"");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const std::string full440 = " 690 690 690 690 690 690 690 690 690 690 690\n";
  EXPECT_EQ(run.out, "0:" + full440 + "1:" + full440 + "2: 0 0 0 0 0 0 0 0 0 0 0\n3: 570\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(PitchCommand, TailsShorterThan257SamplesAreDropped) {
  auto samples = signals::Sine(440.0, 8000, 1280 + 256);
  auto run = Run(Write("a.wav", samples, 1, 8000).string());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "0: 690 690 690 690 690 690 690 690 690 690 690\n");
  // 257 samples are tracked but hold no frame.
  samples = signals::Sine(440.0, 8000, 1280 + 257);
  run = Run(Write("b.wav", samples, 1, 8000).string());
  EXPECT_EQ(run.out, "0: 690 690 690 690 690 690 690 690 690 690 690\n1:\n");
  run = Run(Write("empty.wav", {}, 1, 8000).string());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "");
}

TEST_F(PitchCommand, WrongInputFailsWithOneLine) {
  const auto sine = signals::Sine(440.0, 8000, 2560);
  const std::vector<fs::path> bad = {Write("stereo.wav", sine, 2, 8000), Write("fast.wav", sine, 1, 44100),
                                     dir / "missing.wav"};
  {
    std::ofstream text(dir / "text.wav");
    text << "not a wave file at all";
  }
  for (const auto& path : std::vector<fs::path>{bad[0], bad[1], bad[2], dir / "text.wav"}) {
    const auto run = Run(path.string());
    EXPECT_NE(run.exitCode, 0) << path;
    EXPECT_EQ(run.out, "") << path;
    ASSERT_FALSE(run.err.empty()) << path;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  }
  EXPECT_NE(Run("").exitCode, 0);
}

}  // namespace
