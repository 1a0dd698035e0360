#include "delivery/zip_archive.h"

#include <minizip/unzip.h>

#include "delivery/entry_metadata.h"
#include "delivery/entry_name.h"
#include "delivery/target_folder.h"

namespace sonavera::delivery {
namespace {

constexpr size_t kPieceSize = 0x4000;  // inflate and write in pieces of 16 KiB
constexpr uLong kUtf8NameFlag = 1u << 11;
constexpr uLong kEncryptedFlag = 1u << 0;

struct EntryInfo {
  unz_file_info64 info{};
  std::string storedName;
};

bool ReadInfo(unzFile file, EntryInfo& out) {
  if (unzGetCurrentFileInfo64(file, &out.info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
  std::vector<char> name(out.info.size_filename + 1);
  if (unzGetCurrentFileInfo64(file, &out.info, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr,
                              0) != UNZ_OK) {
    return false;
  }
  out.storedName.assign(name.data(), out.info.size_filename);
  return true;
}

bool StoredAsFolder(const EntryInfo& entry) {
  const uint32_t attributes =
      EntryAttributes(static_cast<uint32_t>(entry.info.version), static_cast<uint32_t>(entry.info.external_fa));
  const std::string& name = entry.storedName;
  return (attributes & kDirectory) || (!name.empty() && (name.back() == '/' || name.back() == '\\'));
}

// The local extra field of the current entry (opened raw, so no password and no inflate are needed).
std::vector<unsigned char> LocalExtraField(unzFile file) {
  std::vector<unsigned char> extra;
  int method = 0;
  int level = 0;
  if (unzOpenCurrentFile3(file, &method, &level, 1, nullptr) != UNZ_OK) return extra;
  const int size = unzGetLocalExtrafield(file, nullptr, 0);
  if (size > 0) {
    extra.resize(static_cast<size_t>(size));
    if (unzGetLocalExtrafield(file, extra.data(), static_cast<unsigned>(size)) != size) extra.clear();
  }
  unzCloseCurrentFile(file);
  return extra;
}

}  // namespace

std::unique_ptr<ZipArchive> ZipArchive::Open(const std::string& path) {
  unzFile file = unzOpen64(path.c_str());
  if (!file) return nullptr;
  unz_global_info64 global{};
  if (unzGetGlobalInfo64(file, &global) != UNZ_OK || global.number_entry > 0x7FFFFFFF) {
    unzClose(file);
    return nullptr;
  }
  return std::unique_ptr<ZipArchive>(new ZipArchive(file, static_cast<int>(global.number_entry)));
}

ZipArchive::ZipArchive(void* handle, int entryCount) : file(handle), count(entryCount) {}

ZipArchive::~ZipArchive() {
  unzCloseCurrentFile(file);
  unzClose(file);
}

void ZipArchive::SetTargetFolder(const std::string& folder) {
  targetFolder = folder;
  if (targetFolder.empty() || (targetFolder.back() != '/' && targetFolder.back() != '\\')) targetFolder += '/';
}

ZipResult ZipArchive::Seek(int index) {
  if (index < 0 || index >= count) return ZipResult::kBadArgument;
  if (position < 0 || index < position) {
    if (unzGoToFirstFile(file) != UNZ_OK) return ZipResult::kCorrupt;
    position = 0;
  }
  while (position < index) {
    if (unzGoToNextFile(file) != UNZ_OK) {
      position = -1;
      return ZipResult::kCorrupt;
    }
    ++position;
  }
  return ZipResult::kOk;
}

ZipResult ZipArchive::Query(int index, ZipEntry& entry) {
  if (index == -1) {
    entry = ZipEntry();
    entry.index = count;
    return ZipResult::kOk;
  }
  if (const ZipResult seek = Seek(index); seek != ZipResult::kOk) return seek;
  EntryInfo info;
  if (!ReadInfo(file, info)) return ZipResult::kCorrupt;
  entry = ZipEntry();
  entry.index = index;
  entry.name = MakeSafeEntryName(DecodeEntryName(info.storedName, (info.info.flag & kUtf8NameFlag) != 0));
  entry.attributes =
      EntryAttributes(static_cast<uint32_t>(info.info.version), static_cast<uint32_t>(info.info.external_fa));
  if (StoredAsFolder(info)) entry.attributes |= kDirectory;
  const std::vector<unsigned char> extra = LocalExtraField(file);
  const EntryTimes times =
      EntryTimesFrom(static_cast<uint32_t>(info.info.dosDate), extra.empty() ? nullptr : extra.data(), extra.size());
  entry.accessTime = times.accessTime;
  entry.creationTime = times.creationTime;
  entry.modificationTime = times.modificationTime;
  entry.compressedSize = static_cast<int64_t>(info.info.compressed_size);
  entry.uncompressedSize = static_cast<int64_t>(info.info.uncompressed_size);
  return ZipResult::kOk;
}

ZipResult ZipArchive::Unpack(int index, const std::string& name) {
  ZipEntry entry;
  if (const ZipResult query = Query(index, entry); query != ZipResult::kOk) return query;
  const std::vector<std::string> levels = SplitLevels(MakeSafeEntryName(name));

  if (entry.attributes & kDirectory) {
    const FolderHandle folder(targetFolder, levels);
    return folder.Valid() ? ZipResult::kOk : ZipResult::kCannotCreate;
  }
  if (levels.empty()) return ZipResult::kBadArgument;

  EntryInfo info;
  if (!ReadInfo(file, info)) return ZipResult::kCorrupt;
  if (info.info.flag & kEncryptedFlag) return ZipResult::kPasswordRequired;
  if (info.info.compression_method != 0 && info.info.compression_method != Z_DEFLATED) {
    return ZipResult::kDecompressError;
  }

  const FolderHandle folder(targetFolder, std::vector<std::string>(levels.begin(), levels.end() - 1));
  if (!folder.Valid()) return ZipResult::kCannotCreate;
  ReplacingFile out(folder, levels.back());
  if (!out.Valid()) return ZipResult::kCannotCreate;

  if (unzOpenCurrentFile(file) != UNZ_OK) return ZipResult::kCorrupt;
  if (buffer.empty()) buffer.resize(kPieceSize);
  for (;;) {
    const int n = unzReadCurrentFile(file, buffer.data(), static_cast<unsigned>(buffer.size()));
    if (n < 0) {
      unzCloseCurrentFile(file);
      return n == Z_DATA_ERROR || n == Z_STREAM_ERROR || n == Z_MEM_ERROR ? ZipResult::kDecompressError
                                                                          : ZipResult::kCorrupt;
    }
    if (n == 0) break;
    if (!out.Write(buffer.data(), static_cast<size_t>(n))) {
      unzCloseCurrentFile(file);
      return ZipResult::kWriteError;
    }
  }
  if (unzCloseCurrentFile(file) != UNZ_OK) return ZipResult::kCorrupt;  // wrong checksum
  const EntryTimes times{entry.accessTime, entry.creationTime, entry.modificationTime};
  return out.Commit(entry.attributes, times) ? ZipResult::kOk : ZipResult::kCannotCreate;
}

}  // namespace sonavera::delivery
