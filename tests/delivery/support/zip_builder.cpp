#include "support/zip_builder.h"

#include <minizip/zip.h>

#include "support/temp_folder.h"

namespace sonavera::testing {

bool WriteZip(const std::string& path, const std::vector<ZipItem>& items) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  if (!zip) return false;
  bool ok = true;
  for (const auto& item : items) {
    zip_fileinfo info{};
    info.dosDate = item.dosDate;
    info.external_fa = item.externalAttributes;
    std::string extra;
    if (item.utModification) {
      const uint32_t t = *item.utModification;
      extra = std::string("UT\x05\x00\x01", 5);
      for (int i = 0; i < 4; ++i) extra += static_cast<char>((t >> (8 * i)) & 0xFF);
    }
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(item.data.data()), static_cast<uInt>(item.data.size()));
    const int opened = zipOpenNewFileInZip4_64(
        zip, item.name.c_str(), &info, extra.empty() ? nullptr : extra.data(),
        static_cast<uInt>(extra.size()), nullptr, 0, nullptr, item.stored ? 0 : Z_DEFLATED,
        item.stored ? 0 : Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY,
        item.password.empty() ? nullptr : item.password.c_str(), crc, item.versionMadeBy,
        item.utf8Flag ? (1u << 11) : 0, 0);
    ok = ok && opened == ZIP_OK;
    if (opened != ZIP_OK) continue;
    if (!item.data.empty()) {
      ok =
          ok && zipWriteInFileInZip(zip, item.data.data(), static_cast<unsigned>(item.data.size())) == ZIP_OK;
    }
    ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
  }
  return zipClose(zip, nullptr) == ZIP_OK && ok;
}

std::string StoredZipBytes(const ZipFiles& files) {
  std::vector<ZipItem> items;
  for (const auto& [name, data] : files) {
    ZipItem item;
    item.name = name;
    item.data = data;
    item.utf8Flag = true;
    item.stored = true;
    items.push_back(item);
  }
  TempFolder scratch;
  const std::string path = scratch.Path() + "stored.zip";
  if (scratch.Path().empty() || !WriteZip(path, items)) return std::string();
  return ReadFile(path);
}

}  // namespace sonavera::testing
