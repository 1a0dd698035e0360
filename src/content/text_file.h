#pragma once

#include <string>
#include <vector>

namespace sonavera::content {

/// Reads a whole file as bytes. False when it cannot be opened or read (a folder, no permission).
bool ReadFileBytes(const std::string& path, std::string& bytes);

/// Writes `bytes` to a file, replacing it. False when it cannot be written.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

/// True when `path` names an existing regular file (or a link to one).
bool FileExists(const std::string& path);

/// The text lines of `bytes` as a line reader returns them: split at '\n', each without its '\n'
/// and a '\r' before it; a last line without a line break counts, an empty text has no lines.
std::vector<std::string> SplitTextLines(const std::string& bytes);

/// `folder` + "/" + `name` (no doubled '/'); `name` alone when `folder` is empty.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace sonavera::content
