// sonavera-tool: the judge, the song loader and the media helpers of Sonavera without the game window.
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"

using sonavera::tool::Commands;

static int PrintUsage(FILE* out) {
  std::fprintf(out, "usage: sonavera-tool COMMAND [ARGS...]\ncommands:\n");
  for (const auto& command : Commands()) std::fprintf(out, "  %s\n", command.usage);
  return out == stdout ? 0 : 2;
}

int main(int argc, char** argv) {
  if (argc < 2) return PrintUsage(stderr);
  const std::string name = argv[1];
  if (name == "help" || name == "--help" || name == "-h") return PrintUsage(stdout);
  for (const auto& command : Commands()) {
    if (name == command.name) return command.run(std::vector<std::string>(argv + 2, argv + argc));
  }
  std::fprintf(stderr, "sonavera-tool: unknown command '%s' (try 'sonavera-tool help')\n", name.c_str());
  return 2;
}
