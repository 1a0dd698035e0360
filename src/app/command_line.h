#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sonavera::app {

/// `sonavera [--program-folder DIR] [--mic-file WAV] [--results-file FILE]`.
struct CommandLine {
  std::string programFolder;  // empty: the executable's folder
  std::string micFile;        // empty: the sound card
  std::string resultsFile;    // empty: no results written
};

/// Parses the arguments after the program name; std::nullopt with a one-line reason in `error` for an
/// unknown option or an option without its value.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments, std::string& error);

}  // namespace sonavera::app
