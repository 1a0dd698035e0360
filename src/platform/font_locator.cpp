#include "platform/font_locator.h"

#include <fontconfig/fontconfig.h>

#include <mutex>

namespace sonavera::platform {

std::string FindFontFile(const std::string& pattern) {
  // FcInit is reference-counted and cheap after the first call; keep one config for the process.
  static std::once_flag once;
  std::call_once(once, [] { FcInit(); });

  FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
  if (!pat) return {};
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pat, &result);
  std::string path;
  if (match) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
      path = reinterpret_cast<const char*>(file);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pat);
  return path;
}

std::string CjkSansFontFile() {
  static const std::string path = FindFontFile("sans-serif:lang=zh-cn");
  return path;
}

std::string LatinSansFontFile() {
  static const std::string path = FindFontFile("DejaVu Sans:style=Book");
  return path;
}

}  // namespace sonavera::platform
