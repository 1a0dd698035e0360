// sonavera-tool decode SONGFOLDER OUTFOLDER: the song's music.mp3 to OUTFOLDER/accompany.wav.
#include <sys/stat.h>

#include "audio/accompaniment_decoder.h"
#include "command.h"

namespace {

int RunDecode(const std::vector<std::string>& args) {
  using sonavera::tool::Fail;
  if (args.size() != 2) return Fail("usage: decode SONGFOLDER OUTFOLDER");
  struct stat info{};
  if (stat(args[1].c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return Fail("no such folder: " + args[1]);
  std::string out = args[1];
  if (out.back() != '/') out += '/';
  std::string song = args[0];
  if (!song.empty() && song.back() != '/') song += '/';
  if (stat((song + "music.mp3").c_str(), &info) != 0) return Fail("cannot open " + song + "music.mp3");
  if (!sonavera::audio::DecodeAccompaniment(song, out)) return Fail("cannot write " + out + "accompany.wav");
  return 0;
}

}  // namespace

SONAVERA_TOOL_COMMAND("decode", "decode SONGFOLDER OUTFOLDER   music.mp3 to OUTFOLDER/accompany.wav", RunDecode);
