#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sonavera::delivery {

/// The token of one line of the token file: the text after the first "access_token=" up to the next
/// "&" (empty when no "&" follows); nullopt for a line without "access_token=".
std::optional<std::string> TokenOfLine(const std::string& line);

/// The tokens of a token file's text, in file order.
std::vector<std::string> ParseTokenFile(const std::string& text);

/// The size text of one line of a file-information answer: the text from 6 characters after "size"
/// (past `size":`) to the next ","; nullopt when the line holds no "size".
std::optional<std::string> SizeTextOfLine(const std::string& line);

/// The size text as a decimal number of bytes; 0 when it is missing or not a number.
long long ParseSizeText(const std::string& sizeText);

}  // namespace sonavera::delivery
