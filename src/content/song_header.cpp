#include "content/song_header.h"

#include <vector>

#include "content/load_messages.h"
#include "content/number_reader.h"
#include "content/scrambled_line.h"
#include "content/text_file.h"

namespace sonavera::content {
namespace {

bool ReadHeaderLines(const std::string& path, std::vector<std::string>& lines, std::string& message) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) {
    message = MissingFileMessage(path);
    return false;
  }
  lines = SplitTextLines(bytes);
  if (lines.empty()) {
    message = BadFileMessage(path, "没有内容");
    return false;
  }
  return true;
}

bool DecodeLine(const std::string& path, const std::string& line, std::string& text, std::string& message) {
  if (TryDecodeScrambledLine(line, text)) return true;
  message = BadFileMessage(path, "无法解码");
  return false;
}

}  // namespace

bool ReadSongHeader(const std::string& path, SongHeader& header, std::string& message) {
  header = SongHeader{};
  std::vector<std::string> lines;
  if (!ReadHeaderLines(path, lines, message)) return false;
  if (lines.size() == 2 || lines.size() == 3) {
    message = kOutdatedPackageMessage;
    return false;
  }
  std::string countText = lines[0];
  if (lines.size() >= 4) {
    header.newForm = true;
    // Line 1 is not used by the reader.
    if (!DecodeLine(path, lines[1], header.title, message) || !DecodeLine(path, lines[2], countText, message))
      return false;
    // A title decoded from a line written with its own line break keeps none.
    while (!header.title.empty() && (header.title.back() == '\n' || header.title.back() == '\r'))
      header.title.pop_back();
  }
  NumberReader reader(countText);
  if (!reader.ReadInt(header.lineCount)) {
    message = BadFileMessage(path, "行数无法读取");
    return false;
  }
  if (header.lineCount < 2 || header.lineCount > kMaxLineCount) {
    message = BadFileMessage(path, "行数无效：" + std::to_string(header.lineCount));
    return false;
  }
  return true;
}

bool ReadKtvReferenceRatio(const std::string& path, float& ratio, std::string& message) {
  std::vector<std::string> lines;
  if (!ReadHeaderLines(path, lines, message)) return false;
  if (lines.size() < 2) {
    message = BadFileMessage(path, "缺少参考比例");
    return false;
  }
  // Line 1 is not used by the reader.
  std::string ratioText;
  if (!DecodeLine(path, lines[1], ratioText, message)) return false;
  NumberReader reader(ratioText);
  // The KTV score divides by the ratio.
  if (!reader.ReadFloat(ratio) || !(ratio > 0.0f)) {
    message = BadFileMessage(path, "参考比例无效");
    return false;
  }
  return true;
}

}  // namespace sonavera::content
