// Damaged song packages fail with a message that names what is wrong, and leave no tables behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "content/package_writer.h"
#include "content/scrambled_line.h"
#include "content/song_package.h"
#include "content/text_file.h"
#include "temp_folder.h"

namespace sonavera::content {
namespace {

struct Damage {
  const char* name;
  PackageForm form;
  std::function<void(const std::string& folder, SongLoadOptions& options)> apply;
  const char* messageHolds;  // a part of the expected message (the file's name, or the message itself)
};

void Put(const std::string& folder, const std::string& name, const std::string& bytes) {
  ASSERT_TRUE(WriteFileBytes(folder + "/" + name, bytes));
}

std::string Scrambled(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += EncodeScrambledLine(line) + "\n";
  return text;
}

const std::vector<Damage> kDamages = {
    {"LyricTooShort", PackageForm::kNew, [](auto& f, auto&) { Put(f, "Lyric", "a "); }, "/Lyric"},
    {"LyricMissing", PackageForm::kOld, [](auto& f, auto&) { std::filesystem::remove(f + "/Lyric"); },
     "歌曲文件缺失"},
    {"StartsMissing", PackageForm::kOld, [](auto& f, auto&) { std::filesystem::remove(f + "/st"); }, "/st"},
    {"FewerStarts", PackageForm::kOld, [](auto& f, auto&) { Put(f, "st", "1.0\n2.0\n"); }, "/st"},
    {"UnreadableEnd", PackageForm::kNew, [](auto& f, auto&) { Put(f, "sp", "2.0 abc 9\n"); }, "/sp"},
    {"EmptyHeader", PackageForm::kOld, [](auto& f, auto&) { Put(f, "sh", ""); }, "/sh"},
    {"HeaderMissing", PackageForm::kOld, [](auto& f, auto&) { std::filesystem::remove(f + "/sh"); }, "/sh"},
    {"HeaderNotANumber", PackageForm::kOld, [](auto& f, auto&) { Put(f, "sh", "three\n"); }, "/sh"},
    {"HeaderNoSungLine", PackageForm::kOld, [](auto& f, auto&) { Put(f, "sh", "1\n"); }, "/sh"},
    {"HeaderNegative", PackageForm::kOld, [](auto& f, auto&) { Put(f, "sh", "-4\n"); }, "/sh"},
    {"HeaderAbsurd", PackageForm::kOld, [](auto& f, auto&) { Put(f, "sh", "2000000000\n"); }, "/sh"},
    {"NewHeaderNotBase64", PackageForm::kNew,
     [](auto& f, auto&) {
       Put(f, "sh", Scrambled({"1", "T"}) + "!!\n" + Scrambled({"0"}));
     },
     "/sh"},
    {"NewHeaderCountUnreadable", PackageForm::kNew,
     [](auto& f, auto&) {
       Put(f, "sh", Scrambled({"1", "T", "x3", "0"}));
     },
     "/sh"},
    {"TrackMissing", PackageForm::kNew, [](auto& f, auto&) { std::filesystem::remove(f + "/3"); }, "/3"},
    {"TrackEmpty", PackageForm::kOld, [](auto& f, auto&) { Put(f, "2", ""); }, "/2"},
    {"FewerFramesThanAnnounced", PackageForm::kOld, [](auto& f, auto&) { Put(f, "1", "5\n600 600\n"); },
     "/1"},
    {"NewFewerFramesThanAnnounced", PackageForm::kNew,
     [](auto& f, auto&) {
       Put(f, "2", Scrambled({"3", "60"}));
     },
     "/2"},
    {"NegativeFrameCount", PackageForm::kOld, [](auto& f, auto&) { Put(f, "1", "-2 600 600\n"); },
     "帧数无效"},
    {"AbsurdFrameCount", PackageForm::kNew,
     [](auto& f, auto&) {
       Put(f, "1", Scrambled({"100001", "60"}));
     },
     "帧数无效"},
    {"FrameNotANumber", PackageForm::kOld, [](auto& f, auto&) { Put(f, "3", "2\n600 la\n"); }, "/3"},
    {"FrameOutOfRange", PackageForm::kOld, [](auto& f, auto&) { Put(f, "3", "1\n99999999999\n"); }, "/3"},
    {"NewFrameNotBase64", PackageForm::kNew,
     [](auto& f, auto&) {
       Put(f, "1", Scrambled({"2", "60"}) + "*\n");
     },
     "/1"},
    {"NewFrameOverflowsWhenScaled", PackageForm::kNew,
     [](auto& f, auto&) {
       Put(f, "1", Scrambled({"1", "-2147483648"}));
     },
     "/1"},
    {"DanceMissing", PackageForm::kOld, [](auto&, auto& o) { o.danceOn = true; }, "/dance.txt"},
    {"DanceFewerNumbers", PackageForm::kOld,
     [](auto& f, auto& o) {
       o.danceOn = true;
       Put(f, "dance.txt", "1.0\n1\n2.0\nleft\n");
     },
     "/dance.txt"},
    {"KtvHeaderOneLine", PackageForm::kNew,
     [](auto& f, auto& o) {
       o.ktvMode = true;
       Put(f, "ktv.lrc", "[00:01.00]a\n[00:02.00]\n");
       Put(f, "sh", Scrambled({"1"}));
     },
     "/sh"},
    {"KtvRatioZero", PackageForm::kNew,
     [](auto& f, auto& o) {
       o.ktvMode = true;
       Put(f, "ktv.lrc", "[00:01.00]a\n[00:02.00]\n");
       Put(f, "sh", Scrambled({"1", "0"}));
     },
     "/sh"},
    {"KtvCuesMissing", PackageForm::kNew,
     [](auto& f, auto& o) {
       o.ktvMode = true;
       Put(f, "sh", Scrambled({"1", "0.5"}));
     },
     "/ktv.lrc"},
};

class MalformedPackage : public ::testing::TestWithParam<Damage> {};

TEST_P(MalformedPackage, FailsWithAMessageAndReleasesTheTables) {
  testing::TempFolder temp;
  const std::string folder = temp.Path("song");
  SongPackageSpec spec;
  spec.form = GetParam().form;
  spec.lines = {{1.0f, 2.0f, {60, 60, 0, 62}}, {2.5f, 3.0f, {64, 0}}, {3.5f, 4.0f, {66}}};
  spec.lyric = "do re mi fa so la ti ";
  std::string message;
  ASSERT_TRUE(WriteSongPackage(folder, spec, message)) << message;
  SongLoadOptions options;
  options.dataFolder = folder;
  SongTables tables;
  ASSERT_TRUE(LoadSongPackage(options, tables, message)) << message;  // intact before the damage

  GetParam().apply(folder, options);
  EXPECT_FALSE(LoadSongPackage(options, tables, message));
  EXPECT_NE(message.find(GetParam().messageHolds), std::string::npos) << message;
  EXPECT_EQ(tables.lineCount, 0);
  EXPECT_FALSE(tables.HasTimingTables());
  EXPECT_TRUE(tables.lineRefs.empty());
  EXPECT_TRUE(tables.notePitch.empty());
  EXPECT_TRUE(tables.noteLyrics.empty());
  EXPECT_TRUE(tables.danceTimes.empty());
  EXPECT_TRUE(tables.pitchFrames.empty());
}

INSTANTIATE_TEST_SUITE_P(Damages, MalformedPackage, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sonavera::content
