#pragma once

// Runs the real sonavera-tool from a test, as a user runs it from a shell (SONAVERA_TOOL is the
// path every test target is given).
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace sonavera::testing {

/// What one run printed and how it ended.
struct ToolRun {
  int exitCode = -1;  // -1: the tool could not be started or did not exit by itself
  std::string out;
  std::string err;

  /// `out` cut at its line ends (without them).
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::istringstream text(out);
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }
};

/// `text` in single quotes for the shell (it must hold no single quote).
inline std::string Quoted(const std::string& text) {
  return "'" + text + "'";
}

/// Runs sonavera-tool with `arguments` (already quoted for the shell); stdout and stderr are kept
/// apart.
inline ToolRun RunTool(const std::string& arguments) {
  ToolRun run;
  const char* folder = std::getenv("TMPDIR");
  std::string errPath =
      std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/sonavera-tool-stderr-XXXXXX";
  const int errFd = ::mkstemp(errPath.data());
  if (errFd < 0) return run;
  ::close(errFd);
  const std::string command = Quoted(SONAVERA_TOOL) + " " + arguments + " 2>" + Quoted(errPath);
  if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
    char chunk[4096];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) run.out.append(chunk, got);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::ifstream err(errPath, std::ios::binary);
  std::ostringstream text;
  text << err.rdbuf();
  run.err = text.str();
  std::remove(errPath.c_str());
  return run;
}

}  // namespace sonavera::testing
