#include "stage/share_config.h"

#include "platform/config.h"

namespace sonavera::stage {

ShareConfig ShareConfig::Load(const std::string& programFolder) {
  const platform::Config config = platform::Config::Load(programFolder);
  ShareConfig share;
  const auto pick = [&](const char* section, const char* key, std::string& value) {
    const std::string text = config.Get(section, key);
    if (!text.empty()) value = text;
  };
  pick("share", "weiboUrl", share.weiboUrl);
  pick("share", "tencentWeiboUrl", share.tencentWeiboUrl);
  pick("web", "siteUrl", share.siteUrl);
  pick("web", "sharePictureUrl", share.sharePictureUrl);
  return share;
}

}  // namespace sonavera::stage
