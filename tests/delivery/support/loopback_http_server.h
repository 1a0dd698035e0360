#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sonavera::testing {

/// What the test server answers to one request.
struct HttpReply {
  int status = 200;
  std::string body;
  int blockDelayMs = 0;   // pause before each block of the body (a slow server)
  size_t blockSize = 512;
};

/// A small HTTP/1.1 server on 127.0.0.1 (an ephemeral port) for tests: one thread per connection,
/// one GET per connection, "Connection: close". It answers with `handler(target)`, where target is
/// the request's path and query as sent. It stops when destroyed, and by itself after `lifetime`
/// seconds or 64 connections.
class LoopbackHttpServer {
 public:
  explicit LoopbackHttpServer(std::function<HttpReply(const std::string& target)> handler, int lifetimeSeconds = 120);
  ~LoopbackHttpServer();

  /// "http://127.0.0.1:PORT"
  std::string BaseUrl() const;
  /// The targets requested so far, in the order their request lines arrived.
  std::vector<std::string> Requests() const;

 private:
  void Accept();
  void Serve(int client);

  std::function<HttpReply(const std::string&)> handler;
  int listener = -1;
  int port = 0;
  int lifetimeSeconds;
  std::atomic<bool> stop{false};
  mutable std::mutex lock;
  std::vector<std::string> requests;
  std::vector<std::thread> connections;
  std::thread acceptor;
};

}  // namespace sonavera::testing
