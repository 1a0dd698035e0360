#pragma once

#include <string>

namespace sonavera::platform {

/// Path of the installed font file that best matches a fontconfig pattern (e.g. "sans:lang=zh-cn"),
/// or "" when fontconfig finds no file at all.
std::string FindFontFile(const std::string& pattern);

/// The sans-serif font with Chinese glyphs the stage draws lyrics and captions with (our stand-in for
/// the Windows system font). "" when none is installed.
std::string CjkSansFontFile();

/// A Latin sans-serif font for digits and captions (DejaVu Sans when present).
std::string LatinSansFontFile();

}  // namespace sonavera::platform
