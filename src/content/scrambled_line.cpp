#include "content/scrambled_line.h"

#include <cstdint>
#include <utility>

#include "content/song_package.h"

namespace sonavera::content {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string Base64Encode(const std::string& bytes) {
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t left = bytes.size() - i;
    uint32_t group = static_cast<uint8_t>(bytes[i]) << 16;
    if (left > 1) group |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    if (left > 2) group |= static_cast<uint8_t>(bytes[i + 2]);
    text += kAlphabet[(group >> 18) & 63];
    text += kAlphabet[(group >> 12) & 63];
    text += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
    text += left > 2 ? kAlphabet[group & 63] : '=';
  }
  return text;
}

bool Base64Decode(const std::string& text, std::string& bytes) {
  bytes.clear();
  size_t end = text.size();
  while (end > 0 &&
         (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r' || text[end - 1] == '\n'))
    --end;
  uint32_t bits = 0;
  int bitCount = 0;
  size_t i = 0;
  for (; i < end && text[i] != '='; ++i) {
    const int sextet = SextetOf(text[i]);
    if (sextet < 0) return false;
    bits = (bits << 6) | static_cast<uint32_t>(sextet);
    bitCount += 6;
    if (bitCount >= 8) {
      bitCount -= 8;
      bytes += static_cast<char>((bits >> bitCount) & 0xFF);
    }
  }
  // Only padding may follow the first "=".
  for (; i < end; ++i) {
    if (text[i] != '=') return false;
  }
  return true;
}

bool TryDecodeScrambledLine(const std::string& line, std::string& text) {
  std::string unscrambled = line;
  if (unscrambled.size() >= 2) std::swap(unscrambled[0], unscrambled[1]);
  return Base64Decode(unscrambled, text);
}

std::string DecodeScrambledLine(const std::string& line) {
  std::string text;
  if (!TryDecodeScrambledLine(line, text)) text.clear();
  return text;
}

std::string EncodeScrambledLine(const std::string& text) {
  std::string line = Base64Encode(text);
  if (line.size() >= 2) std::swap(line[0], line[1]);
  return line;
}

}  // namespace sonavera::content
