#pragma once

#include <string>
#include <vector>

namespace sonavera::content {

/// Splits the lines of "Lyric" (GBK bytes, without line breaks) into lyric units, in order.
/// A double-byte character is a unit of its own and drops a pending unfinished word; a blank ends a
/// word and stays on it ("I "); a "-" ends a word without being kept ("love-you" is "love", "you...").
/// A unit is kept even when empty. The pending word carries over to the next line.
std::vector<std::string> SplitSyllables(const std::vector<std::string>& lines);

}  // namespace sonavera::content
