#include "delivery/entry_name.h"

#include <vector>

#include "platform/text_encoding.h"

namespace sonavera::delivery {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Position just past the first parent step inside the text ("\..\", "/../", mixed), or npos.
size_t PastInnerParentStep(const std::string& s) {
  for (size_t i = 0; i + 3 < s.size(); ++i) {
    if (IsSeparator(s[i]) && s[i + 1] == '.' && s[i + 2] == '.' && IsSeparator(s[i + 3])) return i + 4;
  }
  return std::string::npos;
}

}  // namespace

std::string DecodeEntryName(const std::string& stored, bool utf8Flag) {
  return utf8Flag ? stored : platform::GbkToUtf8(stored);
}

std::string MakeSafeEntryName(const std::string& name) {
  std::string s = name;
  for (bool changed = true; changed;) {
    changed = true;
    if (s.size() >= 2 && s[1] == ':') {
      s.erase(0, 2);  // a drive
    } else if (!s.empty() && IsSeparator(s[0])) {
      s.erase(0, 1);  // a root
    } else if (s.size() >= 3 && s[0] == '.' && s[1] == '.' && IsSeparator(s[2])) {
      s.erase(0, 3);  // a leading parent step
    } else if (const size_t past = PastInnerParentStep(s); past != std::string::npos) {
      s.erase(0, past);
    } else {
      changed = false;
    }
  }
  // What the rules above leave can still end in a parent step ("a/..") or hold "." levels.
  std::vector<std::string> levels;
  std::string level;
  auto flush = [&] {
    if (level == "..") {
      levels.clear();
    } else if (!level.empty() && level != ".") {
      levels.push_back(level);
    }
    level.clear();
  };
  for (char c : s) {
    if (IsSeparator(c)) {
      flush();
    } else {
      level += c;
    }
  }
  flush();
  std::string out;
  for (const auto& part : levels) {
    if (!out.empty()) out += '/';
    out += part;
  }
  return out;
}

}  // namespace sonavera::delivery
