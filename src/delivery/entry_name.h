#pragma once

#include <string>

namespace sonavera::delivery {

/// The stored name of an archive entry as UTF-8: names without the UTF-8 flag (general-purpose bit
/// 11) are GBK, as archives made on Chinese systems store them. Separators are left as stored.
std::string DecodeEntryName(const std::string& stored, bool utf8Flag);

/// The name an entry is written under, relative to the target folder, with '/' between levels.
/// Drive prefixes, leading separators and parent steps are cut off the front, and everything up to
/// a parent step inside the name is dropped ("../../W/f" -> "W/f", "C:\W\f" -> "W/f",
/// "/a/../b" -> "b"). '\' separates levels like '/'; empty and "." levels are dropped. The result
/// never climbs above the target folder and never names an absolute path; it may be empty.
std::string MakeSafeEntryName(const std::string& name);

}  // namespace sonavera::delivery
