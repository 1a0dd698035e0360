#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/evalu_dlg.h"
#include "app/html_ctrl.h"
#include "app/report_replay.h"
#include "qt_app.h"
#include "support/loopback_http_server.h"

namespace sonavera::app {
namespace {

// Plays nothing: remembers what was asked and reports a position the test moves.
class RecordingChannels : public ReplayChannels {
 public:
  void StopChannel() override { calls.push_back("stop"); }
  void PlayFrom(const std::string& file, float seconds) override {
    calls.push_back("play " + file + " @" + std::to_string(int(seconds * 10)));
    position = seconds;
  }
  float Position() override { return position; }

  std::vector<std::string> calls;
  float position = 0;
};

ReplaySource TwoLines() {
  ReplaySource source;
  source.bestLine = 0;
  source.worstLine = 1;
  source.lineStart = {10.0f, 20.0f};
  source.lineEnd = {14.0f, 23.0f};
  source.programFolder = "/prog/";
  source.songFolder = "/songs/a";
  return source;
}

// Ticks with the position advanced 0.2 s each time until the replay ends; returns the phases seen.
std::vector<int> RunReplay(ReportReplay& replay, RecordingChannels& channels) {
  std::vector<int> phases{replay.Phase()};
  for (int i = 0; i < 200; ++i) {
    channels.position += 0.2f;
    const bool more = replay.Tick();
    if (phases.back() != replay.Phase()) phases.push_back(replay.Phase());
    if (!more) break;
  }
  return phases;
}

TEST(ReportReplayTest, BestLinePlaysOriginalThenRecordingWithTheTailOnTheRecording) {
  RecordingChannels channels;
  ReportReplay replay(channels, TwoLines());
  ASSERT_TRUE(replay.Start(true));
  EXPECT_EQ(RunReplay(replay, channels), (std::vector<int>{1, 2}));
  ASSERT_EQ(channels.calls.size(), 3u);
  EXPECT_EQ(channels.calls[0], "play /songs/a/music1.mp3 @100");
  EXPECT_EQ(channels.calls[1], "play /prog/temp.wav @100");
  EXPECT_EQ(channels.calls[2], "stop");
  EXPECT_GE(channels.position, 14.2f - 0.01f);
  EXPECT_LT(channels.position, 14.2f + 0.21f);
}

TEST(ReportReplayTest, WorstLinePlaysOriginalWithTheTailThenRecording) {
  RecordingChannels channels;
  ReportReplay replay(channels, TwoLines());
  ASSERT_TRUE(replay.Start(false));
  std::vector<int> phases{replay.Phase()};
  // The original must still run at 23.1 s (its end is 23.2 s for the worst line).
  channels.position = 23.1f;
  EXPECT_TRUE(replay.Tick());
  EXPECT_EQ(replay.Phase(), 3);
  channels.position = 23.2f;
  EXPECT_TRUE(replay.Tick());
  EXPECT_EQ(replay.Phase(), 4);
  EXPECT_EQ(channels.calls.back(), "play /prog/temp.wav @200");
  channels.position = 22.9f;
  EXPECT_TRUE(replay.Tick());
  channels.position = 23.0f;
  EXPECT_FALSE(replay.Tick());
  EXPECT_EQ(channels.calls.back(), "stop");
}

TEST(ReportReplayTest, MissingOrOutOfRangeLinesAreIgnored) {
  for (int line : {-1, 2, 99}) {
    RecordingChannels channels;
    ReplaySource source = TwoLines();
    source.bestLine = line;
    ReportReplay replay(channels, source);
    EXPECT_FALSE(replay.Start(true)) << line;
    EXPECT_EQ(replay.Phase(), 0);
    EXPECT_TRUE(channels.calls.empty());
    EXPECT_FALSE(replay.Tick());
  }
}

TEST(ReportReplayTest, ANewRequestRestartsFromTheOriginal) {
  RecordingChannels channels;
  ReportReplay replay(channels, TwoLines());
  replay.Start(false);
  channels.position = 23.5f;
  replay.Tick();
  ASSERT_EQ(replay.Phase(), 4);
  replay.Start(true);
  EXPECT_EQ(replay.Phase(), 1);
  EXPECT_EQ(channels.calls.back(), "play /songs/a/music1.mp3 @100");
}

TEST(HtmlCtrlTest, AppLinksAreDispatchedWithoutRegardToCaseAndNotOpened) {
  testing::TestApplication();
  CHtmlCtrl view;
  std::vector<std::string> commands;
  view.SetAppLinkHandler([&](const QString& c) { commands.push_back(c.toStdString()); });
  view.WriteHtml("<p>kept</p>");
  for (const char* address : {"app:ok", "APP:OK", "App:badplay", "app:other"}) view.Navigate(address);
  EXPECT_EQ(commands, (std::vector<std::string>{"ok", "OK", "badplay", "other"}));
  EXPECT_TRUE(view.toPlainText().contains("kept"));
  EXPECT_FALSE(view.OnBeforeNavigate2("http://example.invalid/app:ok"));
  EXPECT_FALSE(view.OnBeforeNavigate2("ap"));
}

// Runs the event loop until `done` or a generous bound (the page comes from a loopback server).
template <typename Done>
bool SpinUntil(Done done) {
  for (int i = 0; i < 500 && !done(); ++i) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

TEST(HtmlCtrlTest, RemotePagesAreFetchedAndOfflineLeavesTheViewBlank) {
  testing::TestApplication();
  sonavera::testing::LoopbackHttpServer server([](const std::string& target) {
    sonavera::testing::HttpReply reply;
    if (target == "/ad")
      reply.body = "<p>advert here</p>";
    else
      reply.status = 404, reply.body = "<p>not found page</p>";
    return reply;
  });
  CHtmlCtrl view;
  view.Navigate(QString::fromStdString(server.BaseUrl() + "/ad"));
  EXPECT_TRUE(SpinUntil([&] { return view.toPlainText().contains("advert here"); }));
  view.Navigate(QString::fromStdString(server.BaseUrl() + "/missing"));
  SpinUntil([&] { return server.Requests().size() == 2; });
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  EXPECT_TRUE(view.toPlainText().isEmpty());
  view.Navigate("http://127.0.0.1:1/closed");
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  EXPECT_TRUE(view.toPlainText().isEmpty());
}

TEST(HtmlCtrlTest, AttachTakesThePlaceholdersPlaceAndName) {
  testing::TestApplication();
  QWidget parent;
  auto* placeholder = new QWidget(&parent);
  placeholder->setObjectName("1141");
  placeholder->setGeometry(5, 7, 100, 50);
  auto* view = new CHtmlCtrl;
  EXPECT_FALSE(view->AttachToPlaceholder(1999, &parent));
  ASSERT_TRUE(view->AttachToPlaceholder(1141, &parent));
  EXPECT_EQ(view->geometry(), QRect(5, 7, 100, 50));
  EXPECT_EQ(view->parentWidget(), &parent);
  EXPECT_EQ(parent.findChildren<QWidget*>("1141").size(), 1);
  EXPECT_EQ(parent.findChild<QWidget*>("1141"), view);
}

TEST(ReportWindowTest, ShowsWaitingThenReportAndLinksStartTheReplay) {
  testing::TestApplication();
  RecordingChannels channels;
  std::string reportHtml = "stale";
  ReportContext context;
  context.reportHtml = &reportHtml;
  context.channels = &channels;
  context.replay = TwoLines();
  ReportWindowHost host;
  EvaluDlg* window = host.OpenReportWindow(nullptr, context);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(reportHtml.empty());
  EXPECT_EQ(window->ShownHtml(), "<html>正在评价，请稍候...</html>");
  reportHtml = "best <a href=\"app:OK\">replay</a>";
  window->OnReportTick();
  EXPECT_EQ(window->ShownHtml(), "<html>" + reportHtml + "</html>");

  window->ReportView().Navigate("APP:ok");
  EXPECT_EQ(window->ReplayPhase(), 0);  // posted, not called
  QCoreApplication::processEvents();
  EXPECT_EQ(window->ReplayPhase(), 1);
  window->ReportView().Navigate("app:BadPlay");
  QCoreApplication::processEvents();
  EXPECT_EQ(window->ReplayPhase(), 3);
  channels.position = 30;
  window->OnReplayTick();
  EXPECT_EQ(window->ReplayPhase(), 4);
  window->ReportView().Navigate("app:nothing");
  QCoreApplication::processEvents();
  EXPECT_EQ(window->ReplayPhase(), 4);
  host.CloseReportWindow();
  EXPECT_EQ(host.Window(), nullptr);
}

TEST(ReportWindowTest, EmptyReportShowsTheFailureSentence) {
  testing::TestApplication();
  std::string reportHtml;
  ReportContext context;
  context.reportHtml = &reportHtml;
  EvaluDlg window(context, nullptr);
  window.OnReportTick();
  EXPECT_EQ(window.ShownHtml(), "<html>演唱很失败，无话可说。。。</html>");
  window.OnReplayBestLine();  // no channels: nothing happens
  EXPECT_EQ(window.ReplayPhase(), 0);
}

TEST(ReportWindowTest, PlacedAtTheWorkAreasLowerLeft) {
  testing::TestApplication();
  EXPECT_EQ(ReportWindowPosition(QRect(0, 0, 1024, 728), 600), QPoint(0, 128));
  EXPECT_EQ(ReportWindowPosition(QRect(0, 30, 800, 570), 500), QPoint(0, 100));
  ReportWindowHost host;
  EvaluDlg* window = host.OpenReportWindow(nullptr, ReportContext{});
  const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(window->frameGeometry().left(), workArea.left());
  EXPECT_EQ(window->frameGeometry().bottom() + 1, workArea.bottom() + 1);
  EXPECT_TRUE(window->isVisible());
}

}  // namespace
}  // namespace sonavera::app
