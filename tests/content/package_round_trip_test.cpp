// Packages written by the writer read back through the loader, in both forms.
#include <gtest/gtest.h>

#include "content/package_writer.h"
#include "content/song_package.h"
#include "temp_folder.h"

namespace sonavera::content {
namespace {

using testing::TempFolder;

SongPackageSpec TwoLineSong(PackageForm form) {
  SongPackageSpec spec;
  spec.form = form;
  spec.title = "\xB0\xAE\xC4\xE3";  // "爱你" in GBK
  spec.lines.push_back({1.5f, 3.25f, {0, 0, 600, 600, 600, 0, 0, 620, 620, 0}});
  spec.lines.push_back({4.0f, 6.125f, {640, 640, 0, 655}});
  spec.lyric = "\xB0\xAE\xC4\xE3 la-la\n\xCE\xD2\n";  // 爱 你 "la " "la" ... 我
  return spec;
}

SongLoadOptions OptionsFor(const std::string& folder) {
  SongLoadOptions options;
  options.programFolder = "/opt/sonavera/";
  options.dataFolder = folder;
  options.fallbackTitle = "folder name";
  return options;
}

class PackageRoundTrip : public ::testing::TestWithParam<PackageForm> {};

TEST_P(PackageRoundTrip, TablesComeBackAsWritten) {
  TempFolder temp;
  const SongPackageSpec spec = TwoLineSong(GetParam());
  std::string message;
  ASSERT_TRUE(WriteSongPackage(temp.Path("song"), spec, message)) << message;

  SongTables tables;
  ASSERT_TRUE(LoadSongPackage(OptionsFor(temp.Path("song")), tables, message)) << message;
  EXPECT_EQ(message, "");
  const bool newForm = GetParam() == PackageForm::kNew;
  EXPECT_EQ(tables.newForm, newForm);
  EXPECT_EQ(tables.lineCount, 3);
  EXPECT_EQ(tables.lineStart, (std::vector<float>{1.5f, 4.0f, 6.125f}));
  EXPECT_EQ(tables.lineEnd, (std::vector<float>{3.25f, 6.125f, 6.125f + 2.5f}));
  EXPECT_EQ(tables.lineRefs,
            (std::vector<int>{10, 0, 0, 600, 600, 600, 0, 0, 620, 620, 0, 4, 640, 640, 0, 655}));
  EXPECT_EQ(tables.lineFrameCount, (std::vector<int>{10, 4, 0}));
  EXPECT_EQ(tables.lineVoiced, (std::vector<int>{5, 3, 0}));
  EXPECT_EQ(tables.songTitle, newForm ? spec.title : std::string("folder name"));
  EXPECT_EQ(tables.videoPath, newForm ? std::string() : std::string("/opt/sonavera/avi/2.avi"));
  EXPECT_EQ(tables.pitchFrames.size(), 2560u);
  EXPECT_EQ(tables.lineBytes.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(BothForms, PackageRoundTrip, ::testing::Values(PackageForm::kOld, PackageForm::kNew),
                         [](const auto& info) { return info.param == PackageForm::kOld ? "Old" : "New"; });

}  // namespace
}  // namespace sonavera::content
