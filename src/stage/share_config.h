#pragma once

#include <string>

namespace sonavera::stage {

/// Addresses the results screen shares a score with. Read from "sonavera.ini" ([web] siteUrl,
/// sharePictureUrl; [share] weiboUrl, tencentWeiboUrl); an absent or empty share endpoint falls back
/// to the service's public share host.
struct ShareConfig {
  std::string weiboUrl = "https://service.weibo.com";
  std::string tencentWeiboUrl = "https://share.v.t.qq.com";
  std::string siteUrl;
  std::string sharePictureUrl;

  /// Reads programFolder + "sonavera.ini"; a missing file gives the defaults.
  static ShareConfig Load(const std::string& programFolder);
};

}  // namespace sonavera::stage
