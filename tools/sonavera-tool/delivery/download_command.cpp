// sonavera-tool download NAME... --program-folder DIR: fetches the tokens, then downloads and
// unpacks each name in order as the program does, printing what the download window would show.
#include <cstdio>
#include <map>

#include "command.h"
#include "delivery/delivery.h"
#include "delivery/download_texts.h"
#include "delivery/download_worker.h"
#include "platform/config.h"
#include "platform/program_folder.h"

namespace {

using namespace sonavera::delivery;

// The worker runs on this (the only) thread, so events are printed as they come. Each text is
// printed once per change, with line breaks shown as "\n".
class ConsoleUi : public DeliveryUi {
 public:
  void Post(DownloadEvent event) override {
    switch (event.kind) {
      case DownloadEvent::Kind::kStatus: Print("status", event.text); break;
      case DownloadEvent::Kind::kSize: Print("size", event.text); break;
      case DownloadEvent::Kind::kSpeed: Print("speed", event.text); break;
      case DownloadEvent::Kind::kPercent: Print("percent", event.text); break;
      case DownloadEvent::Kind::kQueueText: Print("list", event.text); break;
      case DownloadEvent::Kind::kMessage: ShowMessage(event.text); break;
      default: break;
    }
  }
  void ShowMessage(const std::string& text) override { Print("message", text, true); }
  void FillSongList() override {}
  void OpenDownloadWindow(const std::string& listText) override { Print("list", listText); }
  void CloseDownloadWindow() override {}

 private:
  void Print(const char* field, const std::string& text, bool always = false) {
    std::string& last = shown[field];
    if (!always && last == text) return;
    last = text;
    std::string line;
    for (const char c : text) {
      if (c == '\n') {
        line += "\\n";
      } else if (c != '\r') {
        line += c;
      } else {
        line += "\\r";
      }
    }
    std::printf("%s: %s\n", field, line.c_str());
    std::fflush(stdout);
  }
  std::map<std::string, std::string> shown;
};

int RunDownload(const std::vector<std::string>& args) {
  std::vector<std::string> names;
  std::string folder;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--program-folder") {
      if (i + 1 >= args.size()) return sonavera::tool::Fail("--program-folder needs a folder");
      folder = args[++i];
    } else {
      names.push_back(args[i]);
    }
  }
  if (names.empty()) return sonavera::tool::Fail("usage: download NAME... --program-folder DIR");
  if (!folder.empty()) sonavera::platform::SetProgramFolder(folder);
  folder = sonavera::platform::ProgramFolder();

  ConsoleUi ui;
  Delivery delivery(folder, NetworkSettings::From(sonavera::platform::Config::Load(folder)), ui);
  if (!delivery.FetchAccessToken()) {
    ui.ShowMessage(texts::kTokenFailed);
    std::fprintf(stderr, "sonavera-tool: cannot fetch the access tokens (is [network] tokenUrl set?)\n");
    return 1;
  }
  DeliveryState& state = delivery.State();
  std::optional<uint64_t> generation;
  for (const auto& name : names) {
    if (auto held = state.downloadQueue.Append(name)) generation = held;
  }
  auto cancel = std::make_shared<std::atomic<bool>>(false);
  DownloadWorker worker(state, ui, cancel, generation.value_or(0), true);
  worker.Run();
  size_t unpacked = 0;
  for (const auto& result : worker.Results()) unpacked += result.outcome == NameOutcome::kUnpacked ? 1 : 0;
  if (unpacked != names.size()) {
    std::fprintf(stderr, "sonavera-tool: %zu of %zu names downloaded and unpacked\n", unpacked, names.size());
    return 1;
  }
  return 0;
}

}  // namespace

SONAVERA_TOOL_COMMAND("download", "download NAME... --program-folder DIR", RunDownload);
