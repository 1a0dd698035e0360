// The sonavera-tool commands unzip and download, run as the separate program they are.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/tool_run.h"
#include "support/fake_storage.h"
#include "support/temp_folder.h"
#include "support/zip_builder.h"

namespace sonavera::delivery {
namespace {

namespace fs = std::filesystem;
using testing::Quoted;
using testing::ReadFile;
using testing::RunTool;
using testing::TempFolder;
using testing::ToolRun;
using testing::WriteFile;

TEST(ToolUnzip, PrintsEachEntryAndKeepsHostileNamesInside) {
  TempFolder dir;
  WriteFile(dir.Path() + "a.zip",
            testing::StoredZipBytes({{"Song/sh", "1"}, {"../../x", "2"}, {"a\\..\\b", "3"}}));
  const ToolRun run = RunTool("unzip " + Quoted(dir.Path() + "a.zip") + " " + Quoted(dir.Path() + "out/in"));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "0 0 Song/sh\n1 0 x\n2 0 b\n");
  EXPECT_EQ(ReadFile(dir.Path() + "out/in/x"), "2");
  EXPECT_FALSE(fs::exists(dir.Path() + "x"));
}

TEST(ToolUnzip, UnreadableArchivesExitWithOne) {
  TempFolder dir;
  WriteFile(dir.Path() + "error.zip", std::string(80, 'e'));
  EXPECT_EQ(RunTool("unzip " + Quoted(dir.Path() + "error.zip") + " " + Quoted(dir.Path() + "out")).exitCode,
            1);
  EXPECT_EQ(
      RunTool("unzip " + Quoted(dir.Path() + "missing.zip") + " " + Quoted(dir.Path() + "out")).exitCode, 1);
  EXPECT_EQ(RunTool("unzip only-one-argument").exitCode, 2);
}

class ToolDownload : public ::testing::Test {
 protected:
  void SetUp() override {
    storage.ServeLists("x?access_token=T1&y\nx?access_token=T2&y\n", "月亮 1\n", "banner\n");
    storage.AddSong("月亮", std::string(9000, 'm'));
  }
  void Configure(const std::string& tokenUrl) {
    WriteFile(program.Path() + "sonavera.ini",
              "[network]\ntokenUrl=" + tokenUrl + "\nstorageUrl=" + storage.StorageUrl() + "\n");
  }

  TempFolder program;
  testing::FakeStorage storage;
};

TEST_F(ToolDownload, FetchesTheListsAndASongIntoTheProgramFolder) {
  Configure(storage.TokenUrl());
  const ToolRun run = RunTool("download List AD 月亮 --program-folder " + Quoted(program.Path()));
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_EQ(ReadFile(program.Path() + "List.txt"), "月亮 1\n");
  EXPECT_EQ(ReadFile(program.Path() + "AD.txt"), "banner\n");
  EXPECT_EQ(ReadFile(program.Path() + "歌曲/单曲/月亮/music.mp3"), std::string(9000, 'm'));
  EXPECT_FALSE(fs::exists(program.Path() + "月亮.zip"));
  EXPECT_NE(run.out.find("status: 月亮 正在下载...\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("percent: 100%\n"), std::string::npos);
  EXPECT_NE(run.out.find("size: 0.01MB\n"), std::string::npos);
  EXPECT_NE(run.out.find("list: AD\\r\\n月亮\\r\\n\n"), std::string::npos);  // after "List" left the queue
  EXPECT_EQ(run.out.rfind("status: 下载完成！\n") + std::string("status: 下载完成！\n").size(),
            run.out.size());
  EXPECT_EQ(run.out.find("T1"), std::string::npos);  // tokens are never shown
}

TEST_F(ToolDownload, FailsWhenANameCannotBeDownloadedOrNoServerIsSet) {
  Configure(storage.TokenUrl());
  ToolRun run = RunTool("download List missing --program-folder " + Quoted(program.Path()));
  EXPECT_EQ(run.exitCode, 1);
  // The service knows no "missing": its information answer carries no size.
  EXPECT_NE(run.out.find("status: 下载错误！\\n请点击退出后重新下载或联系客服\n"), std::string::npos)
      << run.out;
  Configure("");
  run = RunTool("download List --program-folder " + Quoted(program.Path()));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "message: 网络连接出错\n");
  EXPECT_EQ(RunTool("download --program-folder " + Quoted(program.Path())).exitCode, 2);
}

}  // namespace
}  // namespace sonavera::delivery
