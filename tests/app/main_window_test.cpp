#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/about_dlg.h"
#include "app/introduce_dlg.h"
#include "app/main_window_services.h"
#include "app/main_window_texts.h"
#include "app/qt_app.h"
#include "content/temp_folder.h"
#include "platform/text_encoding.h"

namespace sonavera::app {
namespace {

using content::testing::TempFolder;
namespace fs = std::filesystem;

// Stands where the message boxes, the sound card and the server would be.
struct RecordingServices : MainWindowServices {
  void ShowMessage(const std::string& text, const std::string& caption, bool information) override {
    messages.push_back(text);
    captions.push_back(caption);
    informationIcons.push_back(information);
  }
  bool OpenCaptureDevice() override { return captureOpens; }
  bool IsDownloading(const std::string& name) override { return name == downloading; }
  bool AskDownload(const std::string& name) override {
    asked.push_back(name);
    return answerYes;
  }
  void RequestSongDownload(const std::string& name) override { requested.push_back(name); }

  bool captureOpens = true;
  bool answerYes = true;
  std::string downloading;
  std::vector<std::string> messages, captions, asked, requested;
  std::vector<bool> informationIcons;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestApplication();
    for (const char* song : {"月亮代表我的心", "青花瓷", "小苹果", "演员_KTV版"})
      fs::create_directories(program.Path(std::string("歌曲/单曲/") + song + "/data"));
    const std::vector<std::string> lines = {"月亮代表我的心 经典", "青花瓷 K 歌", "小苹果 Vexo 舞曲",
                                            "演员_KTV版 K 歌",     "未下载 新歌", "青青河边草 老歌"};
    std::string catalogue;
    for (const auto& line : lines) catalogue += platform::Utf8ToGbk(line).value() + "\r\n";
    std::ofstream(program.Path("List.txt"), std::ios::binary) << catalogue;
    window = std::make_unique<CRating1Dlg>(program.Path(), services);
    window->show();
  }

  bool Visible(int id) const { return window->Control(id)->isVisible(); }
  QListWidget* List() const { return window->ControlAs<QListWidget>(1072); }
  QLineEdit* Slot(int id) const { return window->ControlAs<QLineEdit>(id); }
  // A mouse click on a list row, as the user gives it (also on the row already selected).
  void Pick(int row) {
    QWidget* viewport = List()->viewport();
    const QPoint at = List()->visualItemRect(List()->item(row)).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QApplication::sendEvent(viewport, &release);
  }
  void Click(int id) { window->ControlAs<QAbstractButton>(id)->click(); }
  void TypeSearch(const QString& text) {
    Slot(1044)->setFocus();
    Slot(1044)->clear();
    for (QChar c : text) Slot(1044)->insert(QString(c)), Slot(1044)->textEdited(Slot(1044)->text());
  }

  TempFolder program;
  RecordingServices services;
  std::unique_ptr<CRating1Dlg> window;
};

TEST_F(MainWindowTest, StartSingingOpensTheListOrExplainsTheMicrophone) {
  EXPECT_TRUE(Visible(1081));
  EXPECT_FALSE(Visible(1072));
  services.captureOpens = false;
  Click(1081);
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0], std::string(texts::kCaptureFailed) + texts::kCaptureFailedEnd);
  EXPECT_EQ(services.captions[0], "警告");
  EXPECT_EQ(window->page, 0);
  EXPECT_TRUE(Visible(1081));

  services.captureOpens = true;
  Click(1081);
  EXPECT_EQ(window->page, 1);
  EXPECT_EQ(window->singlePage, 1);
  EXPECT_FALSE(Visible(1081));
  for (int id : {1072, 1044, 1064, 1094, 1129, 1130, 1120, 1121}) EXPECT_TRUE(Visible(id)) << id;
  ASSERT_EQ(List()->count(), 6);
  EXPECT_EQ(List()->currentRow(), 0);
  EXPECT_EQ(List()->item(4)->data(Qt::UserRole).toInt(), kImageNotOnDisk);
  EXPECT_EQ(List()->item(0)->data(Qt::UserRole).toInt(), kImageOnDisk);

  Click(1094);
  EXPECT_EQ(window->page, 0);
  EXPECT_TRUE(Visible(1081));
  EXPECT_FALSE(Visible(1072));
  EXPECT_FALSE(Visible(1129));
}

TEST_F(MainWindowTest, KtvSongsKeepTheSingLaneAndRefuseDancing) {
  Click(1081);
  window->danceOn = 1;
  List()->setCurrentRow(1);  // 青花瓷 K 歌
  EXPECT_EQ(window->danceOn, 0);
  EXPECT_EQ(window->singOn, 1);
  EXPECT_EQ(window->songTitle, platform::Utf8ToGbk("青花瓷").value());
  Click(1130);
  Click(1129);
  EXPECT_EQ(services.messages, (std::vector<std::string>{texts::kNoDanceInKtv, texts::kKtvNeedsSinging}));
  EXPECT_EQ(window->danceOn, 0);
  EXPECT_EQ(window->singOn, 1);
  EXPECT_FALSE(window->ControlAs<QPushButton>(1130)->isChecked());
  EXPECT_TRUE(window->ControlAs<QPushButton>(1129)->isChecked());

  // An ordinary song: switching singing off turns dancing on first; one lane always stays on.
  List()->setCurrentRow(0);
  Click(1129);
  EXPECT_EQ(window->singOn, 0);
  EXPECT_EQ(window->danceOn, 1);
  Click(1130);
  EXPECT_EQ(window->singOn, 1);
  EXPECT_EQ(window->danceOn, 0);
  // A dance song switches both on and remembers the lanes for a double click.
  List()->setCurrentRow(2);
  EXPECT_EQ(window->danceOn, 1);
  EXPECT_EQ(window->singOn, 1);
  EXPECT_EQ(window->savedDanceOn, 0);
}

TEST_F(MainWindowTest, MedleyNeedsFourSongsAndIgnoresAFifth) {
  Click(1081);
  Click(1085);
  EXPECT_EQ(window->medleyPage, 1);
  for (int row : {0, 1, 2}) Pick(row);
  EXPECT_EQ(Slot(1043)->text(), "月亮代表我的心");
  EXPECT_EQ(Slot(1044)->text(), "青花瓷");
  EXPECT_EQ(Slot(1045)->text(), "小苹果");
  Click(1064);
  EXPECT_EQ(services.messages, std::vector<std::string>{texts::kChooseFourSongs});
  EXPECT_TRUE(services.informationIcons[0]);
  EXPECT_TRUE(Visible(1072));
  EXPECT_FALSE(Visible(1014));
  Pick(5);
  Pick(3);  // a fifth: no empty slot left
  EXPECT_EQ(Slot(1046)->text(), "青青河边草");
  Click(1092);
  EXPECT_TRUE(Slot(1045)->text().isEmpty());
  Click(1094);
  for (int id : window->medleySlotIds) EXPECT_TRUE(Slot(id)->text().isEmpty()) << id;
}

TEST_F(MainWindowTest, SearchSelectsMatchesAndWraps) {
  Click(1081);
  TypeSearch("青");
  EXPECT_EQ(List()->currentRow(), 1);
  TypeSearch("青花");
  EXPECT_EQ(List()->currentRow(), 1) << "a longer prefix keeps the match";
  Slot(1044)->setText("青");
  Click(1091);
  EXPECT_EQ(List()->currentRow(), 5);
  Click(1091);
  EXPECT_EQ(List()->currentRow(), 1) << "wraps to the top";
  Slot(1044)->setText("没有这首");
  Click(1091);
  EXPECT_EQ(window->searchPosition, -1);
  EXPECT_EQ(List()->currentRow(), 1);
}

TEST_F(MainWindowTest, StartingASongPreparesItOrAsksForTheDownload) {
  Click(1081);
  List()->setCurrentRow(4);  // not on disk
  Click(1064);
  EXPECT_EQ(services.asked, std::vector<std::string>{"未下载"});
  EXPECT_EQ(services.requested, std::vector<std::string>{"未下载"});
  services.downloading = "青花瓷";
  List()->setCurrentRow(1);
  Click(1064);
  EXPECT_EQ(services.messages, std::vector<std::string>{texts::kSongQueued});
  EXPECT_TRUE(Visible(1072));

  List()->setCurrentRow(3);
  Click(1064);
  EXPECT_EQ(window->ktvMode, 1);
  EXPECT_EQ(window->lastSongIndex, 3);
  EXPECT_EQ(window->stageTimerOff, 0);
  EXPECT_EQ(fs::path(window->songFolder).filename(), "data");
  EXPECT_TRUE(Visible(1014));
  EXPECT_TRUE(Visible(1098));
  EXPECT_FALSE(Visible(1072));
  EXPECT_FALSE(Visible(1129));

  // A package unpacked meanwhile: the list is rebuilt on the way back.
  std::ofstream(program.Path("List.txt"), std::ios::app | std::ios::binary)
      << platform::Utf8ToGbk("新到的歌 新").value() << "\r\n";
  window->MarkListStale();
  // Closing during the song passes through the return to the list.
  window->close();
  EXPECT_EQ(window->stageTimerOff, 1);
  EXPECT_FALSE(window->songRunning);
  window->show();
  EXPECT_TRUE(Visible(1072));
  EXPECT_EQ(List()->count(), 7);
  EXPECT_EQ(List()->currentRow(), 3);

  // Esc during a song winds it down the same way.
  List()->setCurrentRow(0);
  Click(1064);
  ASSERT_TRUE(window->songRunning);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &escape);
  EXPECT_FALSE(window->songRunning);
  EXPECT_EQ(window->stageTimerOff, 1);
}

TEST_F(MainWindowTest, SpaceAndEnterNeverPressTheFocusedButton) {
  Click(1081);
  auto* button = window->ControlAs<QPushButton>(1094);
  int clicks = 0;
  QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
  button->setFocus();
  for (int key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "\r");
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "\r");
    QApplication::sendEvent(button, &press);
    QApplication::sendEvent(button, &release);
  }
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->page, 1);
}

TEST_F(MainWindowTest, WrongStickSettingStopsTheListSetUp) {
  std::ofstream(program.Path("stick.dat")) << "VEXOSTICK 0001"
                                           << "01020311";
  Click(1081);
  EXPECT_EQ(services.messages, std::vector<std::string>{kDirectionMapError});
  EXPECT_EQ(List()->count(), 0);
  EXPECT_FALSE(Visible(1072));
  EXPECT_FALSE(Visible(1081));
  EXPECT_TRUE(Visible(1129));
}

// "帮助" and "麦克风设置" open the one panel over the window: the help list from "init", then the
// device choice, which lands in the window's captureDevice.
TEST_F(MainWindowTest, HelpAndSettingsButtonsOpenTheirPanels) {
  std::ofstream(program.Path("init"), std::ios::binary) << "first\nsecond\n";
  Click(1083);
  IntroduceDlg& panel = window->Introduce();
  EXPECT_TRUE(panel.isVisible());
  EXPECT_TRUE(panel.HelpList()->isVisible());
  EXPECT_FALSE(panel.DeviceCombo()->isVisible());
  ASSERT_EQ(panel.HelpList()->count(), 4);
  EXPECT_EQ(panel.HelpList()->item(2)->text(), "second");
  EXPECT_EQ(panel.geometry(), window->geometry());

  Click(1082);
  EXPECT_EQ(&window->Introduce(), &panel);  // the same panel, switched over
  EXPECT_TRUE(panel.DeviceCombo()->isVisible());
  EXPECT_FALSE(panel.HelpList()->isVisible());
  EXPECT_EQ(window->captureDevice, -1);
  panel.DeviceCombo()->addItem("extra mic");  // the dummy driver may list no device
  const int last = panel.DeviceCombo()->count() - 1;
  panel.DeviceCombo()->activated(last);
  EXPECT_EQ(window->captureDevice, last);
}

TEST(AboutBox, ShowsTheVersionAndTheSite) {
  testing::TestApplication();
  CAboutDlg box("https://example.invalid/");
  EXPECT_EQ(box.windowTitle(), QString::fromUtf8("关于 Sonavera"));
  EXPECT_EQ(box.findChild<QLabel*>("version")->text(), "Sonavera V3.9.4");
  EXPECT_EQ(box.findChild<QLabel*>("site")->text(), "https://example.invalid/");
  box.show();
  box.findChild<QPushButton*>("ok")->click();
  EXPECT_EQ(box.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace sonavera::app
