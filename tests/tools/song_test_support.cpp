#include "song_test_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "content/song_package.h"
#include "platform/wav_file.h"

namespace sonavera::songtest {

namespace fs = std::filesystem;

bool LoadSong(const std::string& songFolder, content::SongTables& tables, std::string& message, bool ktv,
              bool dance) {
  content::SongLoadOptions options;
  options.programFolder = std::string(SONAVERA_PROGRAM_DIR) + "/";
  options.dataFolder = content::FindSongDataFolder(songFolder);
  options.fallbackTitle = fs::path(songFolder).filename().string();
  options.ktvMode = ktv;
  options.danceOn = dance;
  return content::LoadSongPackage(options, tables, message);
}

std::vector<int16_t> FollowMelody(const content::SongTables& tables, int offsetTenths, double extraSeconds) {
  const int sung = tables.lineCount - 1;
  const double end = tables.lineEnd.empty() ? 0.0 : tables.lineEnd.back() + extraSeconds;
  std::vector<int16_t> samples(static_cast<size_t>(end * 8000.0), 0);
  double phase = 0.0;
  size_t record = 0;  // index of line i's count in lineRefs
  for (int i = 0; i < sung; ++i) {
    const int n = tables.lineRefs[record];
    const auto from = static_cast<size_t>(std::ceil(tables.lineStart[i] * 8000.0));
    for (size_t s = from; s < samples.size(); ++s) {
      const auto frame = static_cast<int>((static_cast<double>(s) / 8000.0 - tables.lineStart[i]) / 0.016);
      if (frame >= n) break;
      const int pitch = tables.lineRefs[record + 1 + static_cast<size_t>(frame)];
      if (pitch <= 0) continue;
      const double hz = 440.0 * std::pow(2.0, ((pitch + offsetTenths) / 10.0 - 69.0) / 12.0);
      phase += 2.0 * M_PI * hz / 8000.0;
      samples[s] = static_cast<int16_t>(8000.0 * std::sin(phase));
    }
    record += static_cast<size_t>(n) + 1;
  }
  return samples;
}

bool WriteVoice(const std::string& path, const std::vector<int16_t>& samples) {
  std::string error;
  return platform::WriteWavFile(path, samples.data(), samples.size(), 1, 8000, error);
}

JudgeResult Judge(const std::string& songFolder, const std::string& voicePath, const std::string& options) {
  JudgeResult result;
  const ToolRun run =
      RunTool("judge --song " + Quoted(songFolder) + " --voice " + Quoted(voicePath) + " " + options);
  result.output = run.out + run.err;
  result.ran = run.exitCode == 0;
  std::istringstream lines(run.out);
  std::string line;
  while (std::getline(lines, line)) {
    int index = 0, grade = 0;
    float from = 0, to = 0, score = 0;
    double value = 0;
    if (std::sscanf(line.c_str(), "%d %f-%f %f %d", &index, &from, &to, &score, &grade) == 5) {
      result.lineScores.push_back(score);
    } else if (std::sscanf(line.c_str(), "final score: %lf", &value) == 1) {
      result.finalScore = value;
    } else if (line.rfind("loud blocks:", 0) == 0) {
      const size_t open = line.find('(');
      if (open != std::string::npos) result.ktvPercent = std::atof(line.c_str() + open + 1);
    }
  }
  return result;
}

std::string ShelfFolder(const std::string& shelf) {
  return std::string(SONAVERA_PROGRAM_DIR) + "/歌曲/" + shelf;
}

std::vector<std::string> BundledSongs(const std::string& shelf) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(ShelfFolder(shelf), ec))
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace sonavera::songtest
