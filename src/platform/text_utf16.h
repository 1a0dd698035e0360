#pragma once

#include <string>

namespace sonavera::platform {

/// UTF-8 to UTF-16 code units (characters beyond U+FFFF become surrogate pairs). Malformed bytes
/// become U+FFFD; never fails.
std::u16string Utf8ToUtf16(const std::string& utf8);

/// UTF-16 code units to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& utf16);

/// GBK bytes (song files, lyrics) to the UTF-16 units the text fonts draw.
std::u16string GbkToUtf16(const std::string& gbk);

}  // namespace sonavera::platform
