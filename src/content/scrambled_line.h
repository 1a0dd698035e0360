#pragma once

#include <string>

namespace sonavera::content {

/// Base64 (standard alphabet, "=" padding) of `bytes`.
std::string Base64Encode(const std::string& bytes);

/// Decodes Base64 text; missing padding is accepted, trailing white space ignored. False when the
/// text holds a character outside the alphabet or a stray "=".
bool Base64Decode(const std::string& text, std::string& bytes);

/// Decodes one scrambled line into `text`: exchanges its first two characters back (a line shorter
/// than two characters is left alone) and Base64-decodes the result. False when it is not Base64.
bool TryDecodeScrambledLine(const std::string& line, std::string& text);

/// Scrambles one line of text: Base64, then the first two characters exchanged.
std::string EncodeScrambledLine(const std::string& text);

}  // namespace sonavera::content
