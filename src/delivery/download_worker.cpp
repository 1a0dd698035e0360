#include "delivery/download_worker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>

#include "delivery/download_names.h"
#include "delivery/download_texts.h"
#include "delivery/target_folder.h"
#include "delivery/token_file.h"
#include "delivery/zip_archive.h"
#include "platform/net/http_client.h"

namespace sonavera::delivery {
namespace {

using platform::net::HttpGet;
using platform::net::HttpGetOptions;
using platform::net::NetworkError;
using Kind = DownloadEvent::Kind;

constexpr size_t kBlockSize = 512;
constexpr long long kSpecialSize = 4096;
constexpr long long kSmallestArchive = 100;  // bytes; a smaller answer is an error of the service
constexpr const char* kSongFolder = "歌曲/单曲/";

// The local archive while it downloads. Never follows a link standing in its place.
class LocalArchive {
 public:
  explicit LocalArchive(const std::string& path)
      : fd(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666)) {}
  ~LocalArchive() { Close(); }
  bool Valid() const { return fd >= 0; }
  bool Write(const char* data, size_t size) { return WriteAll(fd, data, size); }
  bool Close() {
    if (fd < 0) return true;
    const int closing = fd;
    fd = -1;
    return close(closing) == 0;
  }

 private:
  int fd;
};

long long FileSize(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
}

std::string Format2(double value) {
  char text[64];
  std::snprintf(text, sizeof(text), "%0.2f", value);
  return text;
}

}  // namespace

DownloadWorker::DownloadWorker(DeliveryState& deliveryState, DownloadEventSink& eventSink,
                               std::shared_ptr<const std::atomic<bool>> cancelFlag, uint64_t queueGeneration,
                               bool runsSynchronously)
    : state(deliveryState),
      sink(eventSink),
      cancel(std::move(cancelFlag)),
      generation(queueGeneration),
      synchronous(runsSynchronously) {}

void DownloadWorker::Post(Kind kind, std::string text, long long value) {
  DownloadEvent event;
  event.kind = kind;
  event.text = std::move(text);
  event.value = value;
  sink.Post(std::move(event));
}

void DownloadWorker::TakeOffQueue(const std::string& name) {
  state.downloadQueue.RemoveHead(name, generation);
}

void DownloadWorker::Run() {
  while (!Cancelled()) {
    const auto head = state.downloadQueue.NextOrRelease(generation);
    if (!head) break;
    const NameOutcome outcome = DownloadName(*head);
    results.push_back({*head, outcome});
    if (outcome == NameOutcome::kSizeError || outcome == NameOutcome::kCancelled) return;
  }
  if (!synchronous && !Cancelled()) Post(Kind::kQueueDone);
}

std::string DownloadWorker::StorageUrl(const char* method, const std::string& token,
                                       const std::string& name) const {
  return state.network.storageUrl + "/rest/2.0/pcs/file?method=" + method + "&access_token=" + token +
         "&path=%2Fapps%2Fpcstest_oauth%2F" + EncodeName(name) + ".zip";
}

std::string DownloadWorker::RequestSizeText(const std::string& token, const std::string& name) const {
  HttpGetOptions options;
  options.reload = false;
  options.abort = cancel.get();
  HttpGet info(StorageUrl("meta", token, name), options);
  std::string line;
  while (info.ReadLine(line)) {
    if (auto size = SizeTextOfLine(line)) return *size;
  }
  return std::string();
}

NameOutcome DownloadWorker::DownloadName(const std::string& name) {
  const bool special = IsSpecialName(name);
  if (!special && !IsPlainName(name)) {
    TakeOffQueue(name);
    Post(Kind::kMessage, texts::kArchiveFailed);
    return NameOutcome::kRefused;
  }
  const std::string archivePath = state.programFolder + name + ".zip";
  bool downloadOpened = false;
  // Stopped by the exit button: no partial or earlier archive of this name is left behind.
  auto stop = [&] {
    std::remove(archivePath.c_str());
    return NameOutcome::kCancelled;
  };
  for (const std::string& token : state.Tokens()) {
    if (Cancelled()) return stop();
    state.SetCurrentToken(token);
    try {
      const std::string sizeText = RequestSizeText(token, name);
      if (Cancelled()) return stop();
      Post(Kind::kStatus, texts::kChecking);
      HttpGetOptions options;
      options.abort = cancel.get();
      HttpGet content(StorageUrl("download", token, name), options);
      if (Cancelled()) return stop();
      downloadOpened = true;
      const auto start = std::chrono::steady_clock::now();

      const long long expected = special ? kSpecialSize : ParseSizeText(sizeText);
      if (expected / 1024 < 2) {
        Post(Kind::kStatus, texts::kSizeError);
        return NameOutcome::kSizeError;
      }
      const std::string sizeMegabytes = Format2(static_cast<double>(expected) / 1048576.0);
      LocalArchive local(archivePath);
      // A local archive that cannot be created fails this attempt like the network would.
      if (!local.Valid()) throw NetworkError("cannot create the local archive");
      if (!special) Post(Kind::kStatus, name + texts::kDownloading);
      Post(Kind::kProgressRange, std::string(), expected);

      char block[kBlockSize];
      long long received = 0;
      for (;;) {
        if (Cancelled()) break;
        const size_t n = content.Read(block, sizeof(block));
        if (n == 0) break;
        long long elapsed = 1;
        if (!special) {
          const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
          elapsed = std::llround(seconds.count());
        }
        if (!local.Write(block, n)) throw NetworkError("cannot write the local archive");
        received += static_cast<long long>(n);
        Post(Kind::kProgressPos, std::string(), received);
        if (!special) {
          const long long percent = received * 100 / expected;
          // Under half a second the elapsed time rounds to 0: show the kilobytes so far.
          const long long speed = elapsed > 0 ? (received / 1024) / elapsed : received / 1024;
          Post(Kind::kSize, sizeMegabytes + texts::kMegabytes);
          Post(Kind::kSpeed, std::to_string(speed) + texts::kKilobytesPerSecond);
          Post(Kind::kPercent, std::to_string(percent) + "%");
        }
      }
      if (Cancelled()) {
        local.Close();
        return stop();
      }
      if (!local.Close()) throw NetworkError("cannot write the local archive");
      if (FileSize(archivePath) > kSmallestArchive) break;
    } catch (const NetworkError&) {
      Post(Kind::kStatus, texts::kAttemptFailed);
      downloadOpened = false;
    }
  }
  if (!downloadOpened) {
    TakeOffQueue(name);
    return NameOutcome::kNotDownloaded;
  }
  return Unpack(name, special);
}

NameOutcome DownloadWorker::Unpack(const std::string& name, bool special) {
  const std::string archivePath = state.programFolder + name + ".zip";
  auto archive = ZipArchive::Open(archivePath);
  ZipEntry entry;
  if (!archive || archive->Query(-1, entry) != ZipResult::kOk || entry.index <= 0) {
    TakeOffQueue(name);
    Post(Kind::kMessage, texts::kArchiveFailed);
    return NameOutcome::kUnreadable;
  }
  const int count = entry.index;
  archive->SetTargetFolder(special ? state.programFolder : state.programFolder + kSongFolder);
  // A failed entry is skipped; the others are still unpacked.
  for (int i = 0; i < count; ++i) {
    if (archive->Query(i, entry) == ZipResult::kOk) archive->Unpack(i, entry.name);
  }
  archive.reset();
  std::remove(archivePath.c_str());
  Post(Kind::kSpeed, texts::kSpeedReset);
  Post(Kind::kPercent, "0%");
  if (!special) {
    state.libraryChanged = true;
    Post(Kind::kLibraryChanged);
  }
  TakeOffQueue(name);
  Post(Kind::kQueueText, state.downloadQueue.Text());
  Post(Kind::kStatus, texts::kDone);
  return NameOutcome::kUnpacked;
}

}  // namespace sonavera::delivery
