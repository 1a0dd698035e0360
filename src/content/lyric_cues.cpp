// KTV lyric cues from an LRC-style file: "[mm:ss.xx]text" lines and a closing "[mm:ss.xx]" line.
#include <algorithm>

#include "content/number_reader.h"
#include "content/song_package.h"
#include "content/text_file.h"

namespace sonavera::content {
namespace {

// The reader's line buffer holds 1000 characters; a line this long ends the reading.
constexpr size_t kMaxCueLineLength = 999;

// The tag of a tag-only line: the text between its last "[" and the final "]".
std::string EndTag(const std::string& line) {
  if (line.empty()) return line;
  const size_t close = line.size() - 1;
  const size_t open = line.rfind('[', close);
  const size_t from = open == std::string::npos ? 0 : open + 1;
  return line.substr(from, close - from);
}

}  // namespace

float ParseCueTime(const std::string& tag) {
  const size_t colon = tag.find(':');
  if (colon == std::string::npos) return -1.0f;
  const int minutes = colon == 0 ? 0 : LeadingInt(std::string_view(tag).substr(0, colon));
  const double seconds = LeadingFloat(std::string_view(tag).substr(colon + 1));
  return static_cast<float>(seconds + minutes * 60.0);
}

void ParseLyricCues(const std::string& bytes, SongTables& tables) {
  tables.lyricCues.clear();
  tables.lyricCueCount = 0;
  bool haveEndLine = false;
  std::string endLine;
  for (const std::string& line : SplitTextLines(bytes)) {
    if (line.size() >= kMaxCueLineLength) break;
    if (line.empty() || line.back() == ']') {
      haveEndLine = true;
      endLine = line;
      continue;
    }
    const size_t lastClose = line.rfind(']');
    const std::string text = lastClose == std::string::npos ? line : line.substr(lastClose + 1);
    for (size_t open = line.find('['); open != std::string::npos; open = line.find('[', open + 1)) {
      const size_t close = line.find(']', open + 1);
      if (close == std::string::npos) break;
      const float time = ParseCueTime(line.substr(open + 1, close - open - 1));
      if (time > 0.0f) tables.lyricCues.push_back(LyricCue{time, text});
    }
  }
  if (haveEndLine) tables.lyricEndTime = ParseCueTime(EndTag(endLine));
  // Equal times keep the file's order.
  std::stable_sort(tables.lyricCues.begin(), tables.lyricCues.end(),
                   [](const LyricCue& a, const LyricCue& b) { return a.time < b.time; });
  tables.lyricCueCount = static_cast<int>(tables.lyricCues.size());
}

void LoadLyricCues(const std::string& path, SongTables& tables) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) return;
  ParseLyricCues(bytes, tables);
}

}  // namespace sonavera::content
