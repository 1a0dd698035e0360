#pragma once

#include <string>

#include "app/performance.h"

namespace sonavera::app {

/// The JSON object of one song's result: title, finalScore, danceScore, bestLine, worstLine,
/// reportHtml.
std::string ResultJson(const SongResult& result);
/// Replaces `path` with the result (written beside it first, then renamed, so a reader never sees
/// half a file). False when it cannot be written.
bool WriteResultsFile(const std::string& path, const SongResult& result);

}  // namespace sonavera::app
