#pragma once

// Runs one of the built executables as a child process and keeps what it said.
#include <string>
#include <vector>

namespace sonavera::e2e {

/// Exit code (-1 when the program did not end normally) and both output streams of one run.
struct ProgramRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

/// Runs `program` with `arguments` (no shell in between), stdin empty; `environment` entries
/// ("NAME=value") are added to the test's own environment.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment = {});

}  // namespace sonavera::e2e
