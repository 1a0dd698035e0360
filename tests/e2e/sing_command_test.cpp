// "sonavera-tool sing": the take a scripted run feeds the program through --mic-file. It must follow
// every bundled song closely enough for the judge to rate it high, keep the song's clock, and refuse
// bad input without leaving a file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "content/package_writer.h"
#include "content/song_package.h"
#include "content/temp_folder.h"
#include "e2e/run_program.h"
#include "platform/text_encoding.h"
#include "platform/wav_file.h"

namespace sonavera::e2e {
namespace {

namespace fs = std::filesystem;
using content::testing::TempFolder;

const std::string kSingles = std::string(SONAVERA_PROGRAM_DIR) + "/歌曲/单曲/";

std::vector<std::string> ScoredSingles() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kSingles)) {
    const std::string name = entry.path().filename().string();
    if (name.find("_KTV版") == std::string::npos) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

ProgramRun Tool(const std::vector<std::string>& arguments) {
  return RunProgram(SONAVERA_TOOL, arguments);
}

// The judge's verdict on a take: the final score and each graded line's score.
struct Verdict {
  double finalScore = -1.0;
  std::vector<double> lines;
};

Verdict Judge(const std::string& song, const std::string& take, bool woman) {
  std::vector<std::string> arguments{"judge", "--song", kSingles + song, "--voice", take};
  if (woman) arguments.push_back("--woman");
  const ProgramRun run = Tool(arguments);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  Verdict verdict;
  std::istringstream lines(run.out);
  std::string line;
  while (std::getline(lines, line)) {
    int index = 0, grade = 0;
    float from = 0, to = 0, score = 0;
    if (std::sscanf(line.c_str(), "%d %f-%f %f %d", &index, &from, &to, &score, &grade) == 5)
      verdict.lines.push_back(score);
    std::sscanf(line.c_str(), "final score: %lf", &verdict.finalScore);
  }
  return verdict;
}

platform::WavAudio ReadTake(const std::string& path) {
  platform::WavAudio take;
  std::string error;
  EXPECT_TRUE(platform::ReadWavFile(path, take, error)) << error;
  return take;
}

struct Voice {
  std::string song;
  bool woman;
};

void PrintTo(const Voice& voice, std::ostream* os) {
  *os << voice.song << (voice.woman ? " (woman)" : " (man)");
}

class SungTake : public ::testing::TestWithParam<Voice> {};

TEST_P(SungTake, TheJudgeRatesEveryLineHigh) {
  const auto& [song, woman] = GetParam();
  TempFolder folder;
  const std::string take = folder.Path("take.wav");
  std::vector<std::string> arguments{"sing", "--song", kSingles + song, "--out", take};
  if (woman) arguments.push_back("--woman");
  const ProgramRun run = Tool(arguments);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out + run.err, "");

  const Verdict verdict = Judge(song, take, woman);
  EXPECT_GE(verdict.finalScore, 90.0);
  EXPECT_LE(verdict.finalScore, 99.9 + 1e-6);
  ASSERT_GE(verdict.lines.size(), 4u);
  // At a woman's height the tracker's coarser lags cost a few lines some points; none falls far.
  for (size_t i = 0; i < verdict.lines.size(); ++i) EXPECT_GE(verdict.lines[i], 75.0) << "line " << i + 1;
}

std::vector<Voice> Voices() {
  std::vector<Voice> voices;
  for (const auto& song : ScoredSingles())
    for (bool woman : {false, true}) voices.push_back({song, woman});
  return voices;
}

INSTANTIATE_TEST_SUITE_P(BundledSingles, SungTake, ::testing::ValuesIn(Voices()), [](const auto& info) {
  return "song" + std::to_string(info.index / 2) + (info.param.woman ? "_woman" : "_man");
});

// The take is the microphone's format and sits on the song's clock: silent before the first line and
// after the last, sounding inside the lines; a delay shifts it whole, sample for sample.
TEST(SungTakeClock, SilentOutsideTheLinesAndShiftedWholeByADelay) {
  const std::string song = kSingles + "Row_Your_Boat";
  content::SongLoadOptions load;
  load.programFolder = std::string(SONAVERA_PROGRAM_DIR) + "/";
  load.dataFolder = content::FindSongDataFolder(song);
  load.fallbackTitle = "Row_Your_Boat";
  content::SongTables tables;
  std::string message;
  ASSERT_TRUE(content::LoadSongPackage(load, tables, message)) << message;

  TempFolder folder;
  ASSERT_EQ(Tool({"sing", "--song", song, "--out", folder.Path("plain.wav")}).exitCode, 0);
  ASSERT_EQ(Tool({"sing", "--song", song, "--out", folder.Path("late.wav"), "--delay", "0.5"}).exitCode, 0);
  const platform::WavAudio plain = ReadTake(folder.Path("plain.wav"));
  const platform::WavAudio late = ReadTake(folder.Path("late.wav"));
  EXPECT_EQ(plain.format.sampleRate, 8000);
  EXPECT_EQ(plain.format.channels, 1);
  EXPECT_EQ(plain.format.bitsPerSample, 16);

  const auto at = [](double seconds) { return static_cast<size_t>(seconds * 8000.0); };
  const double end = tables.lineEnd.back();
  EXPECT_EQ(plain.samples.size(), at(end + 1.0));
  const auto rms = [&](size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += static_cast<double>(plain.samples[i]) * plain.samples[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
  };
  EXPECT_EQ(rms(0, at(tables.lineStart[0])), 0.0);
  const size_t lastLineEnd =
      at(tables.lineStart[tables.lineCount - 2] + 0.016 * tables.lineFrameCount[tables.lineCount - 2] + 0.05);
  EXPECT_EQ(rms(lastLineEnd, plain.samples.size()), 0.0);
  for (int line = 0; line + 1 < tables.lineCount; ++line) {
    const double start = tables.lineStart[line];
    EXPECT_GT(rms(at(start), at(start + 0.5)), 2000.0) << "line " << line + 1;
  }

  ASSERT_EQ(late.samples.size(), plain.samples.size() + 4000);
  EXPECT_TRUE(
      std::all_of(late.samples.begin(), late.samples.begin() + 4000, [](int16_t s) { return s == 0; }));
  EXPECT_TRUE(std::equal(plain.samples.begin(), plain.samples.end(), late.samples.begin() + 4000));
}

struct BadSing {
  std::vector<std::string> arguments;  // "@out" is the output path, "@song" a scored song
  std::string message;                 // what stderr must start with, after "sonavera-tool: sing: "
};

void PrintTo(const BadSing& bad, std::ostream* os) {
  *os << "sing";
  for (const auto& arg : bad.arguments) *os << " " << arg;
}

class SingRefuses : public ::testing::TestWithParam<BadSing> {};

TEST_P(SingRefuses, WithOneLineAndNoFile) {
  TempFolder folder;
  const std::string out = folder.Path("take.wav");
  std::vector<std::string> arguments{"sing"};
  for (const auto& arg : GetParam().arguments)
    arguments.push_back(arg == "@out" ? out : arg == "@song" ? kSingles + "Row_Your_Boat" : arg);
  const ProgramRun run = Tool(arguments);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err.rfind("sonavera-tool: sing: " + GetParam().message, 0), 0u) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_FALSE(fs::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, SingRefuses,
    ::testing::Values(
        BadSing{{"--song", "@song"}, "usage"}, BadSing{{"--out", "@out"}, "usage"},
        BadSing{{"--song", "@song", "--out"}, "--out needs a value"},
        BadSing{{"--song", "@song", "--out", "@out", "--loud"}, "unknown argument '--loud'"},
        BadSing{{"--song", "@song", "--out", "@out", "--delay", "-1"}, "--delay takes seconds"},
        BadSing{{"--song", "@song", "--out", "@out", "--delay", "11"}, "--delay takes seconds"},
        BadSing{{"--song", "@song", "--out", "@out", "--delay", "0.1s"}, "--delay takes seconds"},
        BadSing{{"--song", "@song", "--out", "@out", "--delay", "nan"}, "--delay takes seconds"},
        BadSing{{"--song", "/no/such/song", "--out", "@out"}, "not a folder: /no/such/song"},
        BadSing{{"--song", SONAVERA_PROGRAM_DIR "/歌曲/单曲/友谊地久天长_KTV版", "--out", "@out"}, ""},
        BadSing{{"--song", SONAVERA_PROGRAM_DIR "/Images", "--out", "@out"}, ""}));

// "sp" says the song ends in a billion seconds: no endless take, a message instead.
TEST(SingRefuses, ASongWhoseTimingTableIsDamaged) {
  TempFolder folder;
  content::SongPackageSpec spec;
  content::PackageLine line{1.0f, 1.864f, std::vector<int>(50, 600)};
  line.frames.insert(line.frames.end(), 4, 0);
  spec.lines.push_back(line);
  spec.closingEnd = 1e9f;
  spec.lyric = platform::Utf8ToGbk("啦\n").value();
  std::string message;
  ASSERT_TRUE(content::WriteSongPackage(folder.Path("song/data"), spec, message)) << message;
  const ProgramRun run = Tool({"sing", "--song", folder.Path("song"), "--out", folder.Path("take.wav")});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err.rfind("sonavera-tool: sing: the song's last line does not end within an hour", 0), 0u)
      << run.err;
  EXPECT_FALSE(fs::exists(folder.Path("take.wav")));
}

TEST(SingRefuses, AnOutputItCannotWrite) {
  const ProgramRun run =
      Tool({"sing", "--song", kSingles + "Row_Your_Boat", "--out", "/no/such/folder/take.wav"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err.rfind("sonavera-tool: sing: ", 0), 0u) << run.err;
}

}  // namespace
}  // namespace sonavera::e2e
