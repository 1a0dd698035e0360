#pragma once

#include <string>

namespace sonavera::content {

// The texts the user sees when a song package cannot be used. Paths are UTF-8.

inline constexpr const char* kOutdatedPackageMessage = "该歌曲版本过旧，请更新至新版本歌曲包";
inline constexpr const char* kLineBytesMemoryMessage = "error memory";
inline constexpr const char* kTablesMemoryMessage = "erro memory";

/// "歌曲文件缺失：<path>"
std::string MissingFileMessage(const std::string& path);
/// "歌曲文件内容有误（<what>）：<path>"
std::string BadFileMessage(const std::string& path, const std::string& what);

}  // namespace sonavera::content
