#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "app/hyper_link.h"
#include "app/introduce_dlg.h"
#include "app/open_url.h"
#include "qt_app.h"

namespace sonavera::app {
namespace {

namespace fs = std::filesystem;

class HelpFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestApplication();
    folder = fs::temp_directory_path() / ("sonavera_help_" + std::to_string(::getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  void WriteInit(const std::string& bytes) { std::ofstream(folder / "init", std::ios::binary) << bytes; }
  std::string Program() const { return folder.string() + "/"; }
  static QStringList Rows(const QListWidget& list) {
    QStringList rows;
    for (int i = 0; i < list.count(); ++i) rows << list.item(i)->text();
    return rows;
  }
  fs::path folder;
};

TEST_F(HelpFolder, HelpRowsStopAtTheFirstEmptyLineAndAlternateWithBlanks) {
  struct Case {
    std::string file;
    QStringList rows;
  };
  const Case cases[] = {
      {"A\nB\n\nC\n", {"A", "", "B", ""}},
      {"A\r\nB\r\n\r\nC", {"A", "", "B", ""}},
      {"one\nlast without end", {"one", "", "last without end", ""}},
      {"\nhidden", {}},
      {"", {}},
      // GBK "帮助"
      {"\xB0\xEF\xD6\xFA\n", {QString::fromUtf8("帮助"), ""}},
  };
  for (const Case& c : cases) {
    WriteInit(c.file);
    EXPECT_EQ(ReadHelpRows(Program() + "init"), c.rows) << c.file;
  }
  EXPECT_TRUE(ReadHelpRows(Program() + "missing").isEmpty());
}

TEST_F(HelpFolder, HelpPanelFillsTheListOnceAndHidesTheSettings) {
  WriteInit("A\nB\n");
  int captureDevice = -1;
  IntroduceDlg panel(nullptr, {"mic 0"}, captureDevice, Program(), "http://tutorial.invalid/op", "");
  panel.ShowHelpPanel(QRect(10, 20, 800, 600));
  panel.ShowHelpPanel(QRect(10, 20, 800, 600));
  EXPECT_EQ(Rows(*panel.HelpList()), (QStringList{"A", "", "B", ""}));
  EXPECT_TRUE(panel.HelpList()->isVisible());
  EXPECT_FALSE(panel.DeviceCombo()->isVisible());
  EXPECT_FALSE(panel.MonitorButton()->isVisible());
  EXPECT_EQ(panel.TutorialLink()->text(), QString::fromUtf8("软件操作-图文详细教程"));
  EXPECT_EQ(panel.TutorialLink()->Address(), "http://tutorial.invalid/op");
  EXPECT_EQ(panel.geometry(), QRect(10, 20, 800, 600));
}

TEST_F(HelpFolder, DeviceChoiceIsStoredOnlyWhenTheUserPicks) {
  int captureDevice = -1;
  IntroduceDlg panel(nullptr, {"mic 0", "mic 1", "mic 2"}, captureDevice, Program(), "", "");
  panel.ShowSettingsPanel(QRect(0, 0, 800, 600));
  EXPECT_EQ(panel.DeviceCombo()->count(), 3);
  EXPECT_EQ(panel.DeviceCombo()->currentIndex(), 0);
  EXPECT_EQ(captureDevice, -1);
  EXPECT_TRUE(panel.DeviceCombo()->isVisible());
  EXPECT_FALSE(panel.HelpList()->isVisible());
  emit panel.DeviceCombo()->activated(1);
  EXPECT_EQ(captureDevice, 1);
}

TEST_F(HelpFolder, ButtonsOpenTheSongFolderAndStartTheEchoCompanion) {
  int captureDevice = -1;
  std::vector<std::string> done;
  IntroduceActions actions;
  actions.showMessage = [&](const QString& text) { done.push_back("message " + text.toStdString()); };
  actions.openFolder = [&](const QString& path) { done.push_back("folder " + path.toStdString()); };
  actions.startProgram = [&](const QString& path) { done.push_back("start " + path.toStdString()); };
  actions.showEchoHelp = [&] { done.push_back("help"); };
  IntroduceDlg panel(nullptr, {}, captureDevice, Program(), "", "", actions);
  panel.SongFolderButton()->click();
  panel.MonitorButton()->click();
  ASSERT_EQ(done.size(), 4u);
  EXPECT_EQ(done[0], "folder " + Program() + "歌曲/单曲");
  EXPECT_EQ(done[1], "message 软件方式：听到的自唱声音可能会延时。");
  EXPECT_EQ(done[2], "start " + Program() + "sonavera-echo");
  EXPECT_EQ(done[3], "help");
}

TEST(OpenUrlTest, HandlerCommandTakesTheAddressInPlaceOfItsFieldCode) {
  struct Case {
    QString exec;
    QStringList command;
  };
  const QString url = "http://a.invalid/x?y=1&z=2";
  const Case cases[] = {
      {"firefox %u", {"firefox", url}},
      {"/usr/bin/browser --new-window %U --flag", {"/usr/bin/browser", "--new-window", url}},
      {"viewer \"%f\"", {"viewer", url}},
      {"plain", {"plain", url}},
      {"\"/opt/my browser/run\" %F", {"/opt/my browser/run", url}},
      {"%u", {}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(HtmlHandlerCommand(c.exec, url), c.command) << c.exec.toStdString();
}

TEST(HyperLinkTest, TextAndAddressStandInForEachOther) {
  testing::TestApplication();
  CHyperLink link;
  link.SetLink("only text", "");
  EXPECT_EQ(link.Address(), "only text");
  link.SetLink("", "http://only.invalid/address");
  EXPECT_EQ(link.text(), "http://only.invalid/address");
  EXPECT_EQ(link.toolTip(), "http://only.invalid/address");
  EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0, 0, 255));
}

}  // namespace
}  // namespace sonavera::app
