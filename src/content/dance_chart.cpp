#include "content/dance_chart.h"

#include "content/load_messages.h"
#include "content/number_reader.h"
#include "content/text_file.h"

namespace sonavera::content {

bool ReadDanceChart(const std::string& path, SongTables& tables, std::string& message) {
  tables.danceTimes.clear();
  tables.danceCodes.clear();
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) {
    message = MissingFileMessage(path);
    return false;
  }
  const size_t steps = SplitTextLines(bytes).size() / 2;
  tables.danceTimes.reserve(steps);
  tables.danceCodes.reserve(steps);
  NumberReader reader(bytes);
  for (size_t step = 0; step < steps; ++step) {
    float time = 0.0f;
    int code = 0;
    if (!reader.ReadFloat(time) || !reader.ReadInt(code)) {
      message = BadFileMessage(path, "第 " + std::to_string(step + 1) + " 步无法读取");
      return false;
    }
    tables.danceTimes.push_back(time);
    tables.danceCodes.push_back(code);
  }
  return true;
}

}  // namespace sonavera::content
