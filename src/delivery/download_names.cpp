#include "delivery/download_names.h"

#include "platform/text_encoding.h"

namespace sonavera::delivery {

bool IsSpecialName(const std::string& name) { return name == kListName || name == kAdvertName; }

bool IsPlainName(const std::string& name) {
  constexpr size_t kMaxNameBytes = 251;  // leaves room for ".zip" in a 255-byte file name
  if (name.empty() || name.size() > kMaxNameBytes || !platform::IsValidUtf8(name)) return false;
  if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos) return false;
  if (name.find("..") != std::string::npos) return false;
  if (name.size() >= 2 && name[1] == ':') return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return false;
  }
  return true;
}

std::string EncodeName(const std::string& utf8Name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : utf8Name) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) {
      out += c;
    } else if (byte == ' ' || (byte >= '\t' && byte <= '\r')) {
      out += '+';
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

}  // namespace sonavera::delivery
