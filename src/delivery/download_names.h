#pragma once

#include <string>

namespace sonavera::delivery {

/// The two special names: the server song list and the advert list, unpacked into the program folder.
inline constexpr const char* kListName = "List";
inline constexpr const char* kAdvertName = "AD";

/// True for "List" and "AD".
bool IsSpecialName(const std::string& name);

/// True when a catalogue name may be used in a path: not empty, valid UTF-8, no "/", "\", "..",
/// drive prefix ("X:") or control characters, and short enough for a file name with ".zip".
bool IsPlainName(const std::string& name);

/// The name as it goes into a storage request: its UTF-8 bytes with ASCII letters and digits kept,
/// white space as "+", and every other byte as "%" and two upper-case hexadecimal digits.
std::string EncodeName(const std::string& utf8Name);

}  // namespace sonavera::delivery
