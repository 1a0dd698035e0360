#pragma once

#include <string>
#include <vector>

namespace sonavera::songgen {

/// Writes the files the program reads beside itself for its song library: "List.txt" (the given
/// catalogue lines, GBK, one per line), "AD.txt" (the banner), "init" (help, one paragraph per
/// line), "zchelp.htm" (how to hear one's own voice) and the "avi" folder. `catalogueLines` are UTF-8.
/// False with `error` when a file cannot be written or a line has no GBK form.
bool WriteLibraryFiles(const std::string& programFolder, const std::vector<std::string>& catalogueLines,
                       std::string& error);

}  // namespace sonavera::songgen
