// sonavera-tool new-song SCOREFILE OUTFOLDER: builds a song package from a score, as the build does
// for the bundled library, and prints the song's catalogue line.
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "songgen/song_builder.h"

namespace sonavera::tool {
namespace {

int RunNewSong(const std::vector<std::string>& args) {
  if (args.size() != 2 || args[0].rfind("--", 0) == 0 || args[1].rfind("--", 0) == 0)
    return Fail("new-song: usage: new-song SCOREFILE OUTFOLDER");
  songgen::Score score;
  songgen::BuildReport report;
  std::string error;
  const bool ok = songgen::BuildScoreFile(args[0], args[1], score, report, error);
  for (const auto& warning : report.warnings) std::fprintf(stderr, "sonavera-tool: new-song: %s\n", warning.c_str());
  if (!ok) return Fail("new-song: " + error);
  std::printf("%s\n", score.catalogueLine.empty() ? score.name.c_str() : score.catalogueLine.c_str());
  return 0;
}

}  // namespace

SONAVERA_TOOL_COMMAND("new-song", "new-song SCOREFILE OUTFOLDER", RunNewSong);

}  // namespace sonavera::tool
