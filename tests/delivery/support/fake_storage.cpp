#include "support/fake_storage.h"

#include <stdlib.h>

#include "delivery/download_names.h"

namespace sonavera::testing {
namespace {

std::string QueryValue(const std::string& query, const std::string& key) {
  const std::string marker = key + "=";
  size_t at = 0;
  while ((at = query.find(marker, at)) != std::string::npos) {
    if (at == 0 || query[at - 1] == '&' || query[at - 1] == '?') {
      const size_t start = at + marker.size();
      const size_t end = query.find('&', start);
      return query.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }
    ++at;
  }
  return std::string();
}

}  // namespace

FakeStorage::FakeStorage() : server([this](const std::string& target) { return Handle(target); }) {
  // A proxy set for the machine must not stand between the tests (and the tool they start) and
  // the loopback server.
  setenv("no_proxy", "127.0.0.1,localhost", 1);
  setenv("NO_PROXY", "127.0.0.1,localhost", 1);
}

void FakeStorage::SetTokenFile(const std::string& text) {
  std::lock_guard guard(lock);
  tokenFile = text;
}

void FakeStorage::AddArchive(const std::string& name, const std::string& bytes, int blockDelayMs) {
  std::lock_guard guard(lock);
  Served& served = archives[delivery::EncodeName(name)];
  served.bytes = bytes;
  served.blockDelayMs = blockDelayMs;
}

void FakeStorage::AddFiles(const std::string& name, const ZipFiles& files, int blockDelayMs) {
  AddArchive(name, StoredZipBytes(files), blockDelayMs);
}

void FakeStorage::AddSong(const std::string& name, const std::string& music, int blockDelayMs) {
  AddFiles(name, {{name + "/music.mp3", music}, {name + "/sh", "1"}}, blockDelayMs);
}

void FakeStorage::ServeLists(const std::string& tokenFileText, const std::string& songList,
                             const std::string& banner) {
  SetTokenFile(tokenFileText);
  AddFiles("List", {{"List.txt", songList}});
  AddFiles("AD", {{"AD.txt", banner}});
}

void FakeStorage::SetReportedSize(const std::string& name, const std::string& sizeText) {
  std::lock_guard guard(lock);
  archives[delivery::EncodeName(name)].reportedSize = sizeText;
}

void FakeStorage::RejectToken(const std::string& token) {
  std::lock_guard guard(lock);
  rejected.insert(token);
}

HttpReply FakeStorage::Handle(const std::string& target) {
  std::lock_guard guard(lock);
  HttpReply reply;
  if (target == "/token.txt") {
    reply.body = tokenFile;
    return reply;
  }
  static const std::string kService = "/rest/2.0/pcs/file?";
  static const std::string kFolder = "%2Fapps%2Fpcstest_oauth%2F";
  const std::string path = QueryValue(target, "path");
  if (target.compare(0, kService.size(), kService) != 0 || path.compare(0, kFolder.size(), kFolder) != 0 ||
      path.size() < kFolder.size() + 4 || path.compare(path.size() - 4, 4, ".zip") != 0) {
    reply.status = 404;
    reply.body = "not found";
    return reply;
  }
  const std::string encoded = path.substr(kFolder.size(), path.size() - kFolder.size() - 4);
  const auto it = archives.find(encoded);
  const std::string method = QueryValue(target, "method");
  if (rejected.count(QueryValue(target, "access_token")) && method == "download") {
    reply.status = 403;
    reply.body =
        std::string("{\"error_code\":110,\"error_msg\":\"Access token invalid or no longer valid\"}");
    reply.body.resize(80, ' ');
    return reply;
  }
  if (it == archives.end()) {
    reply.status = 404;
    reply.body = "{\"error_code\":31066,\"error_msg\":\"file does not exist\"}";
    return reply;
  }
  if (method == "meta") {
    const std::string size =
        it->second.reportedSize.empty() ? std::to_string(it->second.bytes.size()) : it->second.reportedSize;
    reply.body =
        "{\"list\":[{\n\"fs_id\":3528850315,\n\"path\":\"\\/apps\\/pcstest_oauth\\/x.zip\",\n\"size\":" +
        size + ",\n\"isdir\":0}],\n\"request_id\":1}\n";
    return reply;
  }
  reply.body = it->second.bytes;
  reply.blockDelayMs = it->second.blockDelayMs;
  return reply;
}

}  // namespace sonavera::testing
