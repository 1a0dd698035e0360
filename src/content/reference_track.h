#pragma once

#include <string>
#include <vector>

namespace sonavera::content {

/// Most frames one line may have (over 26 minutes of 16 ms ticks); more is a damaged file.
inline constexpr int kMaxLineFrames = 100000;

/// Reads only the frame count n at the start of a pitch file (new form: its first scrambled line).
/// False with the user's message when the file is missing, n is unreadable, negative or over
/// kMaxLineFrames.
bool ReadTrackFrameCount(const std::string& path, bool newForm, int& frameCount, std::string& message);

/// Reads a whole pitch file: n, then n frame values in tenths of a semitone. A new-form value below
/// 100 is in whole semitones and is multiplied by 10. False with the user's message as above, or when
/// a value is unreadable or the file holds fewer than n.
bool ReadReferenceTrack(const std::string& path, bool newForm, std::vector<int>& frames,
                        std::string& message);

}  // namespace sonavera::content
