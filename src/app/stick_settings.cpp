#include "app/stick_settings.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/dance_stick.h"

namespace sonavera::app {

StickDatSettings::StickDatSettings(std::string programFolder) : programFolder(std::move(programFolder)) {
  if (!this->programFolder.empty() && this->programFolder.back() != '/') this->programFolder += '/';
}

std::string StickDatSettings::Path() const {
  return programFolder + "stick.dat";
}

bool StickDatSettings::Open() {
  std::ifstream file(Path(), std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  open = true;
  return true;
}

std::optional<int> StickDatSettings::ReadSetting(int offset) {
  if (!open || offset < 0 || static_cast<size_t>(offset) + 2 > bytes.size()) return std::nullopt;
  const char high = bytes[static_cast<size_t>(offset)];
  const char low = bytes[static_cast<size_t>(offset) + 1];
  // A single digit may be stored with a leading blank (" 7") or a leading zero ("07").
  if (low < '0' || low > '9') return std::nullopt;
  if (high == ' ') return low - '0';
  if (high < '0' || high > '9') return std::nullopt;
  return (high - '0') * 10 + (low - '0');
}

void StickDatSettings::Close() {
  bytes.clear();
  open = false;
}

bool StickDatSettings::Save(int up, int down, int left, int right) {
  const int values[4] = {up, down, left, right};
  const int offsets[4] = {kStickOffsetUp, kStickOffsetDown, kStickOffsetLeft, kStickOffsetRight};
  std::string content;
  if (std::ifstream old(Path(), std::ios::binary); old)
    content.assign(std::istreambuf_iterator<char>(old), std::istreambuf_iterator<char>());
  if (content.size() < static_cast<size_t>(kStickOffsetRight) + 2)
    content.resize(static_cast<size_t>(kStickOffsetRight) + 2, '0');
  for (int i = 0; i < 4; ++i) {
    if (values[i] < 1 || values[i] > 10) return false;
    char digits[3];
    std::snprintf(digits, sizeof(digits), "%02d", values[i]);
    content[static_cast<size_t>(offsets[i])] = digits[0];
    content[static_cast<size_t>(offsets[i]) + 1] = digits[1];
  }
  const std::string side = Path() + ".new";
  {
    std::ofstream file(side, std::ios::binary | std::ios::trunc);
    if (!file.write(content.data(), static_cast<std::streamsize>(content.size())) || !file.flush()) {
      std::remove(side.c_str());
      return false;
    }
  }
  if (std::rename(side.c_str(), Path().c_str()) != 0) {
    std::remove(side.c_str());
    return false;
  }
  return true;
}

}  // namespace sonavera::app
