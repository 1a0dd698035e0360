#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sonavera::tool {

/// Builds compact JSON text (one line) for the commands' output. Keys and values are added in the
/// order they should appear; commas are placed by the writer. Strings are taken as UTF-8: control
/// characters, quotes and backslashes are escaped, malformed bytes become U+FFFD. Floats are printed
/// as "%.9g" in the "C" locale; NaN and infinities, which JSON cannot hold, as null.
class JsonWriter {
 public:
  JsonWriter& BeginObject() { return Open('{'); }
  JsonWriter& EndObject() { return Close('}'); }
  JsonWriter& BeginArray() { return Open('['); }
  JsonWriter& EndArray() { return Close(']'); }

  /// The key of the next value inside an object.
  JsonWriter& Key(std::string_view key) {
    Separate();
    AppendString(key);
    text += ':';
    afterKey = true;
    return *this;
  }

  JsonWriter& String(std::string_view value) {
    Separate();
    AppendString(value);
    return *this;
  }
  JsonWriter& Bool(bool value) { return Raw(value ? "true" : "false"); }
  JsonWriter& Int(int64_t value) { return Raw(std::to_string(value)); }
  JsonWriter& Float(double value) {
    if (!std::isfinite(value)) return Raw("null");
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 9);
    return Raw(error == std::errc() ? std::string(buffer, end) : std::string("null"));
  }

  template <typename T>
  JsonWriter& IntArray(const std::vector<T>& values) {
    BeginArray();
    for (const T& value : values) Int(value);
    return EndArray();
  }
  template <typename T>
  JsonWriter& FloatArray(const std::vector<T>& values) {
    BeginArray();
    for (const T& value : values) Float(value);
    return EndArray();
  }
  JsonWriter& StringArray(const std::vector<std::string>& values) {
    BeginArray();
    for (const std::string& value : values) String(value);
    return EndArray();
  }

  /// The text so far.
  const std::string& Text() const { return text; }

 private:
  JsonWriter& Open(char bracket) {
    Separate();
    text += bracket;
    needComma.push_back(false);
    return *this;
  }
  JsonWriter& Close(char bracket) {
    text += bracket;
    if (!needComma.empty()) needComma.pop_back();
    return *this;
  }
  JsonWriter& Raw(const std::string& value) {
    Separate();
    text += value;
    return *this;
  }
  // A comma before every element but the first of its container; none right after a key.
  void Separate() {
    if (afterKey) {
      afterKey = false;
      return;
    }
    if (needComma.empty()) return;
    if (needComma.back()) text += ',';
    needComma.back() = true;
  }

  // Length of the well-formed UTF-8 sequence at `i`, or 0 when the bytes there are malformed.
  static size_t Utf8Length(std::string_view s, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
    } else {
      return 0;
    }
    if (i + length > s.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
      if ((byte(i + k) & 0xC0) != 0x80) return 0;
      code = (code << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
      return 0;
    return length;
  }

  void AppendString(std::string_view s) {
    text += '"';
    for (size_t i = 0; i < s.size();) {
      const auto c = static_cast<unsigned char>(s[i]);
      if (c >= 0x80) {
        const size_t length = Utf8Length(s, i);
        if (length == 0) {
          text += "\\ufffd";
          ++i;
        } else {
          text.append(s.substr(i, length));
          i += length;
        }
        continue;
      }
      switch (c) {
        case '"':
          text += "\\\"";
          break;
        case '\\':
          text += "\\\\";
          break;
        case '\n':
          text += "\\n";
          break;
        case '\r':
          text += "\\r";
          break;
        case '\t':
          text += "\\t";
          break;
        case '\b':
          text += "\\b";
          break;
        case '\f':
          text += "\\f";
          break;
        default:
          if (c < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            text += "\\u00";
            text += kHex[c >> 4];
            text += kHex[c & 15];
          } else {
            text += static_cast<char>(c);
          }
      }
      ++i;
    }
    text += '"';
  }

  std::string text;
  std::vector<bool> needComma;  // per open container: an element has been written
  bool afterKey = false;
};

}  // namespace sonavera::tool
