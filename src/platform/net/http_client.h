#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>

namespace sonavera::platform::net {

/// A failure of the connection or of the request: address not resolved, refused, TLS peer not
/// verified, transfer broken or stalled. The message never holds the request's address.
class NetworkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct HttpGetOptions {
  /// Ask every cache on the way for a fresh answer (the request is always sent to the server).
  bool reload = true;
  /// When the flag becomes true, a Read that waits for data returns 0 within about 0.1 s.
  const std::atomic<bool>* abort = nullptr;
};

/// One HTTP or HTTPS GET whose answer is read as a stream, in blocks or as lines. HTTPS peers and
/// host names are verified against the system's certificate store; redirects are followed, but
/// never from https to plain http. The system's proxy settings (the usual environment variables)
/// apply. The body is read whatever the status code: a service's error answer is data too.
/// One object is used by one thread at a time.
class HttpGet {
 public:
  /// Sends the request and waits until the answer's status line has arrived. Throws NetworkError.
  explicit HttpGet(const std::string& url, const HttpGetOptions& options = {});
  ~HttpGet();
  HttpGet(const HttpGet&) = delete;
  HttpGet& operator=(const HttpGet&) = delete;

  /// Copies up to `size` bytes of the body into `buffer`; 0 at the end of the body or when the abort
  /// flag was raised (see Aborted). Throws NetworkError when the transfer fails.
  size_t Read(char* buffer, size_t size);

  /// The next line of the body without its "\n" or "\r\n"; false at the end of the body.
  bool ReadLine(std::string& line);

  /// The HTTP status code of the answer (0 when none has arrived).
  long Status() const;

  /// True when a Read returned early because the abort flag was raised.
  bool Aborted() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl;
};

}  // namespace sonavera::platform::net
