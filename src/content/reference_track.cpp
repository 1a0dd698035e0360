#include "content/reference_track.h"

#include <climits>

#include "content/load_messages.h"
#include "content/number_reader.h"
#include "content/scrambled_line.h"
#include "content/text_file.h"

namespace sonavera::content {
namespace {

// Reads the numbers of one pitch file in either form, one at a time.
class TrackReader {
 public:
  TrackReader(const std::string& path, bool newForm) : path(path), newForm(newForm), plain(bytes) {}

  bool Open(std::string& message) {
    if (!ReadFileBytes(path, bytes)) {
      message = MissingFileMessage(path);
      return false;
    }
    if (newForm) lines = SplitTextLines(bytes);
    plain = NumberReader(bytes);
    return true;
  }

  bool Next(int& value, std::string& message) {
    if (newForm) {
      // One scrambled number per line.
      std::string text;
      if (nextLine >= lines.size()) return Fail("数据少于帧数", message);
      if (!TryDecodeScrambledLine(lines[nextLine++], text)) return Fail("无法解码", message);
      NumberReader reader(text);
      if (!reader.ReadInt(value)) return Fail("数值无法读取", message);
      return true;
    }
    if (plain.ReadInt(value)) return true;
    return Fail(count < 1 ? "帧数无法读取" : "数据少于帧数或数值无法读取", message);
  }

  bool ReadCount(int& frameCount, std::string& message) {
    if (!Next(frameCount, message)) return false;
    ++count;
    if (frameCount < 0 || frameCount > kMaxLineFrames)
      return Fail("帧数无效：" + std::to_string(frameCount), message);
    return true;
  }

 private:
  bool Fail(const std::string& what, std::string& message) const {
    message = BadFileMessage(path, what);
    return false;
  }

  const std::string& path;
  bool newForm;
  std::string bytes;
  std::vector<std::string> lines;
  size_t nextLine = 0;
  NumberReader plain;
  int count = 0;
};

}  // namespace

bool ReadTrackFrameCount(const std::string& path, bool newForm, int& frameCount, std::string& message) {
  TrackReader reader(path, newForm);
  return reader.Open(message) && reader.ReadCount(frameCount, message);
}

bool ReadReferenceTrack(const std::string& path, bool newForm, std::vector<int>& frames,
                        std::string& message) {
  frames.clear();
  TrackReader reader(path, newForm);
  int n = 0;
  if (!reader.Open(message) || !reader.ReadCount(n, message)) return false;
  frames.reserve(static_cast<size_t>(n));
  for (int f = 0; f < n; ++f) {
    int value = 0;
    if (!reader.Next(value, message)) return false;
    // The new form stores whole semitones below 100.
    if (newForm && value < 100) {
      if (value < INT_MIN / 10) {
        message = BadFileMessage(path, "数值无效：" + std::to_string(value));
        return false;
      }
      value *= 10;
    }
    frames.push_back(value);
  }
  return true;
}

}  // namespace sonavera::content
