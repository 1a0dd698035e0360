#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sonavera::songgen {

/// Writes an uncompressed 24-bit BMP. `rgb` holds width x height pixels 0xRRGGBB, top row first.
bool WriteBmp24(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb,
                std::string& error);

/// The song's 32 x 32 list picture ("head.bmp"): a coloured disc with a note on white, which the
/// list shows as transparent. The colour follows from `seed` (the song's name).
bool WriteHeadPicture(const std::string& path, const std::string& seed, std::string& error);

/// The song's 800 x 438 stage background ("Images/bgpic.png"), drawn in colours that follow from
/// `seed`.
bool WriteBackgroundPicture(const std::string& path, const std::string& seed, std::string& error);

}  // namespace sonavera::songgen
