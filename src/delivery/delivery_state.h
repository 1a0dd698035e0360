#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "delivery/download_queue.h"
#include "platform/config.h"

namespace sonavera::delivery {

/// Where the token file and the storage service are: section [network] of the configuration.
struct NetworkSettings {
  std::string tokenUrl;    // address of the token file; empty when no server is configured
  std::string storageUrl;  // scheme://host[:port] of the storage REST service

  static NetworkSettings From(const platform::Config& config);
};

/// The process-wide download state, shared by the user-interface thread and the download worker.
class DeliveryState {
 public:
  DeliveryState(std::string programFolder, NetworkSettings network);

  const std::string programFolder;  // with a trailing '/'
  const NetworkSettings network;
  DownloadQueue downloadQueue;
  /// Set by the worker after it unpacked a song package; the main window clears it when it
  /// rebuilds its song list. Both threads.
  std::atomic<bool> libraryChanged{false};

  /// Both threads: the tokens of every successful fetch, in file order.
  std::vector<std::string> Tokens() const;
  void AppendTokens(const std::vector<std::string>& tokens);  // user-interface thread
  /// Both threads: the token of the latest download attempt; empty until the first attempt.
  std::string CurrentToken() const;
  void SetCurrentToken(const std::string& token);  // worker

 private:
  mutable std::mutex tokenLock;
  std::vector<std::string> tokenList;
  std::string currentToken;
};

}  // namespace sonavera::delivery
