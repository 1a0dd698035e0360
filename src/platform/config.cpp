#include "platform/config.h"

#include <fstream>
#include <sstream>

namespace sonavera::platform {
namespace {

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return std::string();
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

}  // namespace

Config Config::Load(const std::string& programFolder) {
  std::string path = programFolder;
  if (!path.empty() && path.back() != '/') path += '/';
  std::ifstream in(path + kConfigFileName, std::ios::binary);
  if (!in) return Config();
  std::ostringstream text;
  text << in.rdbuf();
  return Parse(text.str());
}

Config Config::Parse(const std::string& text) {
  Config config;
  std::istringstream in(text);
  std::string line;
  std::string section;
  bool first = true;
  while (std::getline(in, line)) {
    if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);  // a UTF-8 byte-order mark
    first = false;
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') continue;
    if (trimmed.front() == '[') {
      const auto close = trimmed.find(']');
      section = Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      continue;
    }
    const auto equals = trimmed.find('=');
    if (equals == std::string::npos) continue;  // not a setting
    const std::string key = Trim(trimmed.substr(0, equals));
    if (key.empty()) continue;
    config.values[section + '\n' + key] = Trim(trimmed.substr(equals + 1));
  }
  return config;
}

std::string Config::Get(const std::string& section, const std::string& key, const std::string& fallback) const {
  const auto it = values.find(section + '\n' + key);
  return it == values.end() ? fallback : it->second;
}

}  // namespace sonavera::platform
