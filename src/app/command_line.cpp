#include "app/command_line.h"

namespace sonavera::app {

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments, std::string& error) {
  CommandLine line;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    std::string* target = option == "--program-folder" ? &line.programFolder
                          : option == "--mic-file"     ? &line.micFile
                          : option == "--results-file" ? &line.resultsFile
                                                       : nullptr;
    if (!target) {
      error = "unknown option: " + option;
      return std::nullopt;
    }
    if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
      error = option + " needs a value";
      return std::nullopt;
    }
    *target = arguments[++i];
  }
  return line;
}

}  // namespace sonavera::app
