#include "delivery/delivery.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "delivery/download_names.h"
#include "delivery/download_texts.h"
#include "delivery/download_worker.h"
#include "delivery/token_file.h"
#include "platform/net/http_client.h"

namespace sonavera::delivery {
namespace {

constexpr const char* kTokenFile = "token.txt";

// Copies the answer into the file in 512-byte blocks. Throws NetworkError; false when the file
// cannot be created or written.
bool CopyToFile(platform::net::HttpGet& answer, const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  char block[512];
  bool ok = true;
  try {
    for (size_t n; ok && (n = answer.Read(block, sizeof(block))) > 0;) ok = write(fd, block, n) == static_cast<ssize_t>(n);
  } catch (...) {
    close(fd);
    throw;
  }
  return close(fd) == 0 && ok;
}

}  // namespace

Delivery::Delivery(std::string programFolder, NetworkSettings network, DeliveryUi& deliveryUi)
    : state(std::move(programFolder), std::move(network)),
      ui(deliveryUi),
      cancelDownload(std::make_shared<std::atomic<bool>>(false)) {}

Delivery::~Delivery() {
  cancelDownload->store(true);
  state.downloadQueue.Clear();
  WaitForWorker();
}

bool Delivery::FetchAccessToken() {
  if (state.network.tokenUrl.empty()) return false;
  const std::string path = state.programFolder + kTokenFile;
  try {
    platform::net::HttpGet answer(state.network.tokenUrl);
    if (!CopyToFile(answer, path)) return false;
  } catch (const platform::net::NetworkError&) {
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  state.AppendTokens(ParseTokenFile(text.str()));
  return true;
}

std::shared_ptr<std::atomic<bool>> Delivery::NewWindowSession() {
  // Each window has its own exit flag: a worker of a closed window stays stopped even when a new
  // window starts another one.
  cancelDownload = std::make_shared<std::atomic<bool>>(false);
  return cancelDownload;
}

void Delivery::RefreshSongList() {
  if (state.CurrentToken().empty() && !windowOpen) {
    if (!FetchAccessToken()) {
      ui.ShowMessage(texts::kTokenFailed);
      // The library on disk can always be sung: fill the list from the local catalogue.
      ui.FillSongList();
      return;
    }
    state.downloadQueue.Clear();
    const auto generation = state.downloadQueue.Append(kListName);
    state.downloadQueue.Append(kAdvertName);
    windowOpen = true;
    auto session = NewWindowSession();
    ui.OpenDownloadWindow(kListName);
    // The lists are small: they are fetched right here, while the loading notice is shown.
    if (generation) DownloadWorker(state, ui, session, *generation, true).Run();
    PressExit();
  }
  ui.FillSongList();
}

void Delivery::RequestSongDownload(const std::string& name) {
  if (state.CurrentToken().empty()) {
    ui.ShowMessage(texts::kNoNetwork);
    return;
  }
  if (!IsPlainName(name)) {
    ui.ShowMessage(texts::kArchiveFailed);
    return;
  }
  if (windowOpen) {
    const auto generation = state.downloadQueue.Append(name);
    DownloadEvent list;
    list.kind = DownloadEvent::Kind::kQueueText;
    list.text = state.downloadQueue.Text();
    ui.Post(std::move(list));
    // The worker may have found the queue empty and ended just before: start another.
    if (generation) StartWorker(*generation);
    return;
  }
  state.downloadQueue.Clear();
  const auto generation = state.downloadQueue.Append(name);
  windowOpen = true;
  NewWindowSession();
  ui.OpenDownloadWindow(name);
  if (generation) StartWorker(*generation);
}

bool Delivery::IsQueued(const std::string& name) const { return state.downloadQueue.Contains(name); }

void Delivery::PressExit() {
  cancelDownload->store(true);
  state.downloadQueue.Clear();
  if (windowOpen) {
    windowOpen = false;
    ui.CloseDownloadWindow();
  }
}

void Delivery::OnQueueDone() {
  if (windowOpen && !state.downloadQueue.Held() && state.downloadQueue.Empty()) PressExit();
}

void Delivery::StartWorker(uint64_t generation) {
  // A previous worker (finished, or stopped by the exit button) is joined by the new one, off the
  // user-interface thread; only one ever works on the queue.
  std::thread previous = std::move(worker);
  worker = std::thread([this, generation, session = cancelDownload, previous = std::move(previous)]() mutable {
    if (previous.joinable()) previous.join();
    DownloadWorker(state, ui, session, generation, false).Run();
  });
}

void Delivery::WaitForWorker() {
  if (worker.joinable()) worker.join();
}

}  // namespace sonavera::delivery
