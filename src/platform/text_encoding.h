#pragma once

#include <optional>
#include <string>

namespace sonavera::platform {

/// GBK (code page 936) bytes to UTF-8. Bytes that are not valid GBK become U+FFFD; never fails.
std::string GbkToUtf8(const std::string& gbk);

/// UTF-8 to GBK bytes; std::nullopt when the text holds a character GBK cannot represent or is not
/// valid UTF-8 (nothing is dropped silently).
std::optional<std::string> Utf8ToGbk(const std::string& utf8);

/// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(const std::string& text);

}  // namespace sonavera::platform
