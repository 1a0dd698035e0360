// The download window and the notice dialog, shown offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <thread>

#include "delivery/delivery.h"
#include "delivery/ui/dialog_units.h"
#include "delivery/ui/qt_delivery_ui.h"
#include "delivery/ui/url_down.h"
#include "delivery/ui/wait_dlg.h"
#include "support/temp_folder.h"

namespace sonavera::delivery::ui {
namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app = new QApplication(argc, argv); }
  void TearDown() override { delete app; }

 private:
  int argc = 1;
  char name[8] = "ui_test";
  char* argv[2] = {name, nullptr};
  QApplication* app = nullptr;
};

const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

const QString kBlanks(21, QLatin1Char(' '));

bool ProcessUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 3000 && !done(); ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

TEST(WaitDlg, NotDownloadedAsksWithBothButtons) {
  WaitDlg dialog(WaitDlg::kNotDownloaded, nullptr);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("未下载本首歌曲"));
  EXPECT_EQ(dialog.noticeText()->text(),
            QStringLiteral("\n") + kBlanks + QStringLiteral("未下载本首歌曲\n") + kBlanks + QStringLiteral("现在就去下载？"));
  EXPECT_FALSE(dialog.yesButton()->isHidden());
  EXPECT_FALSE(dialog.noButton()->isHidden());
  EXPECT_EQ(dialog.yesButton()->text(), QStringLiteral("嗯，现在去下载"));
  EXPECT_EQ(dialog.noButton()->text(), QStringLiteral("不，玩别的歌曲"));
  EXPECT_EQ(dialog.size(), DialogSize(187, 57));
  QTimer::singleShot(0, dialog.yesButton(), &QPushButton::click);
  EXPECT_EQ(dialog.exec(), 1);
  QTimer::singleShot(0, dialog.noButton(), &QPushButton::click);
  EXPECT_EQ(dialog.exec(), 2);
}

TEST(WaitDlg, ProgramTooOldNamesTheWebSite) {
  WaitDlg dialog(WaitDlg::kProgramTooOld, nullptr, {}, QStringLiteral("https://site.example/"));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("软件版本过旧"));
  EXPECT_EQ(dialog.noticeText()->text(), kBlanks + QStringLiteral("该软件版本过旧\n请到官网：https://site.example/下载最新版软件\n") +
                                             kBlanks + QStringLiteral("现在就去下载？"));
  EXPECT_EQ(dialog.noButton()->text(), QStringLiteral("取消"));
  EXPECT_FALSE(dialog.noButton()->isHidden());
}

TEST(WaitDlg, LoadingNoticeRunsTheRefreshThenClosesItself) {
  int refreshes = 0;
  WaitDlg dialog(WaitDlg::kLoading, nullptr, [&] { ++refreshes; });
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("文件加载中，请稍候……"));
  EXPECT_EQ(dialog.noticeText()->text(), QStringLiteral("文件加载中，请稍候……"));
  EXPECT_TRUE(dialog.yesButton()->isHidden());
  EXPECT_TRUE(dialog.noButton()->isHidden());
  EXPECT_EQ(dialog.size(), DialogSize(187, 57) - QSize(70, 50));
  EXPECT_EQ(dialog.exec(), 0);
  EXPECT_EQ(refreshes, 1);
}

TEST(UrlDown, ShowsTheWorkersEventsPostedFromAnotherThread) {
  testing::TempFolder folder;
  QtDeliveryUi qtUi(nullptr, {}, {});
  Delivery delivery(folder.Path(), NetworkSettings{}, qtUi);
  qtUi.Attach(&delivery);
  qtUi.OpenDownloadWindow("List");
  UrlDown* window = qtUi.Window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("下载列表"));
  EXPECT_EQ(window->size(), DialogSize(174, 122));
  EXPECT_EQ(window->exitButton()->text(), QStringLiteral("退出"));
  EXPECT_EQ(window->queueField()->toPlainText(), QStringLiteral("List"));

  std::thread worker([&] {
    using Kind = DownloadEvent::Kind;
    qtUi.Post({Kind::kStatus, "月亮 正在下载...", 0});
    qtUi.Post({Kind::kProgressRange, "", 10000});
    qtUi.Post({Kind::kProgressPos, "", 2500});
    qtUi.Post({Kind::kSize, "0.01MB", 0});
    qtUi.Post({Kind::kSpeed, "12KB/秒", 0});
    qtUi.Post({Kind::kPercent, "25%", 0});
    qtUi.Post({Kind::kQueueText, "月亮\r\n星星\r\n", 0});
  });
  worker.join();
  ASSERT_TRUE(ProcessUntil([&] { return window->queueField()->toPlainText() == QStringLiteral("月亮\n星星\n"); }));
  EXPECT_EQ(window->statusLine()->text(), QStringLiteral("月亮 正在下载..."));
  EXPECT_EQ(window->sizeField()->text(), QStringLiteral("0.01MB"));
  EXPECT_EQ(window->speedField()->text(), QStringLiteral("12KB/秒"));
  EXPECT_EQ(window->percentField()->text(), QStringLiteral("25%"));
  EXPECT_EQ(window->progressBar()->value() * 4, window->progressBar()->maximum());
}

TEST(UrlDown, ClosesItselfWhenTheQueueIsDone) {
  testing::TempFolder folder;
  QtDeliveryUi qtUi(nullptr, {}, {});
  Delivery delivery(folder.Path(), NetworkSettings{}, qtUi);
  qtUi.Attach(&delivery);
  delivery.State().SetCurrentToken("T");  // as after a refresh; no tokens: nothing can be fetched
  delivery.RequestSongDownload("Song");
  ASSERT_NE(qtUi.Window(), nullptr);
  EXPECT_EQ(qtUi.Window()->queueField()->toPlainText(), QStringLiteral("Song"));
  ASSERT_TRUE(ProcessUntil([&] { return qtUi.Window() == nullptr; }));
  EXPECT_FALSE(delivery.DownloadWindowOpen());
  EXPECT_FALSE(delivery.IsQueued("Song"));
}

TEST(UrlDown, ExitButtonEndsTheDownloads) {
  testing::TempFolder folder;
  QtDeliveryUi qtUi(nullptr, {}, {});
  Delivery delivery(folder.Path(), NetworkSettings{}, qtUi);
  qtUi.Attach(&delivery);
  delivery.State().SetCurrentToken("T");
  delivery.RequestSongDownload("Song");
  ASSERT_NE(qtUi.Window(), nullptr);
  qtUi.Window()->exitButton()->click();
  EXPECT_EQ(qtUi.Window(), nullptr);
  EXPECT_FALSE(delivery.DownloadWindowOpen());
  delivery.WaitForWorker();
}

}  // namespace
}  // namespace sonavera::delivery::ui
