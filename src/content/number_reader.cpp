#include "content/number_reader.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

namespace sonavera::content {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Parses an optionally signed decimal integer at `pos`; `overflow` tells when it leaves the int range.
bool ParseInt(std::string_view text, size_t& pos, int64_t& value, bool& overflow) {
  size_t p = pos;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  if (p >= text.size() || !IsDigit(text[p])) return false;
  int64_t magnitude = 0;
  overflow = false;
  for (; p < text.size() && IsDigit(text[p]); ++p) {
    if (magnitude <= int64_t{INT_MAX} + 1) magnitude = magnitude * 10 + (text[p] - '0');
    if (magnitude > int64_t{INT_MAX} + 1) overflow = true;
  }
  value = negative ? -magnitude : magnitude;
  if (!negative && magnitude > INT_MAX) overflow = true;
  pos = p;
  return true;
}

// Parses an optionally signed float at `pos` ("+" is allowed, which from_chars alone refuses).
template <typename T>
bool ParseFloat(std::string_view text, size_t& pos, T& value) {
  size_t p = pos;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  if (p >= text.size() || text[p] == '+' || text[p] == '-') return false;
  T magnitude = 0;
  auto [end, error] = std::from_chars(text.data() + p, text.data() + text.size(), magnitude);
  if (error != std::errc()) return false;
  value = negative ? -magnitude : magnitude;
  pos = static_cast<size_t>(end - text.data());
  return true;
}

}  // namespace

void NumberReader::SkipSpace() {
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
}

bool NumberReader::ReadInt(int& value) {
  SkipSpace();
  int64_t wide = 0;
  bool overflow = false;
  size_t p = pos;
  if (!ParseInt(text, p, wide, overflow) || overflow) return false;
  pos = p;
  value = static_cast<int>(wide);
  return true;
}

bool NumberReader::ReadFloat(float& value) {
  SkipSpace();
  size_t p = pos;
  float parsed = 0.0f;
  if (!ParseFloat(text, p, parsed) || !std::isfinite(parsed)) return false;
  pos = p;
  value = parsed;
  return true;
}

int LeadingInt(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  int64_t value = 0;
  bool overflow = false;
  if (!ParseInt(text, pos, value, overflow)) return 0;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

double LeadingFloat(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  double value = 0.0;
  // Infinite and NaN spellings are not times of a song.
  if (!ParseFloat(text, pos, value) || !std::isfinite(value)) return 0.0;
  return value;
}

std::string FormatFloat(float value) {
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 9);
  if (error != std::errc()) return "0";
  return std::string(buffer, end);
}

}  // namespace sonavera::content
