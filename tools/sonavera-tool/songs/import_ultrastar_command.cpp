// sonavera-tool import-ultrastar SONG.txt OUTFOLDER [--old-form] [--vocals VOCALS.mp3]: converts an
// UltraStar song into a song package and prints the line to add to "List.txt".
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "songgen/ultrastar.h"

namespace sonavera::tool {
namespace {

int RunImportUltrastar(const std::vector<std::string>& args) {
  songgen::UltrastarImport request;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--old-form") {
      request.oldForm = true;
    } else if (args[i] == "--vocals") {
      if (i + 1 >= args.size()) return Fail("import-ultrastar: --vocals needs a file");
      request.vocalsPath = args[++i];
    } else if (args[i].rfind("--", 0) == 0) {
      return Fail("import-ultrastar: unknown option '" + args[i] + "'");
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2) return Fail("import-ultrastar: usage: import-ultrastar SONG.txt OUTFOLDER [--old-form] [--vocals VOCALS.mp3]");
  request.textPath = positional[0];
  request.songFolder = positional[1];
  std::string catalogueLine, error;
  std::vector<std::string> warnings;
  const bool ok = songgen::ImportUltrastar(request, catalogueLine, warnings, error);
  for (const auto& warning : warnings) std::fprintf(stderr, "sonavera-tool: import-ultrastar: %s\n", warning.c_str());
  if (!ok) return Fail("import-ultrastar: " + error);
  std::printf("%s\n", catalogueLine.c_str());
  return 0;
}

}  // namespace

SONAVERA_TOOL_COMMAND("import-ultrastar", "import-ultrastar SONG.txt OUTFOLDER [--old-form] [--vocals VOCALS.mp3]",
                      RunImportUltrastar);

}  // namespace sonavera::tool
