#include "command.h"

#include <cstdio>

namespace sonavera::tool {

std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "sonavera-tool: %s\n", message.c_str());
  return 2;
}

}  // namespace sonavera::tool
