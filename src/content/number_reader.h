#pragma once

#include <string>
#include <string_view>

namespace sonavera::content {

/// Reads numbers one after another from text by the rules of "%d" and "%f" formatted input: white
/// space before a number is skipped (so line breaks do not matter), the longest prefix that forms a
/// number is taken and the rest is left for the next read. Independent of the C locale.
class NumberReader {
 public:
  explicit NumberReader(std::string_view text) : text(text) {}
  explicit NumberReader(const char* text) : text(text) {}
  // The reader keeps a view of the text: a temporary string would be gone before the first read.
  explicit NumberReader(std::string&&) = delete;

  /// False when the text is used up or the next token is not an integer in int range.
  bool ReadInt(int& value);
  /// False when the text is used up or the next token is not a finite float.
  bool ReadFloat(float& value);

 private:
  void SkipSpace();

  std::string_view text;
  size_t pos = 0;
};

/// The integer at the start of `text` the way atoi reads it: 0 when there is none; clamped to the
/// int range.
int LeadingInt(std::string_view text);

/// The number at the start of `text` the way atof reads it: 0 when there is none or it is not finite.
double LeadingFloat(std::string_view text);

/// `value` as "%.9g" prints it in the "C" locale (enough digits to read back the same float).
std::string FormatFloat(float value);

}  // namespace sonavera::content
