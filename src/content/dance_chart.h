#pragma once

#include <string>

#include "content/song_tables.h"

namespace sonavera::content {

/// Reads "dance.txt" into `danceTimes` and `danceCodes`: the file has one step per two text lines
/// (a final line without a line break counts), read as a "%f" time and a "%d" code in alternation
/// from the start. False with the user's message when the file is missing or holds fewer numbers.
bool ReadDanceChart(const std::string& path, SongTables& tables, std::string& message);

}  // namespace sonavera::content
