#pragma once

#include <string>

namespace sonavera::content {

/// What the header "sh" of a scored song says.
struct SongHeader {
  bool newForm = false;  // four or more scrambled lines
  int lineCount = 0;     // sung lines + 1
  std::string title;     // new form only (GBK)
};

/// Most timing entries a song may have; more is a damaged header.
inline constexpr int kMaxLineCount = 10000;

/// Reads the header of a scored song. False with the user's message for a missing or empty file, the
/// outdated two- or three-line form, or a line count that is unreadable or not 2..kMaxLineCount.
bool ReadSongHeader(const std::string& path, SongHeader& header, std::string& message);

/// Reads the reference ratio of a KTV song (its header's second scrambled line). False with the
/// user's message when the file is missing, has fewer than two lines, or the ratio is not above 0.
bool ReadKtvReferenceRatio(const std::string& path, float& ratio, std::string& message);

}  // namespace sonavera::content
