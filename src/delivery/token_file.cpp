#include "delivery/token_file.h"

#include <sstream>

namespace sonavera::delivery {

std::optional<std::string> TokenOfLine(const std::string& line) {
  static const std::string kKey = "access_token=";
  const auto at = line.find(kKey);
  if (at == std::string::npos) return std::nullopt;
  const auto start = at + kKey.size();
  const auto amp = line.find('&', start);
  if (amp == std::string::npos) return std::string();
  return line.substr(start, amp - start);
}

std::vector<std::string> ParseTokenFile(const std::string& text) {
  std::vector<std::string> tokens;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (auto token = TokenOfLine(line)) tokens.push_back(*token);
  }
  return tokens;
}

std::optional<std::string> SizeTextOfLine(const std::string& line) {
  const auto at = line.find("size");
  if (at == std::string::npos) return std::nullopt;
  const auto start = at + 6;
  if (start >= line.size()) return std::string();
  const auto comma = line.find(',', start);
  return line.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
}

long long ParseSizeText(const std::string& sizeText) {
  // Like "%d": leading white space and a sign, then as many digits as there are.
  size_t i = 0;
  while (i < sizeText.size() && (sizeText[i] == ' ' || sizeText[i] == '\t')) ++i;
  bool negative = false;
  if (i < sizeText.size() && (sizeText[i] == '+' || sizeText[i] == '-')) negative = sizeText[i++] == '-';
  long long value = 0;
  bool any = false;
  for (; i < sizeText.size() && sizeText[i] >= '0' && sizeText[i] <= '9'; ++i) {
    any = true;
    if (value > 1'000'000'000'000LL) return 0;  // far beyond any archive: not a size
    value = value * 10 + (sizeText[i] - '0');
  }
  if (!any) return 0;
  return negative ? -value : value;
}

}  // namespace sonavera::delivery
