#include "app/update_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "qt_app.h"

namespace sonavera::app {
namespace {

namespace fs = std::filesystem;

// A program folder with a fake updater script that answers "-checkforupdates" with a given exit code
// and leaves a mark when started without arguments.
class UpdateCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestApplication();
    folder = fs::temp_directory_path() / ("sonavera_update_" + std::to_string(::getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  void WriteRefresher(const std::string& check) {
    const fs::path path = folder / "refresher";
    std::ofstream(path) << "#!/bin/sh\nif [ \"$1\" = -checkforupdates ]; then " << check << "; fi\ntouch '"
                        << (folder / "updating").string() << "'\n";
    fs::permissions(path, fs::perms::owner_all);
  }
  bool UpdaterRanAgain() {
    // The second start is not waited for by the program; give the script its moment.
    for (int i = 0; i < 200 && !fs::exists(folder / "updating"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return fs::exists(folder / "updating");
  }
  std::string Program() const { return folder.string() + "/"; }
  fs::path folder;
};

TEST_F(UpdateCheckTest, ExitCodesDecide) {
  struct Case {
    std::string check;
    bool answer;
    int asked;
    bool result;
  };
  const Case cases[] = {
      {"exit 0", true, 0, false}, {"exit 3", false, 1, false},     {"exit 3", true, 1, true},
      {"exit 1", true, 1, true},  {"kill -9 $$", false, 1, false},
  };
  for (const Case& c : cases) {
    fs::remove(folder / "updating");
    WriteRefresher(c.check);
    int asked = 0;
    QString question;
    const bool result = CheckForUpdates(
        Program(),
        [&](const QString& q) {
          ++asked;
          question = q;
          return c.answer;
        },
        "http://site.invalid/");
    EXPECT_EQ(result, c.result) << c.check;
    EXPECT_EQ(asked, c.asked) << c.check;
    if (asked) {
      EXPECT_TRUE(question.contains("http://site.invalid/"));
      EXPECT_TRUE(question.endsWith(QString::fromUtf8("现在是否更新?")));
    }
    if (c.result) {
      EXPECT_TRUE(UpdaterRanAgain()) << c.check;
    }
  }
}

TEST_F(UpdateCheckTest, MissingOrBrokenUpdaterMeansNoUpdate) {
  int asked = 0;
  const auto ask = [&](const QString&) { return ++asked, true; };
  EXPECT_FALSE(CheckForUpdates(Program(), ask, ""));
  fs::create_directories(folder / "refresher");  // a folder is no updater
  EXPECT_FALSE(CheckForUpdates(Program(), ask, ""));
  fs::remove(folder / "refresher");
  std::ofstream(folder / "refresher") << "not a program";
  fs::permissions(folder / "refresher", fs::perms::owner_read);
  EXPECT_FALSE(CheckForUpdates(Program(), ask, ""));
  EXPECT_EQ(asked, 0);
}

TEST_F(UpdateCheckTest, AnUpdaterStillRunningAfterTheWaitCountsAsAnUpdate) {
  WriteRefresher("exec sleep 3");
  int asked = 0;
  EXPECT_FALSE(CheckForUpdates(
      Program(), [&](const QString&) { return ++asked, false; }, "", 50));
  EXPECT_EQ(asked, 1);
}

}  // namespace
}  // namespace sonavera::app
