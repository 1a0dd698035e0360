#pragma once

#include <string>
#include <vector>

namespace sonavera::tool {

/// One subcommand of sonavera-tool. `run` gets the arguments after the command's name and returns
/// the process exit code; on bad input it prints one line to stderr and returns non-zero.
struct Command {
  const char* name;
  const char* usage;  // one line, shown by "sonavera-tool help"
  int (*run)(const std::vector<std::string>& args);
};

/// All registered commands, in registration order.
std::vector<Command>& Commands();

struct CommandRegistrar {
  explicit CommandRegistrar(Command command) { Commands().push_back(command); }
};

/// Prints "sonavera-tool: <message>" on stderr and returns 2, the exit code for bad input.
int Fail(const std::string& message);

}  // namespace sonavera::tool

#define SONAVERA_TOOL_CONCAT_INNER(a, b) a##b
#define SONAVERA_TOOL_CONCAT(a, b) SONAVERA_TOOL_CONCAT_INNER(a, b)
/// Registers a command at start-up: SONAVERA_TOOL_COMMAND("song", "song FOLDER [--ktv]", RunSong);
#define SONAVERA_TOOL_COMMAND(name, usage, fn)                                                   \
  static const ::sonavera::tool::CommandRegistrar SONAVERA_TOOL_CONCAT(commandRegistrar_, __LINE__) { \
    ::sonavera::tool::Command { name, usage, fn }                                                \
  }
