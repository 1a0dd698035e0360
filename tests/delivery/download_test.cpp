// The download worker and the delivery against a loopback storage server.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "delivery/delivery.h"
#include "delivery/download_texts.h"
#include "delivery/download_worker.h"
#include "support/fake_storage.h"
#include "support/recording_ui.h"
#include "support/temp_folder.h"

namespace sonavera::delivery {
namespace {

namespace fs = std::filesystem;
using testing::FakeStorage;
using testing::ReadFile;
using testing::RecordingUi;
using testing::TempFolder;
using Kind = DownloadEvent::Kind;

const std::string kTokenFile =
    "https://openapi.example/oauth?access_token=T1&expires_in=2592000\n"
    "https://openapi.example/oauth?access_token=T2&expires_in=2592000\n"
    "https://openapi.example/oauth?access_token=T3&expires_in=2592000\n";

// Bytes that do not compress, so archives have the size the tests ask for.
std::string Noise(size_t size, unsigned seed) {
  std::string out(size, '\0');
  for (auto& c : out) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 16);
  }
  return out;
}

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override { storage.ServeLists(kTokenFile, "Song 1\nSlow 2\n", "banner line\nsecond\n"); }

  // A song of `size` bytes of music that do not compress.
  void AddSong(const std::string& name, size_t size, int blockDelayMs = 0) {
    storage.AddSong(name, Noise(size, static_cast<unsigned>(name.size())), blockDelayMs);
  }

  NetworkSettings Network() const { return {storage.TokenUrl(), storage.StorageUrl()}; }

  // Runs the worker on this thread over `names`, as the worker thread would.
  std::vector<NameResult> RunWorker(DeliveryState& state, const std::vector<std::string>& names) {
    std::optional<uint64_t> generation;
    for (const auto& name : names) {
      if (auto held = state.downloadQueue.Append(name)) generation = held;
    }
    DownloadWorker worker(state, ui, std::make_shared<std::atomic<bool>>(false), generation.value_or(0),
                          false);
    worker.Run();
    ui.Pump();
    return worker.Results();
  }

  int RequestsMatching(const std::string& part) const {
    const auto requests = storage.Requests();
    return static_cast<int>(std::count_if(requests.begin(), requests.end(), [&](const std::string& r) {
      return r.find(part) != std::string::npos;
    }));
  }

  std::string SongFolder() const { return folder.Path() + "歌曲/单曲/"; }

  TempFolder folder;
  FakeStorage storage;
  RecordingUi ui;
};

TEST_F(DownloadTest, TokenFileGivesThreeTokensInOrder) {
  Delivery delivery(folder.Path(), Network(), ui);
  ASSERT_TRUE(delivery.FetchAccessToken());
  EXPECT_EQ(delivery.State().Tokens(), (std::vector<std::string>{"T1", "T2", "T3"}));
  EXPECT_EQ(ReadFile(folder.Path() + "token.txt"), kTokenFile);
  EXPECT_TRUE(delivery.State().CurrentToken().empty());
}

TEST_F(DownloadTest, ErrorAnswerOfTheFirstTokenFallsBackToTheSecond) {
  const std::string name = "你 好";
  AddSong(name, 6000);
  storage.RejectToken("T1");
  DeliveryState state(folder.Path(), Network());
  state.AppendTokens({"T1", "T2", "T3"});

  const auto results = RunWorker(state, {name});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].outcome, NameOutcome::kUnpacked);
  EXPECT_EQ(ReadFile(SongFolder() + name + "/music.mp3"), Noise(6000, static_cast<unsigned>(name.size())));
  EXPECT_FALSE(fs::exists(folder.Path() + name + ".zip"));
  EXPECT_TRUE(state.libraryChanged);
  EXPECT_EQ(state.CurrentToken(), "T2");
  EXPECT_TRUE(state.downloadQueue.Empty());

  // The name travels as percent-encoded UTF-8 with "+" for the blank; T3 is never used.
  const std::string path = "&path=%2Fapps%2Fpcstest_oauth%2F%E4%BD%A0+%E5%A5%BD.zip";
  EXPECT_EQ(storage.Requests(),
            (std::vector<std::string>{"/rest/2.0/pcs/file?method=meta&access_token=T1" + path,
                                      "/rest/2.0/pcs/file?method=download&access_token=T1" + path,
                                      "/rest/2.0/pcs/file?method=meta&access_token=T2" + path,
                                      "/rest/2.0/pcs/file?method=download&access_token=T2" + path}));

  const auto status = ui.Texts(Kind::kStatus);
  EXPECT_EQ(status, (std::vector<std::string>{texts::kChecking, name + texts::kDownloading, texts::kChecking,
                                              name + texts::kDownloading, texts::kDone}));
  const auto percent = ui.Texts(Kind::kPercent);
  ASSERT_GE(percent.size(), 2u);
  EXPECT_EQ(percent[percent.size() - 2], "100%");
  EXPECT_EQ(percent.back(), "0%");
  EXPECT_EQ(ui.Texts(Kind::kSpeed).back(), texts::kSpeedReset);
  EXPECT_EQ(ui.Texts(Kind::kSize).back(), "0.01MB");
  EXPECT_EQ(ui.Count(Kind::kLibraryChanged), 1);
  EXPECT_EQ(ui.Count(Kind::kQueueDone), 1);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DownloadTest, ErrorAnswersForEveryTokenEndInTheFailureMessage) {
  AddSong("Song", 6000);
  for (const char* token : {"T1", "T2", "T3"}) storage.RejectToken(token);
  DeliveryState state(folder.Path(), Network());
  state.AppendTokens({"T1", "T2", "T3"});
  const auto results = RunWorker(state, {"Song", "List"});
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].outcome, NameOutcome::kUnreadable);
  EXPECT_EQ(results[1].outcome, NameOutcome::kUnreadable);  // the worker goes on with the next name
  EXPECT_EQ(ui.messages, std::vector<std::string>(2, texts::kArchiveFailed));
  EXPECT_EQ(ReadFile(folder.Path() + "Song.zip").size(), 80u);  // the file stays
  EXPECT_FALSE(fs::exists(SongFolder() + "Song"));
  EXPECT_FALSE(state.libraryChanged);
  EXPECT_EQ(RequestsMatching("method=download"), 6);
  EXPECT_TRUE(state.downloadQueue.Empty());
  EXPECT_EQ(ui.Count(Kind::kQueueDone), 1);
}

TEST_F(DownloadTest, ExpectedSizeUnder2048StopsTheWorkerBeforeAnythingIsWritten) {
  AddSong("Small", 6000);
  storage.SetReportedSize("Small", "1500");
  AddSong("Next", 6000);
  DeliveryState state(folder.Path(), Network());
  state.AppendTokens({"T1", "T2"});
  const auto results = RunWorker(state, {"Small", "Next"});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].outcome, NameOutcome::kSizeError);
  EXPECT_EQ(ui.Texts(Kind::kStatus).back(), texts::kSizeError);
  EXPECT_FALSE(fs::exists(folder.Path() + "Small.zip"));
  EXPECT_EQ(state.downloadQueue.Text(), "Small\r\nNext\r\n");  // kept until the user presses exit
  EXPECT_EQ(ui.Count(Kind::kQueueDone), 0);
  EXPECT_EQ(RequestsMatching("access_token=T2"), 0);
}

TEST_F(DownloadTest, SpecialNamesUseSize4096AndUnpackIntoTheProgramFolder) {
  storage.SetReportedSize("List", "12");  // ignored for the lists
  DeliveryState state(folder.Path(), Network());
  state.AppendTokens({"T1"});
  const auto results = RunWorker(state, {"List", "AD"});
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[1].outcome, NameOutcome::kUnpacked);
  EXPECT_EQ(ReadFile(folder.Path() + "List.txt"), "Song 1\nSlow 2\n");
  EXPECT_EQ(ReadFile(folder.Path() + "AD.txt"), "banner line\nsecond\n");
  EXPECT_FALSE(fs::exists(folder.Path() + "List.zip"));
  EXPECT_TRUE(ui.Texts(Kind::kSize).empty());
  EXPECT_EQ(ui.Texts(Kind::kPercent), (std::vector<std::string>{"0%", "0%"}));
  EXPECT_EQ(ui.LastValue(Kind::kProgressRange), 4096);
  EXPECT_EQ(ui.Texts(Kind::kStatus),
            (std::vector<std::string>{texts::kChecking, texts::kDone, texts::kChecking, texts::kDone}));
  EXPECT_FALSE(state.libraryChanged);
}

TEST_F(DownloadTest, NetworkErrorsAndUncreatableArchivesFailTheAttempt) {
  // Nothing listens on the storage port: every attempt is a network error.
  DeliveryState offline(folder.Path(), {storage.TokenUrl(), "http://127.0.0.1:1"});
  offline.AppendTokens({"T1", "T2"});
  auto results = RunWorker(offline, {"Song"});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].outcome, NameOutcome::kNotDownloaded);
  EXPECT_EQ(ui.Texts(Kind::kStatus),
            (std::vector<std::string>{texts::kAttemptFailed, texts::kAttemptFailed}));
  EXPECT_TRUE(offline.downloadQueue.Empty());

  // A folder stands where the local archive would be created.
  AddSong("Song", 6000);
  fs::create_directories(folder.Path() + "Song.zip");
  DeliveryState blocked(folder.Path(), Network());
  blocked.AppendTokens({"T1", "T2"});
  results = RunWorker(blocked, {"Song"});
  EXPECT_EQ(results[0].outcome, NameOutcome::kNotDownloaded);
  EXPECT_TRUE(fs::is_directory(folder.Path() + "Song.zip"));
  EXPECT_EQ(RequestsMatching("method=download"), 2);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DownloadTest, NamesThatAreNotPlainNeverTouchTheDisk) {
  DeliveryState state(folder.Path(), Network());
  state.AppendTokens({"T1"});
  const auto results = RunWorker(state, {"../escape", "a/b", "C:x"});
  ASSERT_EQ(results.size(), 3u);
  for (const auto& result : results) EXPECT_EQ(result.outcome, NameOutcome::kRefused);
  EXPECT_EQ(ui.messages, std::vector<std::string>(3, texts::kArchiveFailed));
  EXPECT_TRUE(storage.Requests().empty());
  EXPECT_TRUE(fs::is_empty(folder.Path()));
}

class DeliveryTest : public DownloadTest {
 protected:
  void Refresh(Delivery& delivery) {
    ui.Attach(&delivery);
    delivery.RefreshSongList();
    ui.Pump();
  }
};

TEST_F(DeliveryTest, RefreshDownloadsTheListsOnceThenOnlyFillsTheList) {
  Delivery delivery(folder.Path(), Network(), ui);
  Refresh(delivery);
  EXPECT_EQ(ReadFile(folder.Path() + "List.txt"), "Song 1\nSlow 2\n");
  EXPECT_EQ(ReadFile(folder.Path() + "AD.txt"), "banner line\nsecond\n");
  EXPECT_EQ(ui.fills, 1);
  EXPECT_EQ(ui.opened, 1);
  EXPECT_EQ(ui.closed, 1);
  EXPECT_EQ(ui.listTexts.front(), "List");
  EXPECT_FALSE(delivery.DownloadWindowOpen());
  EXPECT_EQ(delivery.State().CurrentToken(), "T1");
  const size_t requests = storage.Requests().size();
  delivery.RefreshSongList();
  EXPECT_EQ(ui.fills, 2);
  EXPECT_EQ(storage.Requests().size(), requests);
}

TEST_F(DeliveryTest, WithoutServerOrNetworkTheListIsFilledFromDisk) {
  for (const NetworkSettings& network :
       {NetworkSettings{}, NetworkSettings{"http://127.0.0.1:1/token.txt", ""}}) {
    RecordingUi local;
    Delivery delivery(folder.Path(), network, local);
    local.Attach(&delivery);
    delivery.RefreshSongList();
    EXPECT_EQ(local.messages, std::vector<std::string>{texts::kTokenFailed});
    EXPECT_EQ(local.fills, 1);
    delivery.RequestSongDownload("Song");
    EXPECT_EQ(local.messages.back(), texts::kNoNetwork);
    EXPECT_FALSE(delivery.IsQueued("Song"));
    EXPECT_EQ(local.opened, 0);
  }
}

TEST_F(DeliveryTest, ExitDuringADownloadDeletesThePartialArchive) {
  AddSong("Slow", 400 * 512, 10);
  Delivery delivery(folder.Path(), Network(), ui);
  Refresh(delivery);
  delivery.RequestSongDownload("Slow");
  EXPECT_TRUE(ui.windowOpen);
  EXPECT_TRUE(delivery.IsQueued("Slow"));
  ASSERT_TRUE(ui.PumpUntil([&] { return ui.LastValue(Kind::kProgressPos) >= 4096; }));
  EXPECT_TRUE(fs::exists(folder.Path() + "Slow.zip"));
  delivery.PressExit();
  EXPECT_FALSE(ui.windowOpen);
  EXPECT_FALSE(delivery.IsQueued("Slow"));
  delivery.WaitForWorker();
  EXPECT_FALSE(fs::exists(folder.Path() + "Slow.zip"));
  EXPECT_FALSE(fs::exists(SongFolder() + "Slow"));
  ui.Pump();
  EXPECT_EQ(ui.Count(Kind::kQueueDone), 0);
}

TEST_F(DeliveryTest, SecondSongQueuedWhileTheFirstDownloadsFollowsIt) {
  AddSong("First", 60 * 512, 5);
  AddSong("Second", 5000);
  Delivery delivery(folder.Path(), Network(), ui);
  Refresh(delivery);
  delivery.RequestSongDownload("First");
  ASSERT_TRUE(ui.PumpUntil([&] { return ui.LastValue(Kind::kProgressPos) > 0; }));
  delivery.RequestSongDownload("Second");
  EXPECT_EQ(ui.opened, 2);  // the list window of the refresh, then this one: still open
  ASSERT_TRUE(ui.PumpUntil([&] { return !ui.windowOpen; }));
  delivery.WaitForWorker();
  EXPECT_NE(std::find(ui.listTexts.begin(), ui.listTexts.end(), "First\r\nSecond\r\n"), ui.listTexts.end());
  EXPECT_TRUE(fs::exists(SongFolder() + "First/music.mp3"));
  EXPECT_TRUE(fs::exists(SongFolder() + "Second/music.mp3"));
  const auto requests = storage.Requests();
  const auto firstDownload = std::find_if(requests.begin(), requests.end(), [](const std::string& r) {
    return r.find("method=download") != std::string::npos && r.find("First") != std::string::npos;
  });
  const auto secondMeta = std::find_if(requests.begin(), requests.end(), [](const std::string& r) {
    return r.find("method=meta") != std::string::npos && r.find("Second") != std::string::npos;
  });
  EXPECT_LT(firstDownload - requests.begin(), secondMeta - requests.begin());
  EXPECT_EQ(ui.closed, 2);
}

TEST_F(DeliveryTest, NameQueuedJustAfterTheWorkerFinishedIsStillDownloaded) {
  AddSong("One", 5000);
  AddSong("Two", 5000);
  Delivery delivery(folder.Path(), Network(), ui);
  Refresh(delivery);
  delivery.RequestSongDownload("One");
  delivery.WaitForWorker();  // the worker is done; its "press exit" is not delivered yet
  delivery.RequestSongDownload("Two");
  ASSERT_TRUE(ui.PumpUntil([&] { return !ui.windowOpen; }));
  delivery.WaitForWorker();
  EXPECT_TRUE(fs::exists(SongFolder() + "One/sh"));
  EXPECT_TRUE(fs::exists(SongFolder() + "Two/sh"));
  EXPECT_FALSE(delivery.IsQueued("Two"));
}

TEST_F(DeliveryTest, RequestsForNamesThatAreNotPlainAreRefused) {
  Delivery delivery(folder.Path(), Network(), ui);
  Refresh(delivery);
  const size_t requests = storage.Requests().size();
  delivery.RequestSongDownload("../../etc");
  EXPECT_EQ(ui.messages, std::vector<std::string>{texts::kArchiveFailed});
  EXPECT_FALSE(delivery.IsQueued("../../etc"));
  EXPECT_FALSE(ui.windowOpen);
  EXPECT_EQ(storage.Requests().size(), requests);
}

}  // namespace
}  // namespace sonavera::delivery
