#pragma once

#include <map>
#include <string>

namespace sonavera::platform {

/// The program's settings file "sonavera.ini" beside the program: INI sections of key=value lines.
/// Lines starting with ';' or '#' are comments; blanks around names and values are ignored; the
/// last of two equal keys wins. Section and key names are compared exactly (case-sensitive).
///
/// Sections and keys the program reads (all addresses are empty when no server is configured):
///   [network] tokenUrl, storageUrl          token file; scheme://host[:port] of the storage service
///   [web]     siteUrl, operationTutorialUrl, installTutorialUrl, advertUrl, sharePictureUrl
///   [share]   weiboUrl, tencentWeiboUrl     share endpoints (scheme://host)
///   [support] customerServiceNumber
class Config {
 public:
  /// Reads programFolder + "sonavera.ini"; a missing or unreadable file gives an empty configuration.
  static Config Load(const std::string& programFolder);

  /// Parses the text of an INI file.
  static Config Parse(const std::string& text);

  /// The value of `key` in `section`, or `fallback` when it is absent.
  std::string Get(const std::string& section, const std::string& key, const std::string& fallback = "") const;

 private:
  std::map<std::string, std::string> values;  // "section\nkey" -> value
};

/// The name of the settings file in the program folder.
inline constexpr const char* kConfigFileName = "sonavera.ini";

}  // namespace sonavera::platform
