#include "content/syllables.h"

namespace sonavera::content {

std::vector<std::string> SplitSyllables(const std::vector<std::string>& lines) {
  std::vector<std::string> units;
  std::string pending;
  for (const std::string& line : lines) {
    for (size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (static_cast<unsigned char>(c) & 0x80) {
        // Lead byte of a GBK character: it and its trail byte (when the line has one) form the unit.
        pending.assign(1, c);
        if (i + 1 < line.size()) pending += line[++i];
        units.push_back(pending);
        pending.clear();
      } else if (c == ' ') {
        pending += ' ';
        units.push_back(pending);
        pending.clear();
      } else if (c == '-') {
        units.push_back(pending);
        pending.clear();
      } else {
        pending += c;
      }
    }
  }
  return units;
}

}  // namespace sonavera::content
