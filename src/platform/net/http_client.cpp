#include "platform/net/http_client.h"

#include <curl/curl.h>

#include <cstring>
#include <mutex>

namespace sonavera::platform::net {
namespace {

constexpr long kConnectTimeoutSeconds = 15;
constexpr long kStallSeconds = 60;  // a transfer below 1 byte/s for this long is broken
constexpr int kPollMilliseconds = 100;

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace

struct HttpGet::Impl {
  CURL* easy = nullptr;
  CURLM* multi = nullptr;
  curl_slist* headers = nullptr;
  std::string pending;  // received body bytes not yet read
  size_t pendingPos = 0;
  bool done = false;
  CURLcode result = CURLE_OK;
  bool aborted = false;
  const std::atomic<bool>* abort = nullptr;
  char errorText[CURL_ERROR_SIZE] = {};

  static size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<Impl*>(user);
    if (self->pendingPos > 0 && self->pendingPos == self->pending.size()) {
      self->pending.clear();
      self->pendingPos = 0;
    }
    self->pending.append(data, size * count);
    return size * count;
  }

  ~Impl() {
    if (multi && easy) curl_multi_remove_handle(multi, easy);
    if (easy) curl_easy_cleanup(easy);
    if (multi) curl_multi_cleanup(multi);
    if (headers) curl_slist_free_all(headers);
  }

  size_t Available() const { return pending.size() - pendingPos; }

  // One round of the transfer: lets curl work, then waits up to kPollMilliseconds for the socket.
  void Pump() {
    int running = 0;
    CURLMcode mc = curl_multi_perform(multi, &running);
    if (mc != CURLM_OK) throw NetworkError(curl_multi_strerror(mc));
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
      if (msg->msg == CURLMSG_DONE) {
        done = true;
        result = msg->data.result;
      }
    }
    if (done || Available() > 0) return;
    mc = curl_multi_poll(multi, nullptr, 0, kPollMilliseconds, nullptr);
    if (mc != CURLM_OK) throw NetworkError(curl_multi_strerror(mc));
  }

  void ThrowIfFailed() const {
    if (!done || result == CURLE_OK) return;
    // The error buffer names hosts at most, never the request's path or query.
    throw NetworkError(errorText[0] ? errorText : curl_easy_strerror(result));
  }

  bool AbortRequested() const { return abort && abort->load(std::memory_order_relaxed); }
};

HttpGet::HttpGet(const std::string& url, const HttpGetOptions& options) : impl(std::make_unique<Impl>()) {
  GlobalInit();
  const bool https = StartsWith(url, "https://");
  if (!https && !StartsWith(url, "http://")) throw NetworkError("not an http or https address");
  impl->abort = options.abort;
  impl->easy = curl_easy_init();
  impl->multi = curl_multi_init();
  if (!impl->easy || !impl->multi) throw NetworkError("cannot create an HTTP request");
  CURL* easy = impl->easy;
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, https ? "https" : "http,https");
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, impl->errorText);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Impl::OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, impl.get());
  if (options.reload) {
    impl->headers = curl_slist_append(impl->headers, "Cache-Control: no-cache");
    impl->headers = curl_slist_append(impl->headers, "Pragma: no-cache");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, impl->headers);
  }
  curl_multi_add_handle(impl->multi, easy);
  // Like opening an address with the system's internet client: return once the answer has begun.
  while (!impl->done && Status() == 0) {
    if (impl->AbortRequested()) {
      impl->aborted = true;
      return;
    }
    impl->Pump();
  }
  impl->ThrowIfFailed();
}

HttpGet::~HttpGet() = default;

size_t HttpGet::Read(char* buffer, size_t size) {
  if (size == 0) return 0;
  while (impl->Available() == 0 && !impl->done) {
    if (impl->AbortRequested()) {
      impl->aborted = true;
      return 0;
    }
    impl->Pump();
  }
  if (impl->Available() == 0) {
    impl->ThrowIfFailed();
    return 0;
  }
  const size_t n = std::min(size, impl->Available());
  std::memcpy(buffer, impl->pending.data() + impl->pendingPos, n);
  impl->pendingPos += n;
  return n;
}

bool HttpGet::ReadLine(std::string& line) {
  line.clear();
  char c;
  bool any = false;
  while (Read(&c, 1) == 1) {
    any = true;
    if (c == '\n') break;
    line += c;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

long HttpGet::Status() const {
  long status = 0;
  curl_easy_getinfo(impl->easy, CURLINFO_RESPONSE_CODE, &status);
  return status;
}

bool HttpGet::Aborted() const { return impl->aborted; }

}  // namespace sonavera::platform::net
