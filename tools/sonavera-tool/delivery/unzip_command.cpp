// sonavera-tool unzip ARCHIVE TARGET: unpacks an archive the way the download worker does.
#include <cstdio>

#include "command.h"
#include "delivery/zip_archive.h"

namespace {

using sonavera::delivery::ZipArchive;
using sonavera::delivery::ZipEntry;
using sonavera::delivery::ZipResult;

int RunUnzip(const std::vector<std::string>& args) {
  if (args.size() != 2) return sonavera::tool::Fail("usage: unzip ARCHIVE TARGET");
  auto archive = ZipArchive::Open(args[0]);
  if (!archive) {
    std::fprintf(stderr, "sonavera-tool: cannot open '%s' as a ZIP archive\n", args[0].c_str());
    return 1;
  }
  archive->SetTargetFolder(args[1]);
  ZipEntry entry;
  archive->Query(-1, entry);
  const int count = entry.index;
  if (count <= 0) {
    std::fprintf(stderr, "sonavera-tool: '%s' holds no entries\n", args[0].c_str());
    return 1;
  }
  for (int i = 0; i < count; ++i) {
    ZipResult result = archive->Query(i, entry);
    if (result == ZipResult::kOk) result = archive->Unpack(i, entry.name);
    std::printf("%d %d %s\n", i, static_cast<int>(result), entry.name.c_str());
  }
  return 0;
}

}  // namespace

SONAVERA_TOOL_COMMAND("unzip", "unzip ARCHIVE TARGET", RunUnzip);
