#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace sonavera::app {
namespace {

TEST(CommandLine, ReadsTheThreeOptions) {
  std::string error;
  const auto line =
      ParseCommandLine({"--mic-file", "a.wav", "--program-folder", "/p", "--results-file", "r.json"}, error);
  ASSERT_TRUE(line) << error;
  EXPECT_EQ(line->programFolder, "/p");
  EXPECT_EQ(line->micFile, "a.wav");
  EXPECT_EQ(line->resultsFile, "r.json");
  EXPECT_TRUE(ParseCommandLine({}, error));
}

TEST(CommandLine, RefusesUnknownOptionsAndMissingValues) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--fullscreen"}, {"--mic-file"}, {"--program-folder", ""}, {"song"}}) {
    std::string error;
    EXPECT_FALSE(ParseCommandLine(arguments, error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(CommandLine, ProgramSaysWhatIsWrongAndFails) {
  FILE* pipe = ::popen(SONAVERA_PROGRAM_DIR "/sonavera --bogus 2>&1", "r");
  ASSERT_NE(pipe, nullptr);
  char buffer[256] = {};
  const size_t n = std::fread(buffer, 1, sizeof(buffer) - 1, pipe);
  const int status = ::pclose(pipe);
  EXPECT_EQ(std::string(buffer, n), "sonavera: unknown option: --bogus\n");
  EXPECT_NE(status, 0);
}

}  // namespace
}  // namespace sonavera::app
