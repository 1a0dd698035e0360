// The program's command line through the real executable: a mistake is named on stderr with exit
// code 2 before any window or device is opened.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "e2e/run_program.h"

namespace sonavera::e2e {
namespace {

struct BadLine {
  std::vector<std::string> arguments;
  std::string message;
};

void PrintTo(const BadLine& bad, std::ostream* os) {
  *os << "sonavera";
  for (const auto& arg : bad.arguments) *os << " '" << arg << "'";
}

class ProgramCommandLine : public ::testing::TestWithParam<BadLine> {};

TEST_P(ProgramCommandLine, NamesTheMistakeAndExitsWithTwo) {
  // No display at all: the line is checked before anything graphical starts.
  const ProgramRun run =
      RunProgram(SONAVERA_PROGRAM_DIR "/sonavera", GetParam().arguments, {"DISPLAY=", "QT_QPA_PLATFORM=xcb"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "sonavera: " + GetParam().message + "\n");
  EXPECT_EQ(run.out, "");
}

INSTANTIATE_TEST_SUITE_P(Mistakes, ProgramCommandLine,
                         ::testing::Values(BadLine{{"--bogus"}, "unknown option: --bogus"},
                                           BadLine{{"take.wav"}, "unknown option: take.wav"},
                                           BadLine{{"--mic-file"}, "--mic-file needs a value"},
                                           BadLine{{"--results-file", ""}, "--results-file needs a value"},
                                           BadLine{{"--program-folder", "/tmp", "--program-folder"},
                                                   "--program-folder needs a value"},
                                           BadLine{{"--mic-file", "a.wav", "--fullscreen"},
                                                   "unknown option: --fullscreen"}));

}  // namespace
}  // namespace sonavera::e2e
