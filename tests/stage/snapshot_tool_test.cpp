#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/tool_run.h"
#include "content/package_writer.h"

namespace sonavera::testing {
namespace {

class SnapshotToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = ::testing::TempDir() + "stage_snapshot/";
    std::filesystem::remove_all(folder);
    content::SongPackageSpec spec;
    spec.form = content::PackageForm::kOld;
    spec.title = "Test";
    // Each line: a rest, a note of 600 and a note of 650.
    std::vector<int> frames(10, 0);
    frames.insert(frames.end(), 60, 600);
    frames.insert(frames.end(), 55, 650);
    spec.lines.push_back({2.0f, 4.0f, frames});
    spec.lines.push_back({5.0f, 7.0f, frames});
    spec.lyric = "la la la la la la";
    spec.danceTimes = {2.0f, 3.0f, 4.0f};
    spec.danceCodes = {1, 10, 1000};
    std::string message;
    ASSERT_TRUE(content::WriteSongPackage(folder + "song/data", spec, message)) << message;
  }
  std::string folder;
};

TEST_F(SnapshotToolTest, WritesTheFrameAtATimeAndTheResultsScreen) {
  const std::string out = folder + "lane.png";
  ASSERT_EQ(RunTool("snapshot --song " + folder + "song --dance --at 3.5 --out " + out).exitCode, 0);
  QImage frame(QString::fromStdString(out));
  ASSERT_FALSE(frame.isNull());
  EXPECT_EQ(frame.size(), QSize(800, 600));
  // The first line's note of 600 (x about 166 to 346 by now) lies on row 126.
  EXPECT_EQ(frame.pixel(250, 126) & 0xFFFFFF, 0x3F7ECDu);

  std::ofstream(folder + "keys.txt") << "# perfect answers\n1.98 right down\n2.1 right up\n";
  const std::string results = folder + "results.png";
  ASSERT_EQ(RunTool("snapshot --song " + folder + "song --dance --keys " + folder +
                    "keys.txt --results --out " + results)
                .exitCode,
            0);
  EXPECT_FALSE(QImage(QString::fromStdString(results)).isNull());
}

TEST_F(SnapshotToolTest, RefusesBadInput) {
  EXPECT_NE(RunTool("snapshot --song " + folder + "song --out " + folder + "x.png").exitCode, 0);  // no --at
  EXPECT_NE(RunTool("snapshot --song " + folder + "missing --at 1 --out " + folder + "x.png").exitCode, 0);
  EXPECT_NE(RunTool("snapshot --song " + folder + "song --at soon --out " + folder + "x.png").exitCode, 0);
  std::ofstream(folder + "bad.txt") << "1.0 sideways down\n";
  EXPECT_NE(RunTool("snapshot --song " + folder + "song --keys " + folder + "bad.txt --at 1 --out " + folder +
                    "x.png")
                .exitCode,
            0);
  EXPECT_NE(RunTool("snapshot --song " + folder + "song --at 1 --out /nonexistent/dir/x.png").exitCode, 0);
}

}  // namespace
}  // namespace sonavera::testing
