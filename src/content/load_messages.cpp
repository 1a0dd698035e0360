#include "content/load_messages.h"

namespace sonavera::content {

std::string MissingFileMessage(const std::string& path) {
  return "歌曲文件缺失：" + path;
}

std::string BadFileMessage(const std::string& path, const std::string& what) {
  return "歌曲文件内容有误（" + what + "）：" + path;
}

}  // namespace sonavera::content
