// sonavera-songgen: builds the bundled song library into the program folder from score files.
// Usage: sonavera-songgen PROGRAM_FOLDER SCORE...
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "songgen/library_files.h"
#include "songgen/song_builder.h"

namespace fs = std::filesystem;
using namespace sonavera::songgen;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: sonavera-songgen PROGRAM_FOLDER SCORE...\n");
    return 2;
  }
  const fs::path program(argv[1]);
  const std::vector<std::string> scores(argv + 2, argv + argc);
  std::vector<Score> parsed(scores.size());
  for (size_t i = 0; i < scores.size(); ++i) {
    std::string text, error;
    if (!ReadWholeFile(scores[i], text) || !ParseScore(text, parsed[i], error)) {
      std::fprintf(stderr, "sonavera-songgen: %s: %s\n", scores[i].c_str(), error.empty() ? "cannot read" : error.c_str());
      return 1;
    }
  }
  // The songs are independent: build them on two workers.
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex printing;
  auto worker = [&]() {
    for (size_t i = next++; i < parsed.size() && !failed; i = next++) {
      const Score& score = parsed[i];
      const fs::path folder =
          program / "歌曲" / (score.shelf == SongShelf::kSingle ? "单曲" : "串烧歌曲") / score.name;
      std::error_code ec;
      fs::remove_all(folder, ec);  // no stale files of an earlier build
      BuildReport report;
      std::string error;
      const bool ok = BuildScoreSong(score, folder.string(), report, error);
      std::lock_guard<std::mutex> lock(printing);
      for (const auto& warning : report.warnings)
        std::fprintf(stderr, "sonavera-songgen: %s: %s\n", scores[i].c_str(), warning.c_str());
      if (!ok) {
        std::fprintf(stderr, "sonavera-songgen: %s: %s\n", scores[i].c_str(), error.c_str());
        failed = true;
      }
    }
  };
  std::thread second(worker);
  worker();
  second.join();
  if (failed) return 1;
  std::vector<std::string> catalogue;
  for (const auto& score : parsed)
    if (!score.catalogueLine.empty()) catalogue.push_back(score.catalogueLine);
  std::string error;
  if (!WriteLibraryFiles(program.string(), catalogue, error)) {
    std::fprintf(stderr, "sonavera-songgen: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
