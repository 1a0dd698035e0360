#include "support/loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace sonavera::testing {
namespace {

constexpr size_t kMaxConnections = 64;
constexpr size_t kMaxRequestBytes = 16384;

bool WaitReadable(int fd, int milliseconds) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, milliseconds) > 0;
}

bool SendAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

const char* Reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    default: return "Status";
  }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(std::function<HttpReply(const std::string&)> replies, int lifetime)
    : handler(std::move(replies)), lifetimeSeconds(lifetime) {
  listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener < 0) throw std::runtime_error("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(listener, 16) != 0) {
    close(listener);
    throw std::runtime_error("bind/listen on 127.0.0.1");
  }
  socklen_t length = sizeof(address);
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  acceptor = std::thread([this] { Accept(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stop = true;
  if (acceptor.joinable()) acceptor.join();
  for (auto& connection : connections) connection.join();
  close(listener);
}

std::string LoopbackHttpServer::BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port); }

std::vector<std::string> LoopbackHttpServer::Requests() const {
  std::lock_guard guard(lock);
  return requests;
}

void LoopbackHttpServer::Accept() {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(lifetimeSeconds);
  while (!stop && std::chrono::steady_clock::now() < end && connections.size() < kMaxConnections) {
    if (!WaitReadable(listener, 50)) continue;
    const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    connections.emplace_back([this, client] { Serve(client); });
  }
}

void LoopbackHttpServer::Serve(int client) {
  std::string request;
  char buffer[1024];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequestBytes && !stop) {
    if (!WaitReadable(client, 100)) continue;
    const ssize_t n = recv(client, buffer, sizeof(buffer), 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<size_t>(n));
  }
  const auto firstSpace = request.find(' ');
  const auto secondSpace = request.find(' ', firstSpace + 1);
  if (firstSpace == std::string::npos || secondSpace == std::string::npos) {
    close(client);
    return;
  }
  const std::string target = request.substr(firstSpace + 1, secondSpace - firstSpace - 1);
  {
    std::lock_guard guard(lock);
    requests.push_back(target);
  }
  const HttpReply reply = handler(target);
  const std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + Reason(reply.status) +
                           "\r\nContent-Length: " + std::to_string(reply.body.size()) +
                           "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n\r\n";
  bool ok = SendAll(client, head.data(), head.size());
  for (size_t pos = 0; ok && pos < reply.body.size() && !stop; pos += reply.blockSize) {
    if (reply.blockDelayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(reply.blockDelayMs));
    ok = SendAll(client, reply.body.data() + pos, std::min(reply.blockSize, reply.body.size() - pos));
  }
  shutdown(client, SHUT_WR);
  close(client);
}

}  // namespace sonavera::testing
