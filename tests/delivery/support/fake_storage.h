#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>

#include "support/loopback_http_server.h"
#include "support/zip_builder.h"

namespace sonavera::testing {

/// The two outside servers the downloads talk to, played by one loopback server: the token file at
/// "/token.txt" and the storage REST service at "/rest/2.0/pcs/file" with "method=meta" (a JSON
/// answer with the size on a line of its own) and "method=download" (the archive's bytes).
class FakeStorage {
 public:
  FakeStorage();

  std::string TokenUrl() const { return server.BaseUrl() + "/token.txt"; }
  std::string StorageUrl() const { return server.BaseUrl(); }
  std::vector<std::string> Requests() const { return server.Requests(); }

  /// The token file's text.
  void SetTokenFile(const std::string& text);
  /// The archive served for `name` (keyed by its encoded form, as requests carry it).
  void AddArchive(const std::string& name, const std::string& bytes, int blockDelayMs = 0);
  /// Serves a stored archive of `files` for `name` (see StoredZipBytes).
  void AddFiles(const std::string& name, const ZipFiles& files, int blockDelayMs = 0);
  /// Serves song `name` as the service holds one: "<name>/music.mp3" with `music` and "<name>/sh".
  void AddSong(const std::string& name, const std::string& music, int blockDelayMs = 0);
  /// The token file and the two lists every refresh fetches first: "List" (List.txt, the song list)
  /// and "AD" (AD.txt, the banner's lines).
  void ServeLists(const std::string& tokenFileText, const std::string& songList, const std::string& banner);
  /// Overrides the size the information request reports for `name`.
  void SetReportedSize(const std::string& name, const std::string& sizeText);
  /// Downloads with this token get an 80-byte error answer of the service.
  void RejectToken(const std::string& token);

 private:
  HttpReply Handle(const std::string& target);

  struct Served {
    std::string bytes;
    int blockDelayMs = 0;
    std::string reportedSize;
  };
  mutable std::mutex lock;
  std::string tokenFile;
  std::map<std::string, Served> archives;
  std::set<std::string> rejected;
  LoopbackHttpServer server;  // last: it stops before the rest goes away
};

}  // namespace sonavera::testing
