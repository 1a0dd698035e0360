#include "content/package_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "content/number_reader.h"
#include "content/scrambled_line.h"
#include "content/text_file.h"

namespace sonavera::content {
namespace {

// Lines of text, each scrambled in the new form.
std::string TextLines(const std::vector<std::string>& lines, bool scrambled) {
  std::string text;
  for (const std::string& line : lines) {
    text += scrambled ? EncodeScrambledLine(line) : line;
    text += '\n';
  }
  return text;
}

class FolderWriter {
 public:
  explicit FolderWriter(const std::string& folder) : folder(folder) {}

  bool Write(const std::string& name, const std::string& bytes, std::string& message) {
    const std::string path = JoinPath(folder, name);
    if (WriteFileBytes(path, bytes)) return true;
    message = "无法写入歌曲文件：" + path;
    return false;
  }

 private:
  const std::string& folder;
};

bool WriteScoredFiles(FolderWriter& out, const SongPackageSpec& spec, std::string& message) {
  const bool scrambled = spec.form == PackageForm::kNew;
  const int lineCount = static_cast<int>(spec.lines.size()) + 1;
  const std::string count = std::to_string(lineCount);
  const std::string header = scrambled ? TextLines({"1", spec.title, count, "0"}, true) : count + "\n";

  const float lastEnd = spec.lines.empty() ? 0.0f : spec.lines.back().end;
  std::string starts, ends;
  for (const PackageLine& line : spec.lines) {
    starts += FormatFloat(line.start) + "\n";
    ends += FormatFloat(line.end) + "\n";
  }
  starts += FormatFloat(spec.closingStart < 0.0f ? lastEnd : spec.closingStart) + "\n";
  ends += FormatFloat(spec.closingEnd < 0.0f ? lastEnd : spec.closingEnd) + "\n";

  if (!out.Write("sh", header, message) || !out.Write("st", starts, message) ||
      !out.Write("sp", ends, message) || !out.Write("Lyric", spec.lyric, message))
    return false;
  for (size_t i = 0; i < spec.lines.size(); ++i) {
    std::vector<std::string> numbers{std::to_string(spec.lines[i].frames.size())};
    for (int v : spec.lines[i].frames) numbers.push_back(std::to_string(v));
    if (!out.Write(std::to_string(i + 1), TextLines(numbers, scrambled), message)) return false;
  }
  return true;
}

bool WriteKtvFiles(FolderWriter& out, const SongPackageSpec& spec, std::string& message) {
  std::string cues;
  for (const LyricCue& cue : spec.cues) cues += "[" + FormatCueTag(cue.time) + "]" + cue.text + "\n";
  cues += "[" + FormatCueTag(spec.cueEndTime) + "]\n";
  return out.Write("sh", TextLines({"1", FormatFloat(spec.ktvReferenceRatio)}, true), message) &&
         out.Write("ktv.lrc", cues, message);
}

}  // namespace

std::string FormatCueTag(float seconds) {
  const long hundredths = std::lround(std::max(0.0, static_cast<double>(seconds)) * 100.0);
  char tag[48];
  std::snprintf(tag, sizeof tag, "%02ld:%02ld.%02ld", hundredths / 6000, hundredths % 6000 / 100,
                hundredths % 100);
  return tag;
}

bool WriteSongPackage(const std::string& folder, const SongPackageSpec& spec, std::string& message) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    message = "无法创建歌曲文件夹：" + folder;
    return false;
  }
  FolderWriter out(folder);
  if (!(spec.ktv ? WriteKtvFiles(out, spec, message) : WriteScoredFiles(out, spec, message))) return false;
  if (spec.danceTimes.empty()) return true;
  std::string dance;
  for (size_t i = 0; i < spec.danceTimes.size(); ++i) {
    const int code = i < spec.danceCodes.size() ? spec.danceCodes[i] : 0;
    // One step takes two lines: its time, then its code.
    dance += FormatFloat(spec.danceTimes[i]) + "\n" + std::to_string(code) + "\n";
  }
  return out.Write("dance.txt", dance, message);
}

}  // namespace sonavera::content
